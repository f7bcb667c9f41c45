#pragma once
#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <emmintrin.h>
#include <mutex>

#include "dsp/GainComputer.h"
#include "dsp/LevelHistory.h"
#include "dsp/LogisticCurve.h"

namespace tarn {

// The whole signal path: a stereo-linked RMS compressor with a soft knee and logistic
// attack and release, working one stereo frame at a time. All levels are linear amplitudes.
//
// Threads: processSample runs on the audio thread with the plug-in's engine lock held. The
// display fields (histories, io64Bit, threshold(), kneeStart()) are read from any thread
// without it: the editor holds nothing the audio thread needs (see LevelHistory).
// The settings are given through the setters, from any thread and without the lock.
//
// Settings and what is made from them. Each setter stores its value in its own atomic and
// then counts the change. A frame compares the count with the one its derived values were
// made from (one load) and, when it differs, makes all of them again from the current
// settings and sample rate before it starts. Only the audio thread makes and reads the derived
// values, so a frame always works with one consistent set, made from values that were all
// current at one moment (threshold and knee start from the same pair, durations with the rate
// in force), without a lock and without a copy to tear. A setting that lands while a set is
// being made has counted after the count that set records, so the next frame makes it again.
// (Making them in the setters instead would let two threads that set threshold and knee at
// once leave a knee start made from a stale pair.)
struct CompressorEngine {
    std::atomic<bool> io64Bit{false};
    float sampleRate = 44100.0f;
    float samplesPerMs = 0.0f;
    std::int32_t rmsWindow = 0;
    double targetGain = 0.0;
    double heldGain = 0.0;
    float attackCount = 0.0f;
    float releaseCount = 0.0f;
    LevelHistory inputHistory;
    LevelHistory outputHistory;
    std::int32_t historyLength = 0;
    std::int32_t historyTick = 0;
    std::int32_t historyInterval = 0;
    // Detector states: running means of the squared signal over rmsWindow samples. The RMS
    // level is their square root, taken only where a level is needed rather than compared.
    double meanSquareInL = 0.0;
    double meanSquareInR = 0.0;
    double meanSquareOutL = 0.0;
    double meanSquareOutR = 0.0;

    // With sampleRate set: derives the sample counts, sets gains, threshold and durations to
    // their neutral values (0 dB, 1:1, one millisecond) and allocates the histories. Throws
    // std::bad_alloc when the histories cannot be allocated.
    void init();

    // Forgets the signal: detectors, phase counters, gains and histories start again as after
    // init, the settings stay. Allocates nothing once init has run. With the engine lock held.
    void clearState();

    // Settings, from any thread. A value that is not a number leaves the setting as it was;
    // others are kept within what the engine can use (gains and ratio finite, ratio at least
    // 1, durations and dB values finite).
    void setInputGain(double amplitude) { store(inputGainSetting, amplitude, 0.0f); }
    void setOutputGain(double amplitude) { store(outputGainSetting, amplitude, 0.0f); }
    void setThresholdDb(double db) { store(thresholdDbSetting, db, -kLargest); }
    // The knee's start in dB relative to the threshold: 0 for no knee, below 0 for a soft knee.
    void setKneeDb(double db) { store(kneeDbSetting, db, -kLargest); }
    void setRatio(double ratio) { store(ratioSetting, ratio, 1.0f); }
    void setAttackMs(double ms) { store(attackMsSetting, ms, 0.0f); }
    void setReleaseMs(double ms) { store(releaseMsSetting, ms, 0.0f); }

    // Settings made as one, such as a program's: while a group is open, frames go on with the
    // values made before it began, so that none works with part of it; the frame after it ends
    // takes all of it. The audio thread never waits for a group. Other threads that open one
    // meanwhile wait for it to end. Not on the audio thread.
    class SettingsGroup {
    public:
        explicit SettingsGroup(CompressorEngine& e);
        ~SettingsGroup();
        SettingsGroup(const SettingsGroup&) = delete;
        SettingsGroup& operator=(const SettingsGroup&) = delete;

    private:
        CompressorEngine& engine;
    };

    // What the settings come to, for display and tests, made from the current settings and
    // the sample rate in force as the next frame makes them.
    float inputGain() const { return inputGainSetting.load(std::memory_order_relaxed); }
    float outputGain() const { return outputGainSetting.load(std::memory_order_relaxed); }
    float ratio() const { return ratioSetting.load(std::memory_order_relaxed); }
    // Linear amplitudes.
    float threshold() const;
    float kneeStart() const;
    // In frames, at least 1. They read the sample rate in force: on the audio thread or under
    // the engine lock.
    float attackSamples() const;
    float releaseSamples() const;

