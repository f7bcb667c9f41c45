#!/usr/bin/env bash
# Ardour 7, headless (ardour7-lua with its Dummy backend), runs the LV2 plug-in on a track fed
# by a sine generator and meters the drop in level when the threshold is lowered: see
# tests/lv2/ardour.lua. Ardour's configuration and the session live in the scratch folder.
# Usage: tests/lv2/ardour.sh [BUILD]
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
. tests/lv2/common.sh

XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache timeout 120 \
  ardour7-lua tests/lv2/ardour.lua "$uri" "$scratch/session" >"$scratch/ardour.log" 2>&1
result=$(grep -E '^(ok|FAIL)' "$scratch/ardour.log")
if [[ $result == ok* ]]; then
  echo "$result"
else
  fail "Ardour: ${result:-no result}; its output ends with:"
  tail -20 "$scratch/ardour.log"
fi
exit $status
