#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <cmath>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "dsp/CompressorEngine.h"
#include "tests/Cycles.h"

using tarn::CompressorEngine;

namespace {

double db(double amplitude) { return 20.0 * std::log10(amplitude); }

// An engine as the plug-in builds it, with threshold and knee start given as amplitudes and
// the durations in milliseconds (by default the plug-in's defaults).
struct Engine : CompressorEngine {
    Engine(double thresholdValue, double kneeValue, double ratioValue, double attackMs = 0.32666659f * 149.0f + 1.0f,
           double releaseMs = 0.1495f * 1999.0f + 1.0f) {
        init();
        setThresholdDb(db(thresholdValue));
        setKneeDb(db(kneeValue / thresholdValue));
        setRatio(ratioValue);
        setAttackMs(attackMs);
        setReleaseMs(releaseMs);
    }
    // Runs `frames` frames of a constant stereo input; answers the last left output.
    double run(double in, int frames, float rate = 44100.0f) {
        double left = 0.0;
        double right = 0.0;
        for (int i = 0; i < frames; ++i) processSample(in, in, &left, &right, rate);
        return left;
    }
};

constexpr float kOff = 1.0f; // threshold 0 dB, knee off, ratio 1:1

} // namespace

TEST(CompressorEngine, ConstantInputSettlesOnTheHardKneeCurve) {
    Engine e(0.1f, 0.1f, 4.0f);
    const double out = e.run(0.5, 100000);
    EXPECT_NEAR(e.targetGain, 0.4, 1e-8); // the threshold is 0.1 in single precision
    EXPECT_EQ(e.attackCount, e.attackSamples());
    EXPECT_FLOAT_EQ(e.attackSamples(), 2190.5935f);
    EXPECT_NEAR(out, 0.2020079, 5e-8);
}

TEST(CompressorEngine, SoftKneeFollowsTheWorkedExamples) {
    Engine loud(0.1f, 0.05f, 4.0f);
    loud.run(0.5, 100000);
    EXPECT_NEAR(loud.targetGain, 0.3960526, 2e-7);

    Engine quiet(0.1f, 0.05f, 4.0f);
    quiet.run(0.12, 100000);
    EXPECT_NEAR(quiet.targetGain, 0.6569193, 2e-7);
}

TEST(CompressorEngine, KneeEndIsCappedAtFullScale) {
    // 2 x threshold - knee start = 1.3, so the knee ends at 1.0: s = (1 - 0.5) / (0.5) = 1.
    Engine e(0.9f, 0.5f, 4.0f);
    e.run(0.7, 100000);
    EXPECT_NEAR(e.targetGain, 1.0, 1e-6);
}

TEST(CompressorEngine, DefaultsLeaveSignalsUpToFullScaleRmsUntouched) {
    Engine e(kOff, kOff, kOff);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (int i = 0; i < 200000; ++i) {
        // Noise, then a full-scale square wave (RMS exactly 1.0).
        const double l = i < 100000 ? noise(random) : (i % 2 ? 1.0 : -1.0);
        const double r = i < 100000 ? noise(random) : (i % 3 ? -1.0 : 1.0);
        double outL = 0.0;
        double outR = 0.0;
        e.processSample(l, r, &outL, &outR, 44100.0f);
        ASSERT_EQ(outL, l) << "frame " << i;
        ASSERT_EQ(outR, r) << "frame " << i;
    }
    EXPECT_EQ(e.targetGain, 1.0);
}

TEST(CompressorEngine, FirstFrameIsAReleaseFrameAtUnityGain) {
    Engine e(0.001f, 0.001f, 20.0f);
    double l = 0.0;
    double r = 0.0;
    e.processSample(0.9, -0.9, &l, &r, 44100.0f);
    EXPECT_EQ(e.releaseCount, 1.0f);
    EXPECT_EQ(e.attackCount, 0.0f);
    EXPECT_EQ(l, 0.9);
    EXPECT_EQ(r, -0.9);
}

