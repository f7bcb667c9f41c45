#!/usr/bin/env bash
# Fuzzes the host boundary: builds build/fuzz (clang, libFuzzer, address and undefined-behaviour
# sanitizers) and runs the fuzzer from the committed starting corpus on a fresh working corpus.
# With "editor" (the default) it runs under a virtual X display when there is none, so that
# editors open on a real window; opening one costs tens of milliseconds, so "no-editor" runs
# without a display and performs a hundred times more of the other actions in the same time.
# Prints the number of host actions performed and the time taken. Findings (the input that
# crashed, leaked, hung or failed a check) land in build/fuzz/findings/.
# RUN fixes the fuzzer's random choices, so a run can be repeated.
# "lv2" fuzzes the LV2 descriptor, "vst3" the VST 3 module's interfaces (views attach to a
# window of the display).
# Usage: scripts/fuzz.sh [SECONDS [RUN [editor|no-editor|lv2|vst3]]]   (defaults: 600, 1, editor)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
run=${2:-1}
mode=${3:-editor}

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARN_FUZZ=ON \
  -DTARN_TESTS=OFF >/dev/null
fuzzer=boundary_fuzzer
corpus=tests/fuzz/corpus
[ "$mode" = lv2 ] && fuzzer=lv2_fuzzer corpus=tests/fuzz/corpus-lv2
[ "$mode" = vst3 ] && fuzzer=vst3_fuzzer corpus=tests/fuzz/corpus-vst3
cmake --build build/fuzz -j 2 --target $fuzzer
mkdir -p build/fuzz/findings
work=$(mktemp -d build/fuzz/corpus.XXXXXX)
trap 'rm -rf "$work"' EXIT

display=()
if [ "$mode" = no-editor ] || [ "$mode" = lv2 ]; then
  display=(env -u DISPLAY)
elif [ -z "${DISPLAY:-}" ]; then
  display=(scripts/xvfb.sh)
fi
start=$(date +%s)
"${display[@]}" build/fuzz/tests/fuzz/$fuzzer -seed="$run" -max_total_time="$seconds" -max_len=4096 \
  -timeout=30 -rss_limit_mb=4096 -artifact_prefix=build/fuzz/findings/ -print_final_stats=1 \
  "$work" $corpus 2>&1 | grep -vE '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)'
echo "fuzz ($mode): ${seconds} s asked, $(($(date +%s) - start)) s taken, run $run"
