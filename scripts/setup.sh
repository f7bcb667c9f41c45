#!/usr/bin/env bash
# Installs what the build and the tests need (Debian), non-interactively. Safe to run again.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config lv2-dev
  libgtest-dev googletest libsndfile1-dev valgrind
  libx11-dev libcairo2-dev libpango1.0-dev libpng-dev libgl-dev libglu1-mesa-dev libglx-mesa0 libgl1-mesa-dri
  fonts-liberation2 xvfb xauth
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64 wine32:i386 icoutils pngcheck
  clang libclang-rt-14-dev
  libgl1-mesa-dri:i386 libglx-mesa0:i386
  lilv-utils sordi jalv jackd2 ardour x42-plugins
)
sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# wine32 runs the 32-bit Windows programs; it comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
