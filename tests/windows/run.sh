#!/usr/bin/env bash
# All checks of the Windows builds: static checks of the 64-bit and 32-bit builds, then each
# build under wine against the native one. Machines whose kernel lacks 32-bit support cannot
# run 32-bit programs; there the 32-bit build gets the static checks here, and
# tests/windows/emulated32.sh runs it under emulation.
# Usage: tests/windows/run.sh [LINUX_BUILD WIN64_BUILD WIN32_BUILD]
set -uo pipefail
cd "$(dirname "$0")/../.."
linux=${1:-build/linux}
win64=${2:-build/win64}
win32=${3:-build/win32}

status=0
tests/windows/static-checks.sh "$win64" x86_64 || status=1
tests/windows/static-checks.sh "$win32" i686 || status=1
tests/windows/wine-checks.sh "$linux" "$win64" x86_64 || status=1
tests/windows/wine-checks.sh "$linux" "$win32" i686 || status=1
if [ $status -ne 0 ]; then
  echo "WINDOWS CHECKS FAILED (see FAIL lines above)" >&2
fi
exit $status