    // One stereo frame. `rate` is the host's current sample rate; a rate that is not finite
    // or not above 0 is ignored. Inputs must be finite.
    void processSample(double inL, double inR, double* outL, double* outR, float rate);

    // `count` frames in place: left[i] and right[i] in, the outputs out, each frame as
    // processSample makes it, with rate() asked once per frame. The run holds the lock and lets
    // a thread that waits for it in between two frames (lock.asked()). The state one frame hands
    // the next stays in registers and reaches the fields above at the end of the run, or before
    // the lock is let go; nothing but this thread reads those fields in between. The histories
    // receive their steps then too.
    template <typename FrameLock, typename Rate>
    void processFrames(double* left, double* right, int count, FrameLock& lock, Rate rate);

    // The larger output RMS level after the latest frame (after gain reduction, before output
    // gain). Computed when needed rather than stored, so that no store at the end of a frame
    // waits for a square root: the per-frame lock makes every frame wait for its stores.
    double outputLevel() const { return std::sqrt(std::max(meanSquareOutL, meanSquareOutR)); }

private:
    static constexpr float kLargest = FLT_MAX;
    // Mean squares below this (-600 dB) are flushed to zero, so a long silence never reaches
    // denormal numbers, which cost many times more CPU on x86. The flush follows each run of at
    // most kMostFramesPerRun frames rather than each frame, whose test would cost more than the
    // flush is worth: within a run a mean square can only fall to 2^-kMostFramesPerRun of the
    // bound (the shortest window, two frames, halves it each frame), far above the denormals.
    // The sound is the same as with a flush in every frame: a level below the bound decides
    // nothing (every decision level the parameters reach, -192 dB at the lowest, lies far above
    // it) and vanishes in the rounding when a signal returns. The fields and the history steps
    // are kept flushed.
    static constexpr double kFlushBound = 1e-60;

    // One step of a one-pole running mean of the squared signal with coefficient 1 / N, for both
    // channels at once (left in the low half). Keeping the mean square (not its root) as the
    // state keeps the square root off the chain from one frame to the next.
    static __m128d detect(__m128d meanSquare, __m128d sample, __m128d windowMinusOne, __m128d windowInverse) {
        return _mm_mul_pd(_mm_add_pd(_mm_mul_pd(meanSquare, windowMinusOne), _mm_mul_pd(sample, sample)), windowInverse);
    }
    // The halves below kFlushBound made 0.
    static __m128d flush(__m128d meanSquare) {
        const __m128d flushed = _mm_cmplt_pd(meanSquare, _mm_set1_pd(kFlushBound));
        return _mm_movemask_pd(flushed) == 0 ? meanSquare : _mm_andnot_pd(flushed, meanSquare);
    }
    // The larger half, as std::max(left, right) answers it.
    static double larger(__m128d pair) { return _mm_cvtsd_f64(_mm_max_pd(_mm_shuffle_pd(pair, pair, 1), pair)); }

    void store(std::atomic<float>& setting, double value, float minimum) {
        if (std::isnan(value)) return;
        const float bounded = static_cast<float>(std::clamp(value, static_cast<double>(minimum), double{kLargest}));
        // What would be a denormal float is 0, so that no product with it is denormal.
        setting.store(std::fabs(bounded) < FLT_MIN ? 0.0f : bounded, std::memory_order_relaxed);
        settingsChanges.fetch_add(1, std::memory_order_release);
    }

    // Makes the derived values from the current settings and sample rate; false when they stay
    // as they were (nothing changed, or a settings group is open or opened meanwhile).
    bool derive(std::uint32_t changes, float rate);
    void deriveSampleCounts();
    static float samplesPerMsAt(float rate);

