#!/usr/bin/env bash
# Builds what a release ships and packs it, each archive with a short INSTALL.txt, into dist/:
#   tarnCompressor-VERSION-linux-x86_64.tar.gz  the VST 2.4 .so and the LV2 bundle (and the VST 3
#                                               bundle, once built), made on Debian 11 by
#                                               scripts/release.sh
#   tarnCompressor-VERSION-windows-x64.zip      the VST 2.4 DLL (and the VST 3 bundle) for 64-bit hosts
#   tarnCompressor-VERSION-windows-x86.zip      the VST 2.4 DLL for 32-bit hosts
# VERSION is the project's, which the plug-in reports to hosts as its vendor version.
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(tarnCompressor VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
name=tarnCompressor-$version

scripts/release.sh
for arch in x86_64 i686; do
  build=build/win$([ $arch = x86_64 ] && echo 64 || echo 32)
  [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARN_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" >/dev/null
  cmake --build "$build" -j "$(nproc)" --target shipped
done

stage=$(mktemp -d "${TMPDIR:-/tmp}/tarn-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p dist

# gather SYSTEM BUILD FILE...: copies the files and bundles of BUILD that exist into the
# archive's folder and prints the folder.
gather() {
  local top=$stage/$name-$1 build=$2 file
  shift 2
  mkdir "$top"
  for file in "$@"; do
    if [ -e "$build/$file" ]; then cp -r "$build/$file" "$top/"; fi
  done
  echo "$top"
}

top=$(gather linux-x86_64 build/release-linux tarnCompressor.so tarnCompressor.lv2 tarnCompressor.vst3)
{
  echo "tarn Compressor $version for Linux on x86-64"
  echo
  echo "Needs glibc 2.31 or newer (Debian 11, Ubuntu 20.04, RHEL 9 and later), X11, cairo, pango"
  echo "and OpenGL (GLX; Mesa's software renderer will do). Copy the plug-in where your host looks,"
  echo "then rescan its plug-ins:"
  echo
  echo "- LV2: the folder tarnCompressor.lv2 to ~/.lv2 (for you) or /usr/lib/lv2 (for everyone)."
  echo "- VST 2.4: tarnCompressor.so to ~/.vst or /usr/lib/vst. Ardour searches /usr/lib/vst and"
  echo "  /usr/local/lib/vst; add ~/.vst to its Linux VST2 path to use that."
  [ ! -d "$top/tarnCompressor.vst3" ] ||
    echo "- VST 3: the folder tarnCompressor.vst3 to ~/.vst3 or /usr/lib/vst3."
} >"$top/INSTALL.txt"
tar --owner=0 --group=0 -C "$stage" -czf "dist/$name-linux-x86_64.tar.gz" "${top##*/}"

# Windows notes end their lines with CR LF.
top=$(gather windows-x64 build/win64 tarnCompressor.dll tarnCompressor.vst3)
{
  echo "tarn Compressor $version for 64-bit Windows hosts"
  echo
  echo "Copy the plug-in where your host looks, then rescan its plug-ins:"
  echo
  echo "- VST 2.4: tarnCompressor.dll to your host's VST folder, usually C:\\Program Files\\VSTPlugins"
  echo "  or C:\\Program Files\\Steinberg\\VSTPlugins."
  [ ! -d "$top/tarnCompressor.vst3" ] ||
    echo "- VST 3: the folder tarnCompressor.vst3 to C:\\Program Files\\Common Files\\VST3."
  echo
  echo "The editor draws its graph with OpenGL."
} | sed 's/$/\r/' >"$top/INSTALL.txt"
top=$(gather windows-x86 build/win32 tarnCompressor.dll)
{
  echo "tarn Compressor $version for 32-bit Windows hosts"
  echo
  echo "Copy tarnCompressor.dll to your host's VST folder, usually C:\\Program Files (x86)\\VSTPlugins"
  echo "or C:\\Program Files (x86)\\Steinberg\\VSTPlugins, then rescan its plug-ins."
  echo
  echo "The editor draws its graph with OpenGL."
} | sed 's/$/\r/' >"$top/INSTALL.txt"
for system in windows-x64 windows-x86; do
  (cd "$stage" && cmake -E tar cf "$OLDPWD/dist/$name-$system.zip" --format=zip "$name-$system")
done
ls -l dist/"$name"-*
