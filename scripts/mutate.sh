#!/usr/bin/env bash
# Mutation run over dsp/, plugin/ and the editor's refresh pacer: applies one hand-listed small change at a time (a
# comparison flipped, a constant nudged, a statement dropped, channels swapped, a bound moved)
# to a copy of the sources, rebuilds the engine and plug-in tests, runs them, and prints which
# mutants the tests caught and the score. Mutants are found by their text, not by line number:
# one whose text no longer occurs exactly once (the code was rewritten) is listed as not
# applied and left out of the score. Expensive: runs at nice 19, two jobs; not part of
# scripts/test.sh.
# Usage: scripts/mutate.sh [NAME_FILTER]   (a grep pattern over the mutant names)
set -uo pipefail
cd "$(dirname "$0")/.."
filter=${1:-.}
root=build/mutate
src=$root/src
mkdir -p "$root"
rm -rf "$src"
mkdir -p "$src"
git ls-files -z | xargs -0 cp --parents -t "$src"
cp -r tests/fuzz/corpus "$src/tests/fuzz/" 2>/dev/null || true

# The soak and editor tests open windows: a virtual display of their own when none is set.
display=(); [ -z "${DISPLAY:-}" ] && display=(xvfb-run -a -s "-screen 0 1280x1024x24")
# The tests that can see a change in each folder: the engine's through the plug-in too, the
# refresh pacer's only in its own tests.
dsp=("dsp_tests" "plugin_tests")
plugin=("plugin_tests")
editor=("editor_tests --gtest_filter=RefreshPacer.*")
tests=("${dsp[@]}" "${editor[@]}")
build() {
  local targets=() t
  for t in "${tests[@]}"; do targets+=("${t%% *}"); done
  nice -n 19 cmake --build "$root/build" -j 2 --target "${targets[@]}" >"$root/build.log" 2>&1
}
# The soak tests run a tenth of their rounds: enough to notice a changed sound or a leak.
tests_pass() {
  local t
  for t in "${tests[@]}"; do
    TARN_CYCLE_DIVISOR=10 timeout 300 nice -n 19 "${display[@]}" $root/build/tests/${t%%_*}/$t --gtest_brief=1 \
      >"$root/test.log" 2>&1 || return 1
  done
}

cmake -S "$src" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
build || { echo "the unmutated sources do not build"; exit 1; }
tests_pass || { echo "the tests fail on the unmutated sources"; cat "$root/test.log"; exit 1; }