TEST(CompressorEngine, ShortOvershootFallsPartwayThenReleasesFromTargetGain) {
    // A 300-frame burst, then a quiet signal: the output level stays over the threshold for
    // far fewer frames than the 20000-frame attack.
    Engine e(0.1f, 0.1f, 4.0f, 20000.0 / 44.1, 2000.0 / 44.1);
    double lastAttackGain = 1.0;
    double lowestAttackGain = 1.0;
    double lowestTarget = 1.0;
    double left = 0.0;
    double right = 0.0;
    double in = 1.0;
    for (int frame = 0; e.releaseCount == 0.0f || frame < 300; ++frame) {
        in = frame < 300 ? 1.0 : 0.01;
        const double u = e.targetGain;
        const bool attacking = e.attackCount > 0.0f;
        e.processSample(in, in, &left, &right, 44100.0f);
        if (e.attackCount > 0.0f) {
            lastAttackGain = left / in;
            lowestAttackGain = std::min(lowestAttackGain, lastAttackGain);
            lowestTarget = std::min(lowestTarget, e.targetGain);
        } else if (attacking) {
            // The first release frame starts the curve from the last target gain.
            EXPECT_NEAR(left / in, u + 0.0066929 * (1.0 - u), 1e-6);
            EXPECT_LT(left / in, lastAttackGain);
        }
        ASSERT_LT(frame, 100000);
    }
    EXPECT_LT(lowestAttackGain, 1.0);
    EXPECT_GT(lowestAttackGain, lowestTarget + 0.5 * (1.0 - lowestTarget)) << "the attack curve only went partway";
    const double u = e.targetGain;
    double previous = left / in;
    for (int i = 0; i < 2500; ++i) {
        e.processSample(in, in, &left, &right, 44100.0f);
        ASSERT_GE(left / in, previous);
        previous = left / in;
    }
    EXPECT_NEAR(previous, 1.0 - 0.0066929 * (1.0 - u), 1e-6);
}

TEST(CompressorEngine, SampleRateChangeKeepsStateAndRederivesWindowsAndDurations) {
    Engine e(0.1f, 0.1f, 4.0f, 150.0);
    EXPECT_EQ(e.rmsWindow, 1323);
    EXPECT_EQ(e.historyInterval, 44);
    e.run(0.5, 5000);
    const double meanSquare = e.meanSquareInL;
    const double newest = e.inputHistory[1499];
    const float count = e.attackCount;
    double l = 0.0;
    double r = 0.0;
    e.processSample(0.5, 0.5, &l, &r, 48000.0f);
    EXPECT_EQ(e.rmsWindow, 1440);
    EXPECT_EQ(e.historyInterval, 48);
    EXPECT_FLOAT_EQ(e.samplesPerMs, 48.0f);
    EXPECT_FLOAT_EQ(e.attackSamples(), 150.0f * 48.0f);
    EXPECT_EQ(e.attackCount, count + 1.0f) << "the running phase goes on";
    EXPECT_NEAR(e.meanSquareInL, meanSquare, 1e-3);
    EXPECT_EQ(e.inputHistory[1499], newest);

    // Rates that are not usable are ignored; tiny rates still leave a window of one sample.
    e.processSample(0.5, 0.5, &l, &r, std::nanf(""));
    e.processSample(0.5, 0.5, &l, &r, -1.0f);
    EXPECT_EQ(e.sampleRate, 48000.0f);
    e.processSample(0.5, 0.5, &l, &r, 10.0f);
    EXPECT_EQ(e.rmsWindow, 1);
    EXPECT_EQ(e.historyInterval, 1);
    EXPECT_TRUE(std::isfinite(l));
}

