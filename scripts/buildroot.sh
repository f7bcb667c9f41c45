#!/usr/bin/env bash
# Runs COMMAND in a Debian 11 (glibc 2.31) build root, with this checkout at the same path, so
# that what it builds loads on every system from there on. The root is made once with
# debootstrap (as root, or through sudo) and kept outside the checkout, in TARN_BUILD_ROOT
# (default /var/cache/tarn/bullseye-amd64). COMMAND enters it through a user namespace: it needs
# no root and leaves its files owned by the caller.
# Usage: scripts/buildroot.sh COMMAND [ARG...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=${TARN_BUILD_ROOT:-/var/cache/tarn/bullseye-amd64}
mirror=${TARN_BULLSEYE_MIRROR:-http://deb.debian.org/debian}
# What the shipped libraries build against, in Debian 11's names; libsndfile only so that the
# whole project configures.
packages=cmake,ninja-build,g++,pkg-config,lv2-dev,libx11-dev,libcairo2-dev,libpango1.0-dev,libgl-dev,libglu1-mesa-dev,libpng-dev,libsndfile1-dev

sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ! -x "$root/usr/bin/g++" ]; then
  echo "making the Debian 11 build root in $root (once)" >&2
  start=$(date +%s)
  # Made beside its place and moved there whole, so that a stopped run leaves no half root.
  $sudo rm -rf "$root.new"
  $sudo mkdir -p "$(dirname "$root")"
  if ! $sudo debootstrap --variant=minbase --include="$packages" bullseye "$root.new" "$mirror" >"$root.new.log" 2>&1; then
    tail -20 "$root.new.log" >&2
    exit 1
  fi
  # The downloaded packages are not needed again; without them the root is about 850 MB.
  $sudo rm -f "$root.new"/var/cache/apt/archives/*.deb
  $sudo mv "$root.new" "$root"
  $sudo mv "$root.new.log" "$root.log"
  echo "build root made in $(($(date +%s) - start)) s" >&2
fi

# Where user namespaces are not allowed, root makes the mounts and the command runs as the caller.
if unshare --user --map-root-user true 2>/dev/null; then
  enter=(unshare --user --map-root-user --mount --fork) as=""
else
  enter=($sudo unshare --mount --fork) as=--userspec=$(id -u):$(id -g)
fi
"${enter[@]}" sh -euc '
  root=$1 here=$2 as=$3; shift 3
  mount --rbind /dev "$root/dev"
  mkdir -p "$root$here"
  mount --bind "$here" "$root$here"
  exec chroot $as "$root" sh -c "cd \"\$0\" && exec \"\$@\"" "$here" "$@"' sh "$root" "$PWD" "$as" "$@"