# NAME | FILE | TEXT | REPLACEMENT   (TEXT must occur exactly once in FILE, and holds no '|')
mutants=$(cat <<'LIST'
flush bound raised to -60 dB | dsp/CompressorEngine.cpp | kFlushBound = 1e-60 | kFlushBound = 1e-6
logistic curve steepness nudged | dsp/LogisticCurve.h | std::exp(5.0 - 10.0 * count / duration) | std::exp(5.0 - 9.0 * count / duration)
logistic carried step nudged | dsp/LogisticCurve.h | step = std::exp(-10.0 / duration); | step = std::exp(-9.0 / duration);
logistic consecutive-count test flipped | dsp/LogisticCurve.h | count - lastCount == 1.0f ? | count - lastCount != 1.0f ?
logistic duration change not noticed | dsp/LogisticCurve.h | if (duration != lastDuration) { | if (lastDuration == 0.0f) {
logistic settled end nudged | dsp/LogisticCurve.h | return 1.0 / (1.0 + std::exp(-5.0)); | return 1.0 / (1.0 + std::exp(-4.0));
rms window 3 ms instead of 30 | dsp/CompressorEngine.cpp | perMs * 30.0f | perMs * 3.0f
history step every 2 ms | dsp/CompressorEngine.cpp | historyInterval = std::max(1, static_cast<std::int32_t>(perMs)) | historyInterval = std::max(1, static_cast<std::int32_t>(perMs * 2))
history tick comparison moved | dsp/CompressorEngine.cpp | historyTick < historyInterval | historyTick <= historyInterval
hard knee comparison flipped | dsp/CompressorEngine.cpp | if (previousOutput > a) targetGain | if (previousOutput < a) targetGain
ratio multiplies instead of divides | dsp/CompressorEngine.cpp | if (previousOutput > a) targetGain = ((x - a) / ratioValue + a) * perX | if (previousOutput > a) targetGain = ((x - a) * ratioValue + a) * perX
knee end bound moved above full scale | dsp/CompressorEngine.cpp | thresholdValue, 1.0f) | thresholdValue, 2.0f)
knee position bound moved | dsp/CompressorEngine.cpp | (kneeEnd - b), 1.0) | (kneeEnd - b), 2.0)
soft knee comparison flipped | dsp/CompressorEngine.cpp | } else if (previousOutput > b) { | } else if (previousOutput < b) {
release not restarted by an attack | dsp/CompressorEngine.h | attackCount = next < cap ? next : cap;\n            releaseCount = 0.0f; | attackCount = next < cap ? next : cap;
attack not restarted by a release | dsp/CompressorEngine.h | releaseCount = next < cap ? next : cap;\n            attackCount = 0.0f; | releaseCount = next < cap ? next : cap;
phase decision flipped | dsp/CompressorEngine.h | if (level > decision) { | if (level < decision) {
knee activity bound moved | dsp/CompressorEngine.h | kneeStart >= 0.0001f | kneeStart >= 0.1f
held gain never let go | dsp/CompressorEngine.cpp | heldGain = 1.0;\n            g = curve; | g = curve;
release does not hold its gain | dsp/CompressorEngine.cpp | heldGain = g; | ;
attack curve not held | dsp/CompressorEngine.cpp | if (curve <= heldGain) { | if (true) {
gain not applied to the left channel | dsp/CompressorEngine.cpp | const double yL = gL * g; | const double yL = gL;
output channels swapped | dsp/CompressorEngine.cpp | *outL = outGain * yL;\n    *outR = outGain * yR; | *outL = outGain * yR;\n    *outR = outGain * yL;
right input detector fed the left channel | dsp/CompressorEngine.cpp | meanSquareInR = detect(meanSquareInR, gR, | meanSquareInR = detect(meanSquareInR, gL,
channels linked by the quieter one | dsp/CompressorEngine.cpp | std::sqrt(std::max(meanSquareInL, meanSquareInR)) | std::sqrt(std::min(meanSquareInL, meanSquareInR))
right output detector fed the left channel | dsp/CompressorEngine.cpp | meanSquareOutR = detect(meanSquareOutR, yR, | meanSquareOutR = detect(meanSquareOutR, yL,
input gain dropped on the left | dsp/CompressorEngine.cpp | const double gL = inGain * inL; | const double gL = inL;
output gain dropped on the right | dsp/CompressorEngine.cpp | *outR = outGain * yR; | *outR = yR;
sample-rate change ignored | dsp/CompressorEngine.cpp | sampleRate = rate;\n        deriveSampleCounts(); | ;
initial target gain 0 | dsp/CompressorEngine.cpp | targetGain = 1.0; | targetGain = 0.0;
history mirror write dropped | dsp/LevelHistory.h | buffer[head + kLength] = level; | ;
quiet inputs below -100 dB silenced | plugin/ZuVstCore.cpp | kInputFloor = 1e-100 | kInputFloor = 1e-5
loud inputs limited at +60 dB | plugin/ZuVstCore.cpp | kInputLimit = 1e30 | kInputLimit = 1e3
infinite input taken as the limit | plugin/ZuVstCore.cpp | magnitude >= kInputFloor && magnitude <= DBL_MAX | magnitude >= kInputFloor
quiet 32-bit output below -600 dB zeroed | plugin/ZuVstCore.cpp | return magnitude >= FLT_MIN ? limited : 0.0f; | return magnitude >= 1e-30 ? limited : 0.0f;
input gain range moved | plugin/ZuVstCore.cpp | case 0: storeField(e.inputGain, decibelsToAmplitude(v * 48.0f - 24.0f) | case 0: storeField(e.inputGain, decibelsToAmplitude(v * 48.0f - 18.0f)
threshold range moved | plugin/ZuVstCore.cpp | const float thresholdDb = t * 96.0f - 96.0f; | const float thresholdDb = t * 96.0f - 90.0f;
knee depth range moved | plugin/ZuVstCore.cpp | static_cast<double>(k * 96.0f - 96.0f) | static_cast<double>(k * 90.0f - 90.0f)
ratio range moved | plugin/ZuVstCore.cpp | v * 19.0f + 1.0f, 1.0f | v * 19.0f + 2.0f, 1.0f
ratio floor lowered | plugin/ZuVstCore.cpp | v * 19.0f + 1.0f, 1.0f | v * 19.0f + 1.0f, 0.1f
attack range moved | plugin/ZuVstCore.cpp | (v * 149.0f + 1.0f) | (v * 149.0f + 10.0f)
release range nudged | plugin/ZuVstCore.cpp | (v * 1999.0f + 1.0f) | (v * 1990.0f + 1.0f)
precision flag not set | plugin/ZuVstCore.cpp | engine->io64Bit = io64Bit; | ;
input conversion: floor dropped | dsp/StereoBlock.h | return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0; | return magnitude <= DBL_MAX ? limited : 0.0;
input conversion: infinity let through | dsp/StereoBlock.h | return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0; | return magnitude >= kInputFloor ? limited : 0.0;
input conversion: NaN let through | dsp/StereoBlock.h | return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0; | return !(magnitude < kInputFloor) ? limited : 0.0;
input conversion: no limit | dsp/StereoBlock.h | const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit); | const double limited = sample;
input conversion: no lower limit | dsp/StereoBlock.h | const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit); | const double limited = std::min(sample, kInputLimit);
input conversion: no upper limit | dsp/StereoBlock.h | const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit); | const double limited = std::max(sample, -kInputLimit);
input conversion: signed magnitude | dsp/StereoBlock.h | const double magnitude = std::max(sample, -sample);\n    const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit); | const double magnitude = sample;\n    const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit);
input conversion: left channel takes the right | dsp/StereoBlock.h | const double l = takeInput(left[i]); | const double l = takeInput(right[i]);
output conversion: denormal let through | dsp/StereoBlock.h | return magnitude >= FLT_MIN ? limited : 0.0; | return limited;
output conversion: signed magnitude | dsp/StereoBlock.h | const double magnitude = std::max(sample, -sample);\n    const double limited = std::min(std::max(sample, -kLargest), kLargest); | const double magnitude = sample;\n    const double limited = std::min(std::max(sample, -kLargest), kLargest);
output conversion: right channel gets the left | dsp/StereoBlock.h | right[i] = limitOutput<Sample>(outRight); | right[i] = limitOutput<Sample>(outLeft);
parameter storage: NaN stored | dsp/CompressorEngine.h | if (std::isnan(value)) return; | ;
parameter storage: minimum not kept | dsp/CompressorEngine.h | std::clamp(value, static_cast<double>(minimum), | std::clamp(value, 0.0,
parameter storage: no upper bound | dsp/CompressorEngine.h | static_cast<double>(minimum), double{kLargest}) | static_cast<double>(minimum), DBL_MAX)
parameter storage: denormals kept | dsp/CompressorEngine.h | std::fabs(bounded) < FLT_MIN ? 0.0f | std::fabs(bounded) < 0.0f ? 0.0f
parameter storage: tiny normal values zeroed | dsp/CompressorEngine.h | std::fabs(bounded) < FLT_MIN ? 0.0f | std::fabs(bounded) < 1e-30f ? 0.0f
parameter storage: value not stored | plugin/ZuVstCore.cpp | paramValues[index].store(value, std::memory_order_relaxed);\n    tarn::applyParameter | tarn::applyParameter
parameter storage: value not applied | plugin/ZuVstCore.cpp | tarn::applyParameter(*engine, index, value);\n#if | ;\n#if
parameter storage: set accepts one index too many | plugin/ZuVstCore.cpp | index >= kNumParams) return;\n    paramValues | index > kNumParams) return;\n    paramValues
parameter storage: set accepts negative indices | plugin/ZuVstCore.cpp | float value) {\n    if (index < 0 | float value) {\n    if (false
parameter storage: get answers one index too many | plugin/ZuVstCore.cpp | index >= kNumParams) return 0.0f; | index > kNumParams) return 0.0f;
parameter storage: get answers another parameter | plugin/ZuVstCore.cpp | return paramValues[index].load(std::memory_order_relaxed); | return paramValues[index % 7].load(std::memory_order_relaxed);
refresh pacer: remainder not collected | editor/RefreshPacer.cpp | sleepRemainder += wait % 12; | ;
refresh pacer: remainder collected in whole milliseconds | editor/RefreshPacer.cpp | sleepRemainder += wait % 12; | sleepRemainder += wait / 12;
refresh pacer: remainder slept late | editor/RefreshPacer.cpp | if (sleepRemainder / 12 > 0) { | if (sleepRemainder / 12 > 1) {
refresh pacer: remainder slept when it reaches more than a millisecond | editor/RefreshPacer.cpp | if (sleepRemainder / 12 > 0) { | if (sleepRemainder > 12) {
refresh pacer: remainder slept a millisecond long | editor/RefreshPacer.cpp | clock.sleep(static_cast<std::uint32_t>(sleepRemainder / 12)); | clock.sleep(static_cast<std::uint32_t>(sleepRemainder / 12 + 1));
refresh pacer: slept remainder not taken off | editor/RefreshPacer.cpp | sleepRemainder %= 12; | ;
refresh pacer: rest of the remainder dropped | editor/RefreshPacer.cpp | sleepRemainder %= 12; | sleepRemainder = 0;
refresh pacer: whole milliseconds rounded up | editor/RefreshPacer.cpp | clock.sleep(static_cast<std::uint32_t>(wait / 12)); | clock.sleep(static_cast<std::uint32_t>((wait + 11) / 12));
LIST
)

killed=0
survived=0
skipped=0
broken=0
survivors=()
while IFS='|' read -r name file text replacement; do
  name=$(echo "$name" | sed 's/ *$//')
  grep -qE "$filter" <<<"$name" || continue
  file=$(echo "$file" | xargs)
  text=${text# }; text=${text% }
  replacement=${replacement# }
  cp "$src/$file" "$root/original"
  case $file in
    dsp/*) tests=("${dsp[@]}") ;;
    editor/*) tests=("${editor[@]}") ;;
    *) tests=("${plugin[@]}") ;;
  esac
  if ! python3 - "$src/$file" "$text" "$replacement" <<'PY'
import sys
path, text, replacement = sys.argv[1], sys.argv[2].replace('\\n', '\n'), sys.argv[3].replace('\\n', '\n')
source = open(path).read()
if source.count(text) != 1:
    sys.exit(1)
open(path, 'w').write(source.replace(text, replacement))
PY
  then
    echo "not applied   $name ($file: text not found exactly once)"
    skipped=$((skipped + 1))
    continue
  fi
  if ! build; then
    echo "no build      $name"
    broken=$((broken + 1))
  elif tests_pass; then
    echo "SURVIVED      $name"
    survived=$((survived + 1))
    survivors+=("$name")
  else
    echo "caught        $name"
    killed=$((killed + 1))
  fi
  cp "$root/original" "$src/$file"
done <<<"$mutants"
tests=("${dsp[@]}" "${editor[@]}")
build >/dev/null

total=$((killed + survived))
echo "mutants: $killed caught, $survived survived, $broken did not build, $skipped not applied"
[ "$total" -gt 0 ] && echo "score: $((100 * killed / total))% ($killed of $total)"
for s in "${survivors[@]}"; do echo "survivor: $s"; done
