#!/usr/bin/env bash
# Sets up the machine, builds, and renders a test signal through the plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