    // What one frame hands the next.
    struct FrameState {
        __m128d meanSquareIn, meanSquareOut;
        double targetGain, heldGain;
        // The running phase's count: attackCount while attacking, releaseCount otherwise (the
        // other one is 0).
        float count;
        bool attacking;
        std::int32_t historyTick;
        LogisticCurve logistic;
    };
    static void flush(FrameState& s) {
        s.meanSquareIn = flush(s.meanSquareIn);
        s.meanSquareOut = flush(s.meanSquareOut);
    }
    // What frames read of the derived values, as copied by frameConstants(); the factors both
    // channels are multiplied by are held in both halves, ready for use.
    struct FrameConstants {
        __m128d inputGainFactor, outputGainFactor;
        GainComputer gainComputer;
        float attackFrames, releaseFrames;
        double attackStep, releaseStep;
        __m128d windowMinusOne, windowInverse;
        std::int32_t historyInterval;
        bool unityInput, unityOutput;
    };
    FrameState frameState() const {
        const bool attacking = attackCount > 0.0f;
        return {_mm_set_pd(meanSquareInR, meanSquareInL), _mm_set_pd(meanSquareOutR, meanSquareOutL), targetGain, heldGain,
                attacking ? attackCount : releaseCount, attacking, historyTick, logistic};
    }
    void keepFrameState(const FrameState& s) {
        _mm_storel_pd(&meanSquareInL, s.meanSquareIn);
        _mm_storeh_pd(&meanSquareInR, s.meanSquareIn);
        _mm_storel_pd(&meanSquareOutL, s.meanSquareOut);
        _mm_storeh_pd(&meanSquareOutR, s.meanSquareOut);
        targetGain = s.targetGain;
        heldGain = s.heldGain;
        attackCount = s.attacking ? s.count : 0.0f;
        releaseCount = s.attacking ? 0.0f : s.count;
        historyTick = s.historyTick;
        logistic = s.logistic;
    }
    FrameConstants frameConstants() const {
        return {_mm_set1_pd(inputGainFactor), _mm_set1_pd(outputGainFactor), gainComputer, attackFrames, releaseFrames,
                attackStep, releaseStep, _mm_set1_pd(windowMinusOne), _mm_set1_pd(windowInverse), historyInterval,
                inputGainFactor == 1.0, outputGainFactor == 1.0};
    }
    // Derives again when the settings or the rate have changed; true when it did.
    bool follow(float rate) {
        const std::uint32_t changes = settingsChanges.load(std::memory_order_acquire);
        if (changes == derivedChanges && rate == sampleRate) return false;
        return derive(changes, rate);
    }
    // Frames between two pushes of history steps (each frame makes at most one step).
    static constexpr int kMostFramesPerRun = 256;
    // The history steps a run of frames has made, as mean squares, pushed (as levels) when the
    // run ends, lets the lock go or has made as many as this holds: the pushes' fences and
    // square roots stay out of the frames.
    struct HistorySteps {
        double input[kMostFramesPerRun];
        double output[kMostFramesPerRun];
        int count = 0;
    };
    void push(HistorySteps& steps);
    // One frame on the state in hand: the whole signal path.
    void frame(FrameState& s, const FrameConstants& k, double inL, double inR, double* outL, double* outR,
               HistorySteps& steps);

    std::atomic<float> inputGainSetting{1.0f};
    std::atomic<float> thresholdDbSetting{0.0f};
    std::atomic<float> kneeDbSetting{0.0f};
    std::atomic<float> ratioSetting{1.0f};
    std::atomic<float> attackMsSetting{1.0f};
    std::atomic<float> releaseMsSetting{1.0f};
    std::atomic<float> outputGainSetting{1.0f};
    // How many settings have been stored; starts at 1 so that the first frame derives.
    std::atomic<std::uint32_t> settingsChanges{1};
    // How often a settings group has begun or ended: odd while one is open. Written by the
    // holder of groupGate only.
    std::atomic<std::uint32_t> settingsGroups{0};
    std::mutex groupGate;

