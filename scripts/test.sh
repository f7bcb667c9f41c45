#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test. Prints at its end how long each
# stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
display=(scripts/xvfb.sh)

timings=()
# note NAME SECONDS STATUS [WHERE]: one line of the table printed at the end.
note() {
  timings+=("$(printf '%5d s  %s%s%s' "$2" "$1" "${4:+  ($4)}" "$([ "$3" -eq 0 ] || echo '  FAILED')")")
}
# stage NAME COMMAND...: runs one stage and notes its time; the first failing stage ends the run.
stage() {
  local name=$1 start status=0
  shift
  echo "== $name"
  start=$(date +%s)
  "$@" || status=$?
  note "$name" $(($(date +%s) - start)) $status
  if [ $status -ne 0 ]; then
    echo "stage failed: $name" >&2
    exit $status
  fi
}

# Stages that mostly wait (wine starting, windows mapping, one-core programs) run beside the next
# ones: begin NAME COMMAND... starts one in the background, its output going to a file; finish
# NAME waits for it, prints its output and fails the run if it failed.
declare -A side_pid side_log side_start
begin() {
  local name=$1 log
  shift
  log=$(mktemp "${TMPDIR:-/tmp}/tarn-stage.XXXXXX")
  side_log[$name]=$log
  side_start[$name]=$(date +%s)
  (
    set +e
    "$@"
    status=$?
    date +%s >"$log.end"
    exit $status
  ) >"$log" 2>&1 &
  side_pid[$name]=$!
  echo "== $name: started beside the next stages; its output follows when it ends"
}
finish() {
  local name=$1 status=0 log=${side_log[$1]}
  wait "${side_pid[$name]}" || status=$?
  unset "side_pid[$name]"
  echo "== $name"
  cat "$log"
  note "$name" $(($(cat "$log.end" 2>/dev/null || date +%s) - side_start[$name])) $status "beside others"
  rm -f "$log" "$log.end"
  if [ $status -ne 0 ]; then
    echo "stage failed: $name" >&2
    exit $status
  fi
}
# A stage left running when the run ends is stopped with everything it started.
stop_tree() {
  local child
  for child in $(pgrep -P "$1"); do stop_tree "$child"; done
  kill "$1" 2>/dev/null || true
}

on_exit() {
  local pid
  for pid in "${side_pid[@]}"; do stop_tree "$pid"; done
  echo "== stage times"
  printf '%s\n' "${timings[@]}"
}
trap on_exit EXIT

native_tests() {
  "${display[@]}" ctest --test-dir build/linux --output-on-failure -j "$jobs"
}

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
sanitizer_build() {
  # Line tables are all a sanitizer's report needs, and compile faster than full debug information.
  # The benchmarks are measured in the normal build only.
  cmake -S . -B "build/$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 \
    -DTARN_SANITIZE="$2" -DTARN_BENCH=OFF "${launcher[@]}" >/dev/null &&
    cmake --build "build/$1" -j "$jobs"
}

# The normal build runs every soak and cycle test at its full count; under the sanitizers, which
# check every access, a tenth of the cycles finds the same kinds of fault.
address_tests() {
  # LeakSanitizer's exit-time tracer now and then crashes by itself ("Tracer caught signal 11")
  # while Mesa's rendering threads wind down; a test that fails so gets one more run. A real
  # fault fails both runs.
  TARN_CYCLE_DIVISOR=10 "${display[@]}" ctest --test-dir build/asan --output-on-failure -j "$jobs" --repeat until-pass:2
}

# Races inside the system libraries under the toolkit are not ours to fix: tests/tsan.supp
# names them.
thread_tests() {
  TARN_CYCLE_DIVISOR=10 TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan.supp" \
    "${display[@]}" ctest --test-dir build/tsan --output-on-failure -j "$jobs"
}

fuzz() {
  scripts/fuzz.sh 20 1 no-editor && scripts/fuzz.sh 15 1 editor && scripts/fuzz.sh 10 1 lv2 && scripts/fuzz.sh 10 1 vst3
}

# The first run on a machine makes the Debian 11 build root (a few minutes, mostly downloading).
release_checks() {
  scripts/release.sh && tests/release/run.sh build/release-linux build/linux
}

# The allocation-failure test replaces the global allocator itself, which valgrind's own
# replacement does not allow; the address sanitizer covers it above.
valgrind_tests() {
  local test status=0
  for test in build/linux/tests/{dsp/dsp_tests,lv2/lv2_tests,vst2/vst2_tests,tools/wavfile_tests,platform/platform_tests,gui/gui_tests,resources/resources_tests,views/views_tests,editor/editor_tests,vst3/vst3_tests}; do
    TARN_CYCLE_DIVISOR=10 valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
      --suppressions=tests/valgrind.supp "$test" --gtest_brief=1 || status=1
  done
  return $status
}

windows="Windows builds: static checks, and both builds under wine where the machine runs them"
emulated32="the 32-bit DLL under wine emulated, where the machine cannot run it natively"
release="release build on Debian 11: glibc 2.31 at most, loads there, renders as the normal build"
fuzzing="fuzzing the host boundary from the committed corpus, run 1: 20 seconds without editors, 15 with; the LV2 descriptor 10; the VST 3 module 10"

stage "setup" ./scripts/setup.sh test
stage "build (native, win64, win32)" ./scripts/build.sh test
# The real hosts play audio in real time and show their windows: they run before any stage is
# started beside the others, on a quiet machine, where a late audio thread cannot stall them.
stage "LV2 plug-in in real LV2 hosts and tools" tests/lv2/run.sh build/linux
stage "VST 3 plug-in in Ardour, after zam-plugins' compressor" tests/vst3/ardour.sh build/linux
# Under emulation one start of wine takes minutes; at a lower priority it takes what the other
# stages leave.
begin "$emulated32" nice -n 10 tests/windows/emulated32.sh build/linux build/win32
begin "$windows" tests/windows/run.sh build/linux build/win64 build/win32
begin "$release" release_checks
stage "native tests" native_tests
stage "address and undefined-behaviour sanitizers: build" sanitizer_build asan address,undefined
# The window tests run one at a time and wait on the X server: the next build fills the gaps.
begin "address and undefined-behaviour sanitizers: tests" address_tests
stage "thread sanitizer: build" sanitizer_build tsan thread
finish "address and undefined-behaviour sanitizers: tests"
finish "$windows"
stage "thread sanitizer: tests" thread_tests
# valgrind runs one thread at a time and each fuzzer is one thread: one core each.
begin "valgrind" valgrind_tests
stage "$fuzzing" fuzz
finish "valgrind"
finish "$release"
finish "$emulated32"
