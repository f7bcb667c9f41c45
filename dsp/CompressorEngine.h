#pragma once
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

#include "dsp/LevelHistory.h"
#include "dsp/LogisticCurve.h"

namespace tarn {

// The whole signal path: a stereo-linked RMS compressor with a soft knee and logistic
// attack and release, working one stereo frame at a time. All levels are linear amplitudes.
//
// Threads: processSample runs on the audio thread with the plug-in's engine lock held; the
// display fields (histories, threshold, kneeStart, io64Bit) are read under the same lock.
// The parameter fields are written without the lock from any thread, so they are atomic
// and read once per frame with relaxed ordering.
struct CompressorEngine {
    bool io64Bit = false;
    float sampleRate = 44100.0f;
    // Read without the lock when a duration parameter is set.
    std::atomic<float> samplesPerMs{0.0f};
    std::int32_t rmsWindow = 0;
    double targetGain = 0.0;
    double heldGain = 0.0;
    float attackCount = 0.0f;
    float releaseCount = 0.0f;
    std::atomic<float> inputGain{0.0f};
    std::atomic<float> threshold{0.0f};
    std::atomic<float> kneeStart{0.0f};
    std::atomic<float> ratio{0.0f};
    std::atomic<float> attackSamples{0.0f};
    std::atomic<float> releaseSamples{0.0f};
    std::atomic<float> outputGain{0.0f};
    LevelHistory inputHistory;
    LevelHistory outputHistory;
    std::int32_t historyLength = 0;
    std::int32_t historyTick = 0;
    std::int32_t historyInterval = 0;
    // Detector states: running means of the squared signal over rmsWindow samples. The RMS
    // level is their square root, taken once per frame for the louder channel.
    double meanSquareInL = 0.0;
    double meanSquareInR = 0.0;
    double meanSquareOutL = 0.0;
    double meanSquareOutR = 0.0;

    // With sampleRate set: derives the sample counts, sets every parameter field to 1.0 and
    // allocates the histories. Throws std::bad_alloc when the histories cannot be allocated.
    void init();

    // One stereo frame. `rate` is the host's current sample rate; a rate that is not finite
    // or not above 0 is ignored. Inputs must be finite.
    void processSample(double inL, double inR, double* outL, double* outR, float rate);

    // The larger output RMS level after the latest frame (after gain reduction, before output
    // gain). Computed when needed rather than stored, so that no store at the end of a frame
    // waits for a square root: the per-frame lock makes every frame wait for its stores.
    double outputLevel() const { return std::sqrt(std::max(meanSquareOutL, meanSquareOutR)); }

    // Advances the attack and release counters from the previous frame's output level.
    void updatePhase(double level) {
        const float thresholdValue = threshold.load(std::memory_order_relaxed);
        const float kneeValue = kneeStart.load(std::memory_order_relaxed);
        const double decision = kneeActive(thresholdValue, kneeValue) ? kneeValue : thresholdValue;
        if (level > decision) {
            const float next = attackCount + 1.0f;
            const float cap = attackSamples.load(std::memory_order_relaxed);
            attackCount = next < cap ? next : cap;
            releaseCount = 0.0f;
        } else {
            const float next = releaseCount + 1.0f;
            const float cap = releaseSamples.load(std::memory_order_relaxed);
            releaseCount = next < cap ? next : cap;
            attackCount = 0.0f;
        }
    }

    static void pushHistory(LevelHistory& history, double level) { history.push(level); }

    // True when the knee lies far enough below the threshold to be used.
    static bool kneeActive(float threshold, float kneeStart) { return threshold - kneeStart >= 0.0001f; }

private:
    void deriveSampleCounts();

    // The detector coefficients of the current window, N - 1 and 1 / N.
    double windowMinusOne = 0.0;
    double windowInverse = 0.0;
    // The attack or release curve of the running phase; only one of them runs at a time.
    LogisticCurve logistic;
};

} // namespace tarn
