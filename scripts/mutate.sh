#!/usr/bin/env bash
# Mutation run over dsp/, vst2/, the editor's refresh pacer, the graph's staleness and the LV2 UI's knobs: applies one hand-listed small change at a time (a
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
display=(); [ -z "${DISPLAY:-}" ] && display=(scripts/xvfb.sh)
# The tests that can see a change in each folder: the engine's through the plug-in too, the
# refresh pacer's only in its own tests.
dsp=("dsp_tests" "vst2_tests")
plugin=("vst2_tests")
editor=("editor_tests --gtest_filter=RefreshPacer.*")
views=("views_window_tests --gtest_filter=GraphWindow.*")
lv2=("lv2_ui_module_tests")
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

# Restoring a file after its mutant rebuilds what it was before: ccache answers those builds.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=$PWD
cmake -S "$src" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null || exit 1
build || { echo "the unmutated sources do not build"; exit 1; }
tests_pass || { echo "the tests fail on the unmutated sources"; cat "$root/test.log"; exit 1; }

# NAME | FILE | TEXT | REPLACEMENT   (TEXT must occur exactly once in FILE, and holds no '|')
mutants=$(cat <<'LIST'
flush bound raised to -60 dB | dsp/CompressorEngine.h | kFlushBound = 1e-60 | kFlushBound = 1e-6
detectors not flushed after a run of frames | dsp/CompressorEngine.h | flush(s);\n        push(steps); | push(steps);
history steps below the flush bound kept | dsp/CompressorEngine.h | std::sqrt(steps.input[i] < kFlushBound ? 0.0 : steps.input[i]) | std::sqrt(steps.input[i])
rate change within a block not looked at | dsp/CompressorEngine.h | r != sampleRate, | false,
settings change within a block not looked at | dsp/CompressorEngine.h | settingsChanges.load(std::memory_order_acquire) != derivedChanges | false
logistic curve steepness nudged | dsp/LogisticCurve.h | std::exp(5.0 - 10.0 * count / duration) | std::exp(5.0 - 9.0 * count / duration)
logistic carried step nudged | dsp/LogisticCurve.h | return std::exp(-10.0 / duration); | return std::exp(-9.0 / duration);
logistic consecutive-count test flipped | dsp/LogisticCurve.h | count - lastCount == 1.0f ? | count - lastCount != 1.0f ?
logistic duration change not noticed | dsp/LogisticCurve.h | if (duration != lastDuration) { | if (lastDuration == 0.0f) {
logistic settled end nudged | dsp/LogisticCurve.h | return 1.0 / (1.0 + std::exp(-5.0)); | return 1.0 / (1.0 + std::exp(-4.0));
rms window 3 ms instead of 30 | dsp/CompressorEngine.cpp | samplesPerMs * 30.0f | samplesPerMs * 3.0f
rms window coefficient nudged | dsp/CompressorEngine.cpp | windowMinusOne = rmsWindow - 1.0; | windowMinusOne = rmsWindow - 2.0;
history step every 2 ms | dsp/CompressorEngine.cpp | static_cast<std::int32_t>(samplesPerMs)); | static_cast<std::int32_t>(samplesPerMs * 2));
history tick comparison moved | dsp/CompressorEngine.h | s.historyTick < k.historyInterval | s.historyTick <= k.historyInterval
stereo link takes the quieter channel | dsp/CompressorEngine.h | _mm_max_pd(_mm_shuffle_pd(pair, pair, 1), pair) | _mm_min_pd(_mm_shuffle_pd(pair, pair, 1), pair)
lock not handed over between frames | dsp/CompressorEngine.h | if (lock.asked() | if (false
open settings group not waited for | dsp/CompressorEngine.cpp | if (groups % 2 != 0) return false; | if (false) return false;
settings group begun meanwhile not noticed | dsp/CompressorEngine.cpp | if (settingsGroups.load(std::memory_order_relaxed) != groups) return false; | if (false) return false;
hard knee taken for a soft one | dsp/GainComputer.h | if (!soft) return | if (soft) return
ratio multiplies instead of divides | dsp/GainComputer.cpp | inverseRatio = 1.0 / ratio; | inverseRatio = ratio;
hard knee offset sign flipped | dsp/GainComputer.cpp | threshold * (1.0 - inverseRatio) | threshold * (1.0 + inverseRatio)
knee end bound moved above full scale | dsp/GainComputer.cpp | + threshold, 1.0f) | + threshold, 2.0f)
knee position bound moved | dsp/GainComputer.h | * inverseKneeWidth, 0.0, 1.0) | * inverseKneeWidth, 0.0, 2.0)
knee position not held above 0 | dsp/GainComputer.h | std::clamp((x - kneeStart) * inverseKneeWidth, 0.0, 1.0) | std::min((x - kneeStart) * inverseKneeWidth, 1.0)
hard knee gain not held at 1 | dsp/GainComputer.h | std::min(inverseRatio + hardFactor / x, 1.0) | inverseRatio + hardFactor / x
soft knee slope multiplies by the ratio | dsp/GainComputer.cpp | ((1.0 - kneeEnd) / ratio | ((1.0 - kneeEnd) * ratio
decision level taken at the threshold with a knee | dsp/GainComputer.cpp | knee ? kneeStartValue : threshold | threshold
decision bound not raised to the last double | dsp/GainComputer.cpp | <= decision) bound | < decision) bound
knee activity bound moved | dsp/GainComputer.h | threshold - kneeStart >= 0.0001f | threshold - kneeStart >= 0.1f
phase decision flipped | dsp/CompressorEngine.h | larger(s.meanSquareOut) > k.gainComputer | larger(s.meanSquareOut) < k.gainComputer
phase decided by the left channel alone | dsp/CompressorEngine.h | if (larger(s.meanSquareOut) > | if (_mm_cvtsd_f64(s.meanSquareOut) >
attack goes on from the release count | dsp/CompressorEngine.h | s.attacking = true;\n            s.count = 0.0f; | s.attacking = true;
release goes on from the attack count | dsp/CompressorEngine.h | s.attacking = false;\n            s.count = 0.0f; | s.attacking = false;
attack count not capped | dsp/CompressorEngine.h | s.count = next < k.attackFrames ? next : k.attackFrames; | s.count = next;
attack curve runs backwards | dsp/CompressorEngine.h | (1.0 - u) * (1.0 - s.logistic.at(s.count | (1.0 - u) * (s.logistic.at(s.count
held gain never let go | dsp/CompressorEngine.h | s.heldGain = 1.0;\n            g = curve; | g = curve;
release does not hold its gain | dsp/CompressorEngine.h | heldGain = g; | ;
attack curve not held | dsp/CompressorEngine.h | if (__builtin_expect(curve <= s.heldGain, 1)) { | if (true) {
gain not applied to the left channel | dsp/CompressorEngine.h | _mm_mul_pd(gained, _mm_set1_pd(g)) | _mm_mul_pd(gained, _mm_set_pd(g, 1.0))
output channels swapped | dsp/CompressorEngine.h | _mm_storel_pd(outL, out);\n    _mm_storeh_pd(outR, out); | _mm_storel_pd(outR, out);\n    _mm_storeh_pd(outL, out);
right input detector fed the left channel | dsp/CompressorEngine.h | detect(s.meanSquareIn, gained, | detect(s.meanSquareIn, _mm_unpacklo_pd(gained, gained),
input level from the left channel alone | dsp/CompressorEngine.h | const double inputMeanSquare = larger(s.meanSquareIn); | const double inputMeanSquare = _mm_cvtsd_f64(s.meanSquareIn);
right output detector fed the left channel | dsp/CompressorEngine.h | detect(s.meanSquareOut, y, | detect(s.meanSquareOut, _mm_unpacklo_pd(y, y),
input gain dropped on the left | dsp/CompressorEngine.h | _mm_mul_pd(k.inputGainFactor, input) | _mm_mul_pd(_mm_move_sd(k.inputGainFactor, _mm_set_sd(1.0)), input)
output gain dropped on the right | dsp/CompressorEngine.h | _mm_mul_pd(k.outputGainFactor, y) | _mm_mul_pd(_mm_move_sd(_mm_set1_pd(1.0), k.outputGainFactor), y)
input gain taken as 0 dB whatever it is | dsp/CompressorEngine.h | inputGainFactor == 1.0, outputGainFactor == 1.0} | true, outputGainFactor == 1.0}
output gain taken as 0 dB whatever it is | dsp/CompressorEngine.h | inputGainFactor == 1.0, outputGainFactor == 1.0} | inputGainFactor == 1.0, true}
sample-rate change ignored | dsp/CompressorEngine.cpp | sampleRate = rate;\n        deriveSampleCounts(); | ;
sample-rate change alone not noticed | dsp/CompressorEngine.h | changes == derivedChanges && rate == sampleRate) return false; | changes == derivedChanges) return false;
durations not remade on a rate change | dsp/CompressorEngine.cpp | if (!rateChanged && changes == derivedChanges) return false; | if (changes == derivedChanges) return false;
zero sample rate accepted | dsp/CompressorEngine.cpp | std::isfinite(rate) && rate > 0.0f | std::isfinite(rate)
infinite sample rate accepted | dsp/CompressorEngine.cpp | std::isfinite(rate) && rate > 0.0f | rate > 0.0f
release step made from the attack duration | dsp/CompressorEngine.cpp | stepFor(releaseFrames) | stepFor(attackFrames)
knee start made without the threshold | dsp/CompressorEngine.cpp | std::memory_order_relaxed)) + thresholdDb | std::memory_order_relaxed)) - thresholdDb
knee ignored by the gain curve | dsp/CompressorEngine.cpp | gainComputer.set(thresholdLevel, knee, slope); | gainComputer.set(thresholdLevel, thresholdLevel, slope);
denormal levels kept | dsp/CompressorEngine.cpp | return bounded < FLT_MIN ? 0.0f : bounded; | return bounded;
initial target gain 0 | dsp/CompressorEngine.cpp | targetGain = 1.0; | targetGain = 0.0;
history write dropped | dsp/LevelHistory.h | buffer[head].store(level, std::memory_order_relaxed); | ;
input conversion: floor raised to -100 dB | dsp/StereoBlock.h | kInputFloor = 1e-100 | kInputFloor = 1e-5
input conversion: limit lowered to +60 dB | dsp/StereoBlock.h | kInputLimit = 1e30 | kInputLimit = 1e3
input conversion: floor dropped | dsp/StereoBlock.h | return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0; | return magnitude <= DBL_MAX ? limited : 0.0;
input conversion: infinity let through | dsp/StereoBlock.h | return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0; | return magnitude >= kInputFloor ? limited : 0.0;
input conversion: NaN let through | dsp/StereoBlock.h | return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0; | return !(magnitude < kInputFloor) && !(magnitude > DBL_MAX) ? limited : 0.0;
input conversion: floor itself silenced | dsp/StereoBlock.h | magnitude >= kInputFloor && | magnitude > kInputFloor &&
input conversion: largest double silenced | dsp/StereoBlock.h | magnitude <= DBL_MAX ? limited : 0.0; | magnitude < DBL_MAX ? limited : 0.0;
input conversion: no limit | dsp/StereoBlock.h | const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit); | const double limited = sample;
input conversion: no lower limit | dsp/StereoBlock.h | const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit); | const double limited = std::min(sample, kInputLimit);
input conversion: no upper limit | dsp/StereoBlock.h | const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit); | const double limited = std::max(sample, -kInputLimit);
input conversion: signed magnitude | dsp/StereoBlock.h | const double magnitude = std::max(sample, -sample);\n    const double limited = std::min(std::max(sample, -kInputLimit) | const double magnitude = sample;\n    const double limited = std::min(std::max(sample, -kInputLimit)
input conversion: left channel read from the right input | dsp/StereoBlock.h | takeChannel(inL + start, left, count); | takeChannel(inR + start, left, count);
input conversion: right channel read from the left input | dsp/StereoBlock.h | takeChannel(inR + start, right, count); | takeChannel(inL + start, right, count);
input conversion: the full way does not convert | dsp/StereoBlock.h | out[i] = takeInput(static_cast<double>(in[i])); | out[i] = static_cast<double>(in[i]);
output conversion: denormal let through | dsp/StereoBlock.h | return magnitude >= kFloatSmallest ? limited : 0.0; | return limited;
output conversion: quiet output below -600 dB zeroed | dsp/StereoBlock.h | return magnitude >= kFloatSmallest ? limited : 0.0; | return magnitude >= 1e-30 ? limited : 0.0;
output conversion: smallest normal float zeroed | dsp/StereoBlock.h | return magnitude >= kFloatSmallest ? limited : 0.0; | return magnitude > kFloatSmallest ? limited : 0.0;
output conversion: signed magnitude | dsp/StereoBlock.h | const double magnitude = std::max(sample, -sample);\n    const double limited = std::min(std::max(sample, -kFloatLargest) | const double magnitude = sample;\n    const double limited = std::min(std::max(sample, -kFloatLargest)
output conversion: no limit | dsp/StereoBlock.h | const double limited = std::min(std::max(sample, -kFloatLargest), kFloatLargest); | const double limited = sample;
output conversion: no lower limit | dsp/StereoBlock.h | const double limited = std::min(std::max(sample, -kFloatLargest), kFloatLargest); | const double limited = std::min(sample, kFloatLargest);
output conversion: limit lowered | dsp/StereoBlock.h | constexpr double kFloatLargest = FLT_MAX; | constexpr double kFloatLargest = 1e30;
output conversion: 64-bit output bounded as 32-bit | dsp/StereoBlock.h | { std::copy(in, in + count, out); } | { for (int i = 0; i < count; ++i) out[i] = limitFloatOutput(in[i]); }
output conversion: right channel gets the left | dsp/StereoBlock.h | giveChannel(right, outR + start, count); | giveChannel(left, outR + start, count);
output conversion: a sample rounding to FLT_MIN kept | dsp/StereoBlock.h | _mm_cmpgt_ps(magnitude, smallest) | _mm_cmpge_ps(magnitude, smallest)
output conversion: no upper bound four at a time | dsp/StereoBlock.h | _mm_and_ps(_mm_cmpgt_ps(magnitude, smallest), _mm_cmple_ps(magnitude, largest)) | _mm_cmpgt_ps(magnitude, smallest)
input conversion: -0 kept four at a time | dsp/StereoBlock.h | _mm_storeu_pd(out + i, _mm_add_pd(_mm_cvtps_pd(x), zero)); | _mm_storeu_pd(out + i, _mm_cvtps_pd(x));
input conversion: float's range as the bound four at a time | dsp/StereoBlock.h | _mm_cmple_ps(_mm_andnot_ps(sign, x), highest) | _mm_cmple_ps(_mm_andnot_ps(sign, x), _mm_set1_ps(FLT_MAX))
conversion check: top not checked | dsp/StereoBlock.h | _mm_and_pd(_mm_cmple_pd(magnitude, highest), | _mm_and_pd(_mm_cmpge_pd(magnitude, lowest),
conversion check: floor not checked | dsp/StereoBlock.h | _mm_and_pd(_mm_cmple_pd(magnitude, highest), _mm_cmpge_pd(magnitude, lowest)) | _mm_cmple_pd(magnitude, highest)
parameter storage: NaN stored | dsp/CompressorEngine.h | if (std::isnan(value)) return; | ;
parameter storage: minimum not kept | dsp/CompressorEngine.h | std::clamp(value, static_cast<double>(minimum), | std::clamp(value, -double{kLargest},
parameter storage: negative dB values bounded at 0 | dsp/CompressorEngine.h | std::clamp(value, static_cast<double>(minimum), | std::clamp(value, 0.0,
parameter storage: no upper bound | dsp/CompressorEngine.h | double{kLargest})); | DBL_MAX));
parameter storage: denormals kept | dsp/CompressorEngine.h | std::fabs(bounded) < FLT_MIN ? 0.0f | std::fabs(bounded) < 0.0f ? 0.0f
parameter storage: tiny normal values zeroed | dsp/CompressorEngine.h | std::fabs(bounded) < FLT_MIN ? 0.0f | std::fabs(bounded) < 1e-30f ? 0.0f
parameter storage: signed magnitude | dsp/CompressorEngine.h | std::fabs(bounded) < FLT_MIN ? 0.0f | bounded < FLT_MIN ? 0.0f
parameter storage: change not counted | dsp/CompressorEngine.h | settingsChanges.fetch_add(1, std::memory_order_release); | ;
parameter storage: dB mapped as power | dsp/EngineMapping.cpp | std::pow(10.0, db / 20.0) | std::pow(10.0, db / 10.0)
parameter storage: input gain sets the output gain | dsp/EngineMapping.cpp | case 0: e.setInputGain( | case 0: e.setOutputGain(
parameter storage: output gain taken as an amplitude | dsp/EngineMapping.cpp | e.setOutputGain(decibelsToAmplitude(natural)) | e.setOutputGain(natural)
parameter storage: threshold sets the knee | dsp/EngineMapping.cpp | case 1: e.setThresholdDb( | case 1: e.setKneeDb(
parameter storage: knee sets the threshold | dsp/EngineMapping.cpp | case 2: e.setKneeDb( | case 2: e.setThresholdDb(
parameter storage: settings taken within the next parameter's range | dsp/EngineMapping.cpp | const ParameterInfo& p = kParameters[index]; | const ParameterInfo& p = kParameters[(index + 1) % kNumControls];
parameter storage: settings not held within their range | dsp/EngineMapping.cpp | std::clamp(natural, p.minimum, p.maximum) | natural
parameter storage: the knee falls through to the ratio | dsp/EngineMapping.cpp | case 2: e.setKneeDb(natural); break; | case 2: e.setKneeDb(natural);
parameter storage: NaN zeroes a setting | dsp/CompressorEngine.h | if (std::isnan(value)) return; | if (std::isnan(value)) value = 0.0;
parameter storage: attack sets the release | dsp/EngineMapping.cpp | case 4: e.setAttackMs( | case 4: e.setReleaseMs(
parameter storage: natural value offset subtracted | dsp/ParameterTable.h | return v * (p.maximum - p.minimum) + p.minimum; | return v * (p.maximum - p.minimum) - p.minimum;
parameter storage: natural value scaled by the maximum | dsp/ParameterTable.h | return v * (p.maximum - p.minimum) + p.minimum; | return v * p.maximum + p.minimum;
parameter storage: input gain range moved | dsp/ParameterTable.h | "input_gain", -24.0f, 24.0f | "input_gain", -18.0f, 24.0f
parameter storage: threshold range moved | dsp/ParameterTable.h | "threshold", -96.0f, 0.0f | "threshold", -90.0f, 0.0f
parameter storage: knee depth range moved | dsp/ParameterTable.h | "knee", -96.0f, 0.0f | "knee", -90.0f, 0.0f
parameter storage: ratio range moved | dsp/ParameterTable.h | "ratio", 1.0f, 20.0f | "ratio", 2.0f, 20.0f
parameter storage: attack range moved | dsp/ParameterTable.h | "attack", 1.0f, 150.0f | "attack", 10.0f, 150.0f
parameter storage: release range nudged | dsp/ParameterTable.h | "release", 1.0f, 2000.0f | "release", 1.0f, 1990.0f
parameter storage: output gain range moved | dsp/ParameterTable.h | "output_gain", -24.0f, 24.0f | "output_gain", -24.0f, 18.0f
parameter storage: input gain default nudged | dsp/ParameterTable.h | -24.0f, 24.0f, Unit::Decibels, 0.5f, 1, " db", nullptr},\n    {"Threshold" | -24.0f, 24.0f, Unit::Decibels, 0.6f, 1, " db", nullptr},\n    {"Threshold"
parameter storage: attack default nudged | dsp/ParameterTable.h | 0.32666659f | 0.33f
parameter storage: release default nudged | dsp/ParameterTable.h | 0.1495f | 0.15f
parameter storage: defaults of parameters 7 and 8 not 0 | dsp/ParameterTable.cpp | kParameters[index].defaultValue : 0.0f; | kParameters[index].defaultValue : 1.0f;
parameter storage: default of parameter 0 not looked up | dsp/ParameterTable.cpp | return index >= 0 && index < kNumControls | return index > 0 && index < kNumControls
parameter storage: only the quotient tried as normalised value | dsp/ParameterTable.cpp | {v, std::nextafter(v, -INFINITY), std::nextafter(v, INFINITY)} | {v}
parameter storage: normalised value not found gives 0 | dsp/ParameterTable.cpp | return candidate;\n    return v; | return candidate;\n    return 0.0f;
parameter storage: value not stored | vst2/ZuVstCore.cpp | stored.exchange(value); | ;
parameter storage: value not applied | vst2/ZuVstCore.cpp | tarn::applyParameter(*engine, index, applied); | ;
parameter storage: set accepts one index too many | vst2/ZuVstCore.cpp | index >= kNumParams) return;\n    storeAndApply | index > kNumParams) return;\n    storeAndApply
parameter storage: set accepts negative indices | vst2/ZuVstCore.cpp | float value) {\n    if (index < 0 | float value) {\n    if (false
parameter storage: get answers one index too many | vst2/ZuVstCore.cpp | index >= kNumParams) return 0.0f; | index > kNumParams) return 0.0f;
parameter storage: get answers negative indices | vst2/ZuVstCore.cpp | getParameter(VstInt32 index) {\n    if (index < 0 | getParameter(VstInt32 index) {\n    if (false
parameter storage: get answers 1 outside the range | vst2/ZuVstCore.cpp | index >= kNumParams) return 0.0f; | index >= kNumParams) return 1.0f;
parameter storage: get answers another parameter | vst2/ZuVstCore.cpp | return paramValues[index].load(); | return paramValues[index % 7].load();
parameter storage: parameters start at 0 | vst2/ZuVstCore.cpp | paramValues[i].store(tarn::defaultValue(i), | paramValues[i].store(0.0f,
parameter storage: defaults not given to the engine | vst2/ZuVstCore.cpp | for (VstInt32 i = 0; i < kNumParams; ++i) setParameter(i, paramValues[i].load(std::memory_order_relaxed)); | ;
parameter storage: current values not kept on a program change | vst2/ZuVstCore.cpp | programValues[programIndex][i] = paramValues[i].load(std::memory_order_relaxed); | ;
graph: a knee change alone not noticed | views/ZuGLGraph.cpp | const float newKneeStartDb = tarn::DecibelHistory::toDb(kneeStart); | const float newKneeStartDb = kneeStartDb;
lv2 ui: a knob's touch not sent | lv2/Lv2EditorUi.cpp | touchFeature->touch(touchFeature->handle, kFirstControl + index, grabbed); | ;
lv2 ui: a knob's touch always grabs | lv2/Lv2EditorUi.cpp | kFirstControl + index, grabbed); | kFirstControl + index, true);
lv2 ui: a knob's value not written | lv2/Lv2EditorUi.cpp | write(controller, kFirstControl + index, sizeof(float), 0, &naturals[index]); | ;
lv2 ui: a knob's value written normalised | lv2/Lv2EditorUi.cpp | naturals[index] = toNatural(index, value);\n    write | naturals[index] = value;\n    write
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
# Tallies per area: the part of a name before its colon, the engine for names without one.
declare -A areaCaught areaSurvived areaSkipped
while IFS='|' read -r name file text replacement; do
  name=$(echo "$name" | sed 's/ *$//')
  grep -qE "$filter" <<<"$name" || continue
  area=engine; [[ $name == *:* ]] && area=${name%%:*}
  file=$(echo "$file" | xargs)
  text=${text# }; text=${text% }
  replacement=${replacement# }
  cp "$src/$file" "$root/original"
  case $file in
    dsp/*) tests=("${dsp[@]}") ;;
    editor/*) tests=("${editor[@]}") ;;
    views/*) tests=("${views[@]}") ;;
    lv2/*) tests=("${lv2[@]}") ;;
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
    areaSkipped[$area]=$((${areaSkipped[$area]:-0} + 1))
    continue
  fi
  if ! build; then
    echo "no build      $name"; cp "$root/build.log" "$root/no-build.log"
    broken=$((broken + 1))
  elif tests_pass; then
    echo "SURVIVED      $name"
    survived=$((survived + 1))
    areaSurvived[$area]=$((${areaSurvived[$area]:-0} + 1))
    survivors+=("$name")
  else
    echo "caught        $name"
    killed=$((killed + 1))
    areaCaught[$area]=$((${areaCaught[$area]:-0} + 1))
  fi
  cp "$root/original" "$src/$file"
done <<<"$mutants"
tests=("${dsp[@]}" "${editor[@]}")
build >/dev/null

printf '%s\n' "${!areaCaught[@]}" "${!areaSurvived[@]}" "${!areaSkipped[@]}" | sort -u | while read -r area; do
  [ -n "$area" ] || continue
  c=${areaCaught[$area]:-0} s=${areaSurvived[$area]:-0}
  printf '%-20s %3d caught, %3d survived, %3d not applied' "$area" "$c" "$s" "${areaSkipped[$area]:-0}"
  [ $((c + s)) -gt 0 ] && printf ': %d%%' $((100 * c / (c + s)))
  echo
done
total=$((killed + survived))
echo "mutants: $killed caught, $survived survived, $broken did not build, $skipped not applied"
[ "$total" -gt 0 ] && echo "score: $((100 * killed / total))% ($killed of $total)"
for s in "${survivors[@]}"; do echo "survivor: $s"; done