TEST(CompressorEngine, HistoryStepsEvery45FramesWithNewestLast) {
    Engine e(kOff, kOff, kOff);
    EXPECT_EQ(e.historyLength, 1500);
    double l = 0.0;
    double r = 0.0;
    for (int i = 0; i < 45 * 3; ++i) e.processSample(i < 45 ? 0.5 : 0.0, 0.0, &l, &r, 44100.0f);
    // Steps happened at frames 44, 89 and 134; each stored the levels of that one frame.
    EXPECT_EQ(e.inputHistory[1496], 0.0);
    EXPECT_GT(e.inputHistory[1497], 0.0);
    EXPECT_LT(e.inputHistory[1499], e.inputHistory[1498]);
    EXPECT_EQ(e.inputHistory[1499], std::sqrt(e.meanSquareInL));
    EXPECT_EQ(e.outputHistory[1499], e.outputLevel());
    double copied = 0.0;
    EXPECT_TRUE(e.inputHistory.copy(e.inputHistory.steps(), 1, &copied));
    EXPECT_EQ(copied, e.inputHistory[1499]);
}

TEST(CompressorEngine, SilenceDecaysToExactZeroWithoutDenormals) {
    Engine e(0.1f, 0.05f, 4.0f);
    e.run(0.8, 10000);
    double l = 0.0;
    double r = 0.0;
    for (int i = 0; i < 44100 * 60; ++i) {
        e.processSample(0.0, 0.0, &l, &r, 44100.0f);
        for (double state : {e.meanSquareInL, e.meanSquareInR, e.meanSquareOutL, e.meanSquareOutR})
            ASSERT_TRUE(state == 0.0 || std::fpclassify(state) == FP_NORMAL) << "frame " << i;
    }
    EXPECT_EQ(e.meanSquareInL, 0.0);
    EXPECT_EQ(e.outputLevel(), 0.0);
    EXPECT_EQ(e.inputHistory[1499], 0.0);
}

// Blocks of frames sound and show as single frames do, with the detectors flushed after each
// run of frames instead of each frame: the same signal in blocks of several sizes (one longer
// than a run), with the rate and a setting changed within a block and the lock asked for now
// and then, against processSample frame by frame. Bursts of noise between silences long
// enough for the detectors to fall below the flush bound (the low rates keep the windows short).
TEST(CompressorEngine, BlocksOfFramesGoAsSingleFramesDo) {
    Engine blocks(0.1f, 0.05f, 4.0f, 5.0, 50.0);
    Engine frames(0.1f, 0.05f, 4.0f, 5.0, 50.0);
    constexpr int kFrames = 64000;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    std::vector<double> left(kFrames);
    std::vector<double> right(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        const bool on = i % 16000 < 2000;
        left[i] = on ? noise(random) : 0.0;
        right[i] = on ? noise(random) : 0.0;
    }
    auto rateAt = [](int i) { return i < 33000 ? 2000.0f : 3000.0f; };
    constexpr int kNewRatioAt = 49000;

    struct AskedNowAndThen {
        const int& frame;
        void enter() {}
        void leave() {}
        bool asked() const { return frame % 97 == 0; }
    };
    int frame = 0; // the frame whose rate was asked last
    AskedNowAndThen lock{frame};
    std::vector<double> outL = left;
    std::vector<double> outR = right;
    const int sizes[] = {1, 37, 256, 700, 5};
    for (int start = 0, block = 0; start < kFrames; ++block) {
        const int count = std::min(sizes[block % 5], kFrames - start);
        frame = start - 1;
        blocks.processFrames(&outL[start], &outR[start], count, lock, [&] {
            if (++frame == kNewRatioAt) blocks.setRatio(8.0);
            return rateAt(frame);
        });
        for (int i = start; i < start + count; ++i) {
            if (i == kNewRatioAt) frames.setRatio(8.0);
            double l = 0.0;
            double r = 0.0;
            frames.processSample(left[i], right[i], &l, &r, rateAt(i));
            ASSERT_EQ(outL[i], l) << "frame " << i;
            ASSERT_EQ(outR[i], r) << "frame " << i;
        }
        start += count;
        for (const auto& [a, b] : {std::pair{blocks.meanSquareInL, frames.meanSquareInL},
                                   {blocks.meanSquareInR, frames.meanSquareInR},
                                   {blocks.meanSquareOutL, frames.meanSquareOutL},
                                   {blocks.meanSquareOutR, frames.meanSquareOutR}}) {
            ASSERT_EQ(a, b) << "after frame " << start;
            ASSERT_TRUE(a == 0.0 || std::fpclassify(a) == FP_NORMAL) << "after frame " << start;
        }
        ASSERT_EQ(blocks.inputHistory.steps(), frames.inputHistory.steps());
        for (int i = 0; i < blocks.inputHistory.size(); ++i) {
            ASSERT_EQ(blocks.inputHistory[i], frames.inputHistory[i]) << "after frame " << start;
            ASSERT_EQ(blocks.outputHistory[i], frames.outputHistory[i]) << "after frame " << start;
        }
    }
    EXPECT_EQ(blocks.meanSquareInL, 0.0) << "the last silence reached the flush";
    EXPECT_EQ(blocks.rmsWindow, 90);
    EXPECT_EQ(blocks.ratio(), 8.0f);
}

