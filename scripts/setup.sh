#!/usr/bin/env bash
# Installs what is missing (Debian), non-interactively. Safe to run again.
# "demo" installs what the demo needs: the native build, the 64-bit Windows build and wine64
# under a virtual display. "test" (the default) adds what the tests need: GoogleTest, the
# sanitizer and fuzzing toolchain, valgrind, the 32-bit Windows build and wine32 (with
# qemu-user-static for kernels that cannot run 32-bit programs), and debootstrap for the Debian 11
# root that release builds are made in.
# Usage: scripts/setup.sh [demo|test]
set -euo pipefail
mode=${1:-test}

demo_packages=(
  build-essential cmake ninja-build pkg-config lv2-dev
  libsndfile1-dev
  libx11-dev libcairo2-dev libpango1.0-dev libpng-dev libgl-dev libglu1-mesa-dev libglx-mesa0 libgl1-mesa-dri
  fonts-liberation2 xvfb xauth
  g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine wine64
)
# One package a line, so that adding one is a one-line change.
test_packages=(
  libgtest-dev
  libxtst-dev
  googletest
  valgrind
  clang
  libclang-rt-14-dev
  g++-mingw-w64-i686-posix
  icoutils
  pngcheck
  stress-ng
  debootstrap
  qemu-user-static
  wine32:i386
  libgl1:i386
  libgl1-mesa-dri:i386
  libglx-mesa0:i386
  lilv-utils
  liblilv-dev
  sordi
  jalv
  jackd2
  ardour
  x42-plugins
  zam-plugins
)

case $mode in
  demo) packages=("${demo_packages[@]}") ;;
  test) packages=("${demo_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: scripts/setup.sh [demo|test]" >&2; exit 2 ;;
esac

sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# wine32 runs the 32-bit Windows programs; it comes from the i386 architecture.
if [ "$mode" = test ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  # Another installer may hold dpkg's lock for a while: wait for it rather than fail.
  apt=($sudo apt-get -o DPkg::Lock::Timeout=600)
  # A mirror in mid-sync fails the update now and then; try again, and install from the lists
  # in hand if it still fails.
  for try in 1 2 3; do
    "${apt[@]}" update -qq && break
    [ $try -lt 3 ] && sleep 20
  done || true
  native=() foreign=()
  for p in "${missing[@]}"; do
    if [[ $p == *:i386 ]]; then foreign+=("$p"); else native+=("$p"); fi
  done
  [ ${#native[@]} -eq 0 ] || "${apt[@]}" install -y -qq --no-install-recommends "${native[@]}" >/dev/null
  # The i386 packages must match the versions of their amd64 twins; while a mirror's i386
  # security list is mid-sync, apt cannot install them, and scripts/i386-twins.sh fetches the
  # twins itself. Without them the 32-bit DLL gets its static checks only (scripts/runs32bit.sh
  # then answers no), as on machines that cannot run 32-bit code.
  if [ ${#foreign[@]} -gt 0 ] && ! "${apt[@]}" install -y -qq --no-install-recommends "${foreign[@]}" >/dev/null &&
    ! "$(dirname "$0")/i386-twins.sh" "${foreign[@]}"; then
    echo "setup: could not install ${foreign[*]}; the 32-bit DLL gets its static checks only" >&2
  fi
fi