    // Derived values: written and read by the audio thread only.
    std::uint32_t derivedChanges = 0;
    double inputGainFactor = 1.0;
    double outputGainFactor = 1.0;
    GainComputer gainComputer;
    float attackFrames = 1.0f;
    float releaseFrames = 1.0f;
    double attackStep = 0.0;
    double releaseStep = 0.0;
    // The detector coefficients of the current window, N - 1 and 1 / N.
    double windowMinusOne = 0.0;
    double windowInverse = 0.0;
    // The attack or release curve of the running phase; only one of them runs at a time.
    LogisticCurve logistic;
};

inline void CompressorEngine::frame(FrameState& s, const FrameConstants& k, double inL, double inR, double* outL,
                                    double* outR, HistorySteps& steps) {
    const __m128d input = _mm_set_pd(inR, inL);
    const __m128d gained = k.unityInput ? input : _mm_mul_pd(k.inputGainFactor, input);
    s.meanSquareIn = detect(s.meanSquareIn, gained, k.windowMinusOne, k.windowInverse);

    // The phase is decided on the previous frame's output level, the amount of reduction on
    // the current input level; only an attack frame moves the target gain. The decision
    // compares mean squares with the squared decision level, so no square root lies between
    // one frame's output and the next frame's decision.
    double g;
    if (larger(s.meanSquareOut) > k.gainComputer.overBound()) {
        if (!s.attacking) {
            s.attacking = true;
            s.count = 0.0f;
        }
        const float next = s.count + 1.0f;
        s.count = next < k.attackFrames ? next : k.attackFrames;
        const double inputMeanSquare = larger(s.meanSquareIn);
        if (inputMeanSquare > 0.0) s.targetGain = k.gainComputer.gain(std::sqrt(inputMeanSquare));
        const double u = s.targetGain;
        const double curve = u + (1.0 - u) * (1.0 - s.logistic.at(s.count, k.attackFrames, k.attackStep));
        // After the first frames of an attack the held gain is let go (1), and the curve is
        // below it from then on: the likely way, laid out straight.
        if (__builtin_expect(curve <= s.heldGain, 1)) {
            s.heldGain = 1.0;
            g = curve;
        } else {
            g = s.heldGain;
        }
    } else {
        if (s.attacking) {
            s.attacking = false;
            s.count = 0.0f;
        }
        const float next = s.count + 1.0f;
        s.count = next < k.releaseFrames ? next : k.releaseFrames;
        const double u = s.targetGain;
        g = u + (1.0 - u) * s.logistic.at(s.count, k.releaseFrames, k.releaseStep);
        s.heldGain = g;
    }

    const __m128d y = _mm_mul_pd(gained, _mm_set1_pd(g));
    const __m128d out = k.unityOutput ? y : _mm_mul_pd(k.outputGainFactor, y);
    _mm_storel_pd(outL, out);
    _mm_storeh_pd(outR, out);

    s.meanSquareOut = detect(s.meanSquareOut, y, k.windowMinusOne, k.windowInverse);

    if (s.historyTick < k.historyInterval) {
        ++s.historyTick;
    } else {
        steps.input[steps.count] = larger(s.meanSquareIn);
        steps.output[steps.count] = larger(s.meanSquareOut);
        ++steps.count;
        s.historyTick = 0;
    }
}

inline void CompressorEngine::push(HistorySteps& steps) {
    for (int i = 0; i < steps.count; ++i) {
        inputHistory.push(std::sqrt(steps.input[i] < kFlushBound ? 0.0 : steps.input[i]));
        outputHistory.push(std::sqrt(steps.output[i] < kFlushBound ? 0.0 : steps.output[i]));
    }
    steps.count = 0;
}

inline void CompressorEngine::processSample(double inL, double inR, double* outL, double* outR, float rate) {
    follow(rate);
    FrameState s = frameState();
    HistorySteps steps;
    frame(s, frameConstants(), inL, inR, outL, outR, steps);
    flush(s);
    keepFrameState(s);
    push(steps);
}

template <typename FrameLock, typename Rate>
void CompressorEngine::processFrames(double* left, double* right, int count, FrameLock& lock, Rate rate) {
    lock.enter();
    FrameState s = frameState();
    FrameConstants k = frameConstants();
    HistorySteps steps;
    // Each frame makes at most one step: pushed after every kMostFramesPerRun frames at most.
    for (int start = 0, end = 0; start < count; start = end) {
        end = start + std::min(kMostFramesPerRun, count - start);
        for (int i = start; i < end; ++i) {
            // One test for the three things a frame must look at first, each rarely so: a thread
            // waiting for the lock, a change of settings, a change of rate.
            const float r = rate();
            if (__builtin_expect(lock.asked() || settingsChanges.load(std::memory_order_acquire) != derivedChanges ||
                                     r != sampleRate,
                                 0)) {
                if (lock.asked()) {
                    flush(s);
                    keepFrameState(s);
                    push(steps);
                    lock.leave();
                    lock.enter();
                    s = frameState();
                    k = frameConstants();
                }
                if (follow(r)) k = frameConstants();
            }
            frame(s, k, left[i], right[i], &left[i], &right[i], steps);
        }
        flush(s);
        push(steps);
    }
    keepFrameState(s);
    lock.leave();
}

} // namespace tarn