// Settings given directly: not a number leaves each as it was, and an amplitude below float's
// normal range is kept as 0 rather than as a denormal.
TEST(CompressorEngine, SettingsIgnoreNotANumberAndHoldNoDenormal) {
    Engine e(0.1f, 0.05f, 4.0f, 10.0, 100.0);
    e.setInputGain(0.5);
    e.setOutputGain(2.0);
    const float before[] = {e.inputGain(), e.threshold(), e.kneeStart(), e.ratio(), e.attackSamples(), e.releaseSamples(), e.outputGain()};
    const double nan = std::nan("");
    e.setInputGain(nan);
    e.setThresholdDb(nan);
    e.setKneeDb(nan);
    e.setRatio(nan);
    e.setAttackMs(nan);
    e.setReleaseMs(nan);
    e.setOutputGain(nan);
    const float after[] = {e.inputGain(), e.threshold(), e.kneeStart(), e.ratio(), e.attackSamples(), e.releaseSamples(), e.outputGain()};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(after[i], before[i]) << "setting " << i;

    e.setInputGain(1e-40);
    e.setOutputGain(std::pow(10.0, -650.0 / 20.0));
    EXPECT_EQ(e.inputGain(), 0.0f);
    EXPECT_GE(e.outputGain(), FLT_MIN);
}

// Two settings whose halves together compress a -20 dB input, while neither does alone: no
// compression below the threshold (0 dB, 20:1) and none at 1:1 (-40 dB). A frame that worked
// with half of a group would lower the signal. Settings given in a group reach no frame before
// the group ends and then all at once; groups set from another thread, with a pause between
// their two settings, never show halfway.
TEST(CompressorEngine, SettingsGroupsReachFramesWhole) {
    Engine e(0.01, 0.01, 1.0, 1.0, 1.0);
    const double in = 0.1;
    auto untouched = [&](int frames) {
        int lowered = 0;
        for (int i = 0; i < frames; ++i) {
            double left = 0.0;
            double right = 0.0;
            e.processSample(in, in, &left, &right, 48000.0f);
            lowered += left == in && right == in ? 0 : 1;
        }
        return lowered == 0;
    };
    ASSERT_TRUE(untouched(48000));
    {
        CompressorEngine::SettingsGroup group(e);
        e.setRatio(20.0);
        EXPECT_TRUE(untouched(4800)) << "a setting reached frames before its group ended";
    }
    EXPECT_FALSE(untouched(4800)) << "the group's setting never reached the frames";
    e.setRatio(1.0);
    ASSERT_TRUE(untouched(4800));

    std::atomic<bool> done{false};
    std::thread settings([&] {
        for (int n = 0; n < tarn::test::cycles(2000); ++n) {
            CompressorEngine::SettingsGroup group(e);
            const bool toHighThreshold = n % 2 == 0;
            if (toHighThreshold) e.setRatio(20.0);
            else e.setThresholdDb(-40.0);
            std::this_thread::yield();
            if (toHighThreshold) e.setThresholdDb(0.0);
            else e.setRatio(1.0);
        }
        done = true;
    });
    int rounds = 0;
    bool whole = true;
    while (!done && whole) {
        whole = untouched(64);
        ++rounds;
    }
    settings.join();
    EXPECT_TRUE(whole) << "a frame worked with half a group, after " << rounds << " rounds of 64 frames";
}
