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

float CompressorEngine::samplesPerMsAt(float rate) { return std::min(rate * 0.001f, kMaxSamplesPerMs); }

void CompressorEngine::deriveSampleCounts() {
    samplesPerMs = samplesPerMsAt(sampleRate);
    rmsWindow = std::max(1, static_cast<std::int32_t>(samplesPerMs * 30.0f));
    historyInterval = std::max(1, static_cast<std::int32_t>(samplesPerMs));
    windowMinusOne = rmsWindow - 1.0;
    windowInverse = 1.0 / rmsWindow;
}

// The settings are read first and kept only when no group began or ended while they were read
// (a sequence lock: the fence orders the reads before the second look at the count).
bool CompressorEngine::derive(std::uint32_t changes, float rate) {
    const std::uint32_t groups = settingsGroups.load(std::memory_order_acquire);
    if (groups % 2 != 0) return false;
    const bool rateChanged = rate != sampleRate && std::isfinite(rate) && rate > 0.0f;
    if (!rateChanged && changes == derivedChanges) return false;
    const float perMs = rateChanged ? samplesPerMsAt(rate) : samplesPerMs;
    const float input = inputGain();
    const float output = outputGain();
    const float thresholdLevel = threshold();
    const float knee = kneeStart();
    const float slope = ratio();
    const float attack = frames(attackMsSetting.load(std::memory_order_relaxed), perMs);
    const float release = frames(releaseMsSetting.load(std::memory_order_relaxed), perMs);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (settingsGroups.load(std::memory_order_relaxed) != groups) return false;

    if (rateChanged) {
        sampleRate = rate;
        deriveSampleCounts();
    }
    derivedChanges = changes;
    inputGainFactor = input;
    outputGainFactor = output;
    gainComputer.set(thresholdLevel, knee, slope);
    attackFrames = attack;
    releaseFrames = release;
    attackStep = LogisticCurve::stepFor(attackFrames);
    releaseStep = LogisticCurve::stepFor(releaseFrames);
    return true;
}

CompressorEngine::SettingsGroup::SettingsGroup(CompressorEngine& e) : engine(e) {
    engine.groupGate.lock();
    engine.settingsGroups.store(engine.settingsGroups.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    // Orders the count's store before the settings' stores, for a frame that reads one of them.
    std::atomic_thread_fence(std::memory_order_release);
}

CompressorEngine::SettingsGroup::~SettingsGroup() {
    engine.settingsGroups.store(engine.settingsGroups.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    engine.groupGate.unlock();
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
