#!/usr/bin/env bash
# Builds what a Linux release ships into build/release-linux on Debian 11 (scripts/buildroot.sh):
# a library linked on a newer system asks for that system's glibc symbol versions and does not
# load on older ones.
# Usage: scripts/release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/buildroot.sh cmake -S . -B build/release-linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARN_TESTS=OFF >/dev/null
scripts/buildroot.sh cmake --build build/release-linux -j "$(nproc)" --target shipped
