#!/usr/bin/env bash
# Runs the whole test command several times in a row, each from a clean state (the test builds
# removed, Mesa's shader cache cleared; the test scripts make a fresh wine prefix for every
# run themselves), while stress-ng keeps every core busy. Prints one line per run: pass or
# fail, how long it took and the stage that failed; each run's output is kept in build/shake/.
# Not part of scripts/test.sh.
# Usage: scripts/shake.sh [RUNS]   (default 3)
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
command -v stress-ng >/dev/null || ./scripts/setup.sh test
mkdir -p build/shake

stress-ng --cpu 0 --quiet &
stress=$!
trap 'kill "$stress" 2>/dev/null; wait "$stress" 2>/dev/null' EXIT

passed=0
for ((run = 1; run <= runs; run++)); do
  rm -rf build/linux build/win64 build/win32 build/asan build/tsan build/fuzz "${HOME}/.cache/mesa_shader_cache"
  log=build/shake/run-$run.log
  start=$(date +%s)
  if ./scripts/test.sh >"$log" 2>&1; then result=pass; passed=$((passed + 1)); else result=FAIL; fi
  took=$(($(date +%s) - start))
  failed=$(sed -n 's/^stage failed: //p' "$log" | tail -1)
  printf 'run %d: %s in %dm%02ds%s\n' "$run" "$result" $((took / 60)) $((took % 60)) "${failed:+, failing stage: $failed}"
done
echo "shake: $passed of $runs runs passed under load"
[ "$passed" -eq "$runs" ]
