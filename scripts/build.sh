#!/usr/bin/env bash
# Builds into build/linux, build/win64 and build/win32.
# "demo": the native plug-in and vsthost, and the 64-bit DLL and vsthost.exe; no tests.
# "test" (the default): everything, with the tests, in both Windows builds too; where 32-bit
# programs cannot run, the 32-bit build makes only what its static checks look at.
# Usage: scripts/build.sh [demo|test]
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-test}
jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# configure DIR [OPTION...]
configure() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" "$@" >/dev/null
}

case $mode in
  demo)
    configure build/linux -DTARN_TESTS=OFF
    cmake --build build/linux -j "$jobs" --target tarnCompressor vsthost
    configure build/win64 -DTARN_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
    cmake --build build/win64 -j "$jobs" --target tarnCompressor vsthost
    ;;
  test)
    configure build/linux -DTARN_TESTS=ON
    cmake --build build/linux -j "$jobs"
    configure build/win64 -DTARN_TESTS=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
    cmake --build build/win64 -j "$jobs"
    configure build/win32 -DTARN_TESTS=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
    if scripts/runs32bit.sh; then
      cmake --build build/win32 -j "$jobs"
    else
      cmake --build build/win32 -j "$jobs" --target tarnCompressor vsthost
    fi
    ;;
  *) echo "usage: scripts/build.sh [demo|test]" >&2; exit 2 ;;
esac
