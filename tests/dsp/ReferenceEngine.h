#pragma once
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

#include "dsp/LevelHistory.h"

namespace tarn {

// The S-shaped attack and release curve 1 / (1 + exp(5 - 10 count / duration)), from 0.0066929
// at count 0 through 0.5 at duration / 2 to 0.9933071 at duration.
//
// A running phase advances its count by one per frame, so the exponential is carried from frame
// to frame by one multiplication, exp(5 - 10 (n + 1) / D) = exp(5 - 10 n / D) x exp(-10 / D),
// instead of an exp call per frame. Any other step (a new phase starting at 1, a count that no
// longer grows, a changed duration) computes the exponential afresh. Over a whole curve the
// carried value stays within about 1e-10 (relative) of the direct formula. Audio thread only.
class ReferenceCurve {
public:
    // The curve's end: a completed attack or release holds it for as long as the phase lasts.
    static double end() { return 1.0 / (1.0 + std::exp(-5.0)); }

    // The curve at `count` (0 or more) for a phase of `duration` frames (more than 0).
    double at(float count, float duration) {
        if (count == duration) return settled;
        if (duration != lastDuration) {
            lastDuration = duration;
            step = std::exp(-10.0 / duration);
            lastCount = kNoCount;
        }
        exponential = count - lastCount == 1.0f ? exponential * step : std::exp(5.0 - 10.0 * count / duration);
        lastCount = count;
        return 1.0 / (1.0 + exponential);
    }

private:
    double settled = end();
    // exp(5 - 10 lastCount / lastDuration), and the factor that carries it one count on.
    double exponential = 0.0;
    double step = 0.0;
    // Counts are never negative, so none follows this one: a curve starts afresh on first use.
    // (The difference, not lastCount + 1, is compared: past 2^24 a float count stops growing.)
    static constexpr float kNoCount = -2.0f;
    float lastCount = kNoCount;
    float lastDuration = 0.0f;
};

// The engine as it was before its per-frame arithmetic was restructured: the formulas written
// out as they read, with the durations fixed in samples by whoever sets them. Tests hold the
// engine to it.
//
// Threads: processSample runs on the audio thread with the plug-in's engine lock held; the
// display fields (histories, threshold, kneeStart, io64Bit) are read under the same lock.
// The parameter fields are written without the lock from any thread, so they are atomic
// and read once per frame with relaxed ordering.
struct ReferenceEngine {
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
    ReferenceCurve logistic;
};

} // namespace tarn
