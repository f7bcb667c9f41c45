#!/usr/bin/env bash
# Builds the native Linux plug-in, tools and tests into build/linux.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/linux -j "$jobs"
