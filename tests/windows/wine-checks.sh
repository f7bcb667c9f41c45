#!/usr/bin/env bash
# Runs one Windows build under wine and holds it against the native Linux build: identity and
# shape, parameter round trips, renders in both precisions compared sample for sample, the
# boundary self-test (in-place buffers, bad input), random host actions from a fixed start and instance
# cycling (random_host), error reports, and the Windows test programs. Prints bench figures of
# both builds at the end. A machine that cannot run 32-bit programs natively (no 32-bit support
# in its kernel) skips the 32-bit build here, saying so in one line; tests/windows/emulated32.sh
# checks it there under emulation.
# Usage: tests/windows/wine-checks.sh LINUX_BUILD WINDOWS_BUILD x86_64|i686
set -uo pipefail
cd "$(dirname "$0")/../.."
. tests/windows/checks.sh

linux=$1
win=$2
arch=$3
host=$linux/vsthost
plugin=$linux/tarnCompressor.so
hostexe=$win/vsthost.exe
dll=$win/tarnCompressor.dll
fixtures=$win/tests/windows
case $arch in
  x86_64) bits=64-bit ;;
  i686) bits=32-bit ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac

# Debian's wine command starts the 32-bit loader whenever wine32 is installed, and that loader
# does not start at all where 32-bit code cannot run; 64-bit programs go to wine64 directly.
if [ "$arch" = x86_64 ] && [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64
  export WINELOADER=$wine
else
  wine=$(command -v wine || echo /usr/lib/wine/wine64)
fi
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# One quiet prefix per run, in a temporary folder; no Mono or Gecko installers.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarn-wine.XXXXXX")
export WINEPREFIX
work=$(mktemp -d "${TMPDIR:-/tmp}/tarn-wine-work.XXXXXX")
cleanup() {
  "$wineserver" -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

# Windows programs end lines with CR LF.
onwine() { "$wine" "$@" | tr -d '\r'; }

echo "== wine checks of $win ($arch) against $linux"
if [ "$arch" = i686 ] && ! scripts/runs32bit.sh; then
  echo "32-bit programs do not run natively on this machine: tests/windows/emulated32.sh runs $win under emulation"
  exit 0
fi
echo "setting up a wine prefix in $WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1
check "wine runs a $bits program" onwine "$hostexe" --help

# Threshold -30 dB, ratio 4:1, attack 8 ms, release 201 ms: takes about 9.5 dB off the RMS level
# of noise at -6 dBFS peak.
compress="1=0.6875 3=0.157894737 4=0.05 5=0.1"

same_info() {
  local native windows
  native=$("$host" info "$plugin" "$@") || return 1
  windows=$(onwine "$hostexe" info "$dll" "$@") || return 1
  diff <(echo "$native") <(echo "$windows")
}

round_trip() {
  local out
  out=$(onwine "$hostexe" info "$dll" 0=0.125 3=0.25 4=1 6=0 7=1.5 8=-2 2=1e-07) || return 1
  for line in "parameter 0: 0.125 " "parameter 3: 0.25 " "parameter 4: 1 " "parameter 6: 0 " "parameter 7: 1.5 " \
    "parameter 8: -2 " "parameter 2: 1.00000001e-07 " "parameter 1: 1 " "parameter 5: 0.149499997 "; do
    grep -qF "$line" <<<"$out" || { echo "missing: $line"; echo "$out"; return 1; }
  done
}

# render_matches NAME INPUT TOLERANCE OPTIONS...: native and wine renders of one file, compared.
# Every build does its floating point in SSE2 registers, so the renders are the same to the bit.
render_matches() {
  local name=$1 input=$2 tolerance=$3
  shift 3
  "$host" render "$plugin" "$input" "$work/$name-linux.wav" "$@" || return 1
  onwine "$hostexe" render "$dll" "$input" "$work/$name-wine.wav" "$@" || return 1
  "$host" compare "$work/$name-linux.wav" "$work/$name-wine.wav" --tolerance "$tolerance"
}

selftest() {
  local out
  out=$(onwine "$hostexe" selftest "$dll")
  local status=$?
  echo "$out" | grep -E '^(FAIL|selftest:)'
  [ $status -eq 0 ] && grep -q '^selftest: [0-9]* checks, 0 failed$' <<<"$out"
}

# refuses NAME TEXT COMMAND...: one line on stderr containing TEXT, nothing on stdout, exit non-zero.
refuses() {
  local text=$1 out err status
  shift
  out=$("$wine" "$hostexe" "$@" 2>"$work/stderr" | tr -d '\r')
  status=${PIPESTATUS[0]}
  err=$(tr -d '\r' <"$work/stderr")
  echo "exit $status: $err"
  [ "$status" -ne 0 ] && [ -z "$out" ] && [ "$(wc -l <<<"$err")" -eq 1 ] &&
    [[ $err == "vsthost: "*"$text"* ]]
}

"$host" generate "$work/noise.wav" --signal noise --level -6 --seconds 3 --rate 44100
"$host" generate "$work/sine.wav" --signal sine --level -1 --frequency 440 --seconds 2 --rate 48000 --channels 1 --format pcm16
printf 'RIFF\x24\x00\x00\x00WAVEjunk' >"$work/garbage.wav"
echo "not a library" >"$work/text.dll"

check "identity and shape match the native build" same_info
check "parameter values set on the command line read back the same" round_trip
check "parameter settings give the native build's info" same_info $compress 7=0.5
check "32-bit float render is the native one exactly" render_matches float "$work/noise.wav" 0 --block 333 $compress
check "64-bit float render is the native one exactly" render_matches double "$work/noise.wav" 0 --double --block 512 $compress
# vst3_matches OPTIONS...: the x64 VST 3 bundle under wine against the Linux bundle.
vst3_matches() {
  "$host" render "$linux/tarnCompressor.vst3" "$work/noise.wav" "$work/vst3-linux.wav" "$@" || return 1
  onwine "$hostexe" render "$win/tarnCompressor.vst3" "$work/noise.wav" "$work/vst3-wine.wav" "$@" || return 1
  "$host" compare "$work/vst3-linux.wav" "$work/vst3-wine.wav" --tolerance 0
}
if [ "$arch" = x86_64 ]; then
  check "VST 3 bundle: 32-bit float render is the native bundle's exactly" vst3_matches --block 333 $compress
  check "VST 3 bundle: 64-bit float render is the native bundle's exactly" vst3_matches --double --block 512 $compress
fi
check "mono 16-bit render at another plug-in rate is the native one exactly" render_matches mono "$work/sine.wav" 0 --rate 96000 --block 64 $compress
check "boundary self-test: in-place buffers, degenerate blocks, bad input" selftest
check "missing plug-in: one-line error" refuses "no such file" info "$work/missing.dll"
check "not a library: one-line error" refuses "cannot load plug-in" info "$work/text.dll"
check "no entry point: one-line error" refuses "no VST entry point" info "$fixtures/fixture_no_entry.dll"
check "entry returns null: one-line error" refuses "returned no effect" info "$fixtures/fixture_null_entry.dll"
check "missing WAV: one-line error" refuses "cannot read" render "$dll" "$work/missing.wav" "$work/out.wav"
check "unreadable WAV: one-line error" refuses "cannot read" render "$dll" "$work/garbage.wav" "$work/out.wav"
# Editors need an X server: programs that open them run under one of their own, with the wine
# server restarted so that wine's programs connect to it.
on_display() {
  "$wineserver" -k >/dev/null 2>&1
  "$wineserver" -w
  scripts/xvfb.sh "$wine" "$@" 2>&1 | tr -d '\r' | grep -v '^X connection to .* broken'
  local status=${PIPESTATUS[0]}
  "$wineserver" -k >/dev/null 2>&1
  "$wineserver" -w
  return "$status"
}

# Every tenth of the instances opens its editor on a real window; each one must open.
instance_cycling() {
  local out
  out=$(on_display "$win/tests/fuzz/random_host.exe" "$dll" instances 1000)
  local status=$?
  echo "$out"
  [ $status -eq 0 ] && grep -q '^1000 instances made and closed, 100 with their editor opened$' <<<"$out"
}

check "200000 random host actions, no finding" onwine "$win/tests/fuzz/random_host.exe" "$dll" actions 200000 1
check "2000 random host actions with editors, no finding" on_display "$win/tests/fuzz/random_host.exe" "$dll" actions 2000 2 editor
check "1000 instances made and closed, every tenth with its editor" instance_cycling
check "Windows test programs (resources, library loading, WAV codec)" onwine "$fixtures/windows_tests.exe" --gtest_brief=1
check "editors under wine: GDI+ drawing, input, window timers, WGL surfaces, open/close cycles, vsthost.exe editor" \
  on_display "$fixtures/windows_gui_tests.exe" --gtest_brief=1

echo "== bench, 48 kHz, blocks of 512, noise at -6 dBFS peak, about 9.5 dB of compression"
echo "native:  $("$host" bench "$plugin" --seconds 5 $compress | grep 'ns per frame')"
echo "wine $bits: $(onwine "$hostexe" bench "$dll" --seconds 5 $compress | grep 'ns per frame')"
summary "wine ($arch)"
