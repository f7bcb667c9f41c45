#!/usr/bin/env bash
# Every check of the LV2 plug-in with real LV2 clients from Debian's packages; each prints an
# ok or FAIL line and how long it took.
# Usage: tests/lv2/run.sh [BUILD]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
build=${1:-build/linux}

status=0
for check in description render ardour ardour-gui jalv; do
  start=$(date +%s.%N)
  tests/lv2/$check.sh "$build" || status=1
  echo "   $check: $(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s"
done
[ $status -eq 0 ] || echo "LV2 CHECKS FAILED (see FAIL lines above)" >&2
exit $status
