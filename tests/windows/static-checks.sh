#!/usr/bin/env bash
# Static checks of a Windows build: PE machine type, the two undecorated exports, imports of
# system DLLs only, the module entry linked in, the editor's two images as "PNG" resources, and
# the effect record's layout for the target.
# Usage: tests/windows/static-checks.sh BUILD_DIR x86_64|i686
set -uo pipefail
cd "$(dirname "$0")/../.."
. tests/windows/checks.sh

build=$1
arch=$2
triple=$arch-w64-mingw32
dll=$build/tarnCompressor.dll
exe=$build/vsthost.exe
case $arch in
  x86_64) format=pei-x86-64 machine=i386:x86-64 record=192 ;;
  i686) format=pei-i386 machine=i386 record=144 ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
work=$(mktemp -d "${TMPDIR:-/tmp}/tarn-static.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Windows' own DLLs, and the API sets that stand for them; anything else would have to ship.
system_dlls='^(kernel32|user32|gdi32|advapi32|msvcrt|ucrtbase|ole32|oleaut32|shell32|shlwapi|comctl32|comdlg32|opengl32|glu32|gdiplus|msimg32|uxtheme|dwmapi|imm32|winmm|version|ws2_32|windowscodecs|usp10|bcrypt|ntdll|api-ms-win-[a-z0-9-]+)\.dll$'

machine_is() {
  local info
  info=$("$triple-objdump" -f "$1") || return 1
  grep -q "file format $format\$" <<<"$info" && grep -q "^architecture: $machine," <<<"$info" || {
    echo "$info"
    return 1
  }
}

exports_are_the_entry_points() {
  local dump names
  dump=$("$triple-objdump" -p "$dll") || return 1
  names=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  echo "exports: $names"
  [ "$names" = "VSTPluginMain main " ] || return 1
  # Both names lead to the same code.
  local addresses
  addresses=$(sed -n '/Export Address Table/,/^$/p' <<<"$dump" | sed -n 's/.*+base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA.*/\1/p' | sort -u | wc -l)
  [ "$addresses" -eq 1 ] || { echo "the exports point to $addresses different addresses"; return 1; }
}

imports_only_system_dlls() {
  local imports others
  imports=$("$triple-objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p') || return 1
  echo "imports: $(tr '\n' ' ' <<<"$imports")"
  [ -n "$imports" ] || return 1
  others=$(tr 'A-Z' 'a-z' <<<"$imports" | grep -Ev "$system_dlls")
  [ -z "$others" ] || { echo "not system DLLs: $others"; return 1; }
}

# The C runtime brings a default DllMain that stores nothing; ours refers to tarn::moduleInstance.
module_entry_linked_in() {
  local symbols
  symbols=$("$triple-nm" "$dll") || return 1
  grep -Eq ' T _?DllMain(@12)?$' <<<"$symbols" && grep -Eq ' [BD] _?_ZN4tarn14moduleInstanceE$' <<<"$symbols"
}

# carries_png NUMBER DESCRIPTION: the DLL has resource NUMBER of type "PNG", a whole, valid
# image (pngcheck inflates the pixel data and checks every chunk) whose size and colour type
# read like DESCRIPTION, e.g. "550x375, 8-bit palette".
carries_png() {
  local file=$work/png-$1.png report
  wrestool -x --raw --type=PNG --name="$1" "$dll" >"$file" || return 1
  report=$(pngcheck "$file") || { echo "$report"; return 1; }
  echo "$report"
  grep -qF "($2," <<<"$report"
}

vst3_exports_are_the_module_calls() {
  local names
  names=$("$triple-objdump" -p "$vst3" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  echo "exports: $names"
  [ "$names" = "ExitDll GetPluginFactory InitDll " ]
}

record_layout_holds() {
  printf '#include "gui/vst2/aeffect.h"\nstatic_assert(sizeof(AEffect) == %s, "size");\n' "$record" |
    "$triple-g++-posix" -std=c++17 -fsyntax-only -I. -x c++ -
}

echo "== static checks of $build ($arch)"
check "tarnCompressor.dll exists" test -f "$dll"
check "vsthost.exe exists" test -f "$exe"
check "tarnCompressor.dll is a $format DLL for $machine" machine_is "$dll"
check "vsthost.exe is a $format program for $machine" machine_is "$exe"
check "tarnCompressor.dll exports exactly VSTPluginMain and main, undecorated" exports_are_the_entry_points
check "tarnCompressor.dll imports only system DLLs" imports_only_system_dlls "$dll"
check "vsthost.exe imports only system DLLs" imports_only_system_dlls "$exe"
check "tarnCompressor.dll has our module entry" module_entry_linked_in
check "tarnCompressor.dll carries the background as PNG resource 100" carries_png 100 "550x375, 8-bit palette"
check "tarnCompressor.dll carries the knob strip as PNG resource 101" carries_png 101 "56x5600, 32-bit RGB+alpha"
check "tarnCompressor.dll carries the 2x background as PNG resource 102" carries_png 102 "1100x750, 8-bit palette"
check "tarnCompressor.dll carries the 2x knob strip as PNG resource 103" carries_png 103 "112x11200, 32-bit RGB+alpha"
check "the effect record is $record bytes for $arch" record_layout_holds
if [ "$arch" = x86_64 ]; then
  vst3=$build/tarnCompressor.vst3/Contents/x86_64-win/tarnCompressor.vst3
  check "the VST 3 module is a $format DLL for $machine" machine_is "$vst3"
  check "the VST 3 module exports exactly GetPluginFactory, InitDll and ExitDll" vst3_exports_are_the_module_calls
  check "the VST 3 module imports only system DLLs" imports_only_system_dlls "$vst3"
fi
summary "static ($arch)"
