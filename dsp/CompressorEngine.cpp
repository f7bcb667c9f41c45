#include "dsp/CompressorEngine.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace tarn {

namespace {

// Sample counts are kept within what an int32 holds; rates that would need more are absurd.
constexpr float kMaxSamplesPerMs = 1.0e7f;

double decibelsToAmplitude(double db) { return std::pow(10.0, db / 20.0); }

// A linear level as the engine keeps it: a float, finite, and 0 rather than denormal.
float level(double amplitude) {
    const float bounded = static_cast<float>(std::min(amplitude, static_cast<double>(FLT_MAX)));
    return bounded < FLT_MIN ? 0.0f : bounded;
}

// A duration in frames at the rate in force, at least one frame.
float frames(float ms, float samplesPerMs) { return std::clamp(ms * samplesPerMs, 1.0f, FLT_MAX); }

} // namespace

float CompressorEngine::threshold() const {
    return level(decibelsToAmplitude(thresholdDbSetting.load(std::memory_order_relaxed)));
}

// The knee start's exponent is summed in double precision from the two single-precision dB values.
float CompressorEngine::kneeStart() const {
    const double thresholdDb = thresholdDbSetting.load(std::memory_order_relaxed);
    return level(decibelsToAmplitude(static_cast<double>(kneeDbSetting.load(std::memory_order_relaxed)) + thresholdDb));
}

float CompressorEngine::attackSamples() const {
    return frames(attackMsSetting.load(std::memory_order_relaxed), samplesPerMs);
}

float CompressorEngine::releaseSamples() const {
    return frames(releaseMsSetting.load(std::memory_order_relaxed), samplesPerMs);
}

void CompressorEngine::deriveSampleCounts() {
    samplesPerMs = std::min(sampleRate * 0.001f, kMaxSamplesPerMs);
    rmsWindow = std::max(1, static_cast<std::int32_t>(samplesPerMs * 30.0f));
    historyInterval = std::max(1, static_cast<std::int32_t>(samplesPerMs));
    windowMinusOne = rmsWindow - 1.0;
    windowInverse = 1.0 / rmsWindow;
}

void CompressorEngine::derive(std::uint32_t changes, float rate) {
    const bool rateChanged = rate != sampleRate && std::isfinite(rate) && rate > 0.0f;
    if (rateChanged) {
        sampleRate = rate;
        deriveSampleCounts();
    }
    if (!rateChanged && changes == derivedChanges) return;
    derivedChanges = changes;
    inputGainFactor = inputGain();
    outputGainFactor = outputGain();
    gainComputer.set(threshold(), kneeStart(), ratio());
    attackFrames = attackSamples();
    releaseFrames = releaseSamples();
    attackStep = LogisticCurve::stepFor(attackFrames);
    releaseStep = LogisticCurve::stepFor(releaseFrames);
}

void CompressorEngine::init() {
    deriveSampleCounts();
    for (auto* setting : {&inputGainSetting, &ratioSetting, &attackMsSetting, &releaseMsSetting, &outputGainSetting})
        setting->store(1.0f, std::memory_order_relaxed);
    thresholdDbSetting.store(0.0f, std::memory_order_relaxed);
    kneeDbSetting.store(0.0f, std::memory_order_relaxed);
    settingsChanges.fetch_add(1, std::memory_order_release);
    historyLength = LevelHistory::kLength;
    clearState();
}

void CompressorEngine::clearState() {
    targetGain = 1.0;
    heldGain = 1.0;
    attackCount = 0.0f;
    releaseCount = 0.0f;
    logistic = LogisticCurve{};
    inputHistory.reset();
    outputHistory.reset();
    meanSquareInL = meanSquareInR = meanSquareOutL = meanSquareOutR = 0.0;
    historyTick = 0;
}

} // namespace tarn
