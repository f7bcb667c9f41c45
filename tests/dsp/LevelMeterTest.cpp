#include <gtest/gtest.h>

#include <cmath>

#include "dsp/CompressorEngine.h"

// The levels the editor's graph shows: the detectors integrate over 30 ms and the histories
// step about once per millisecond at any sample rate.
using tarn::CompressorEngine;

namespace {

struct Engine : CompressorEngine {
    Engine() {
        init();
        // Compressing, so that the output level differs from the input level.
        setThresholdDb(-20.0);
        setRatio(4.0);
        setAttackMs(2.0);
        setReleaseMs(2.0);
    }
    void run(double amplitude, int frames, float rate) {
        double l = 0.0;
        double r = 0.0;
        for (int i = 0; i < frames; ++i) processSample(i % 2 ? amplitude : -amplitude, 0.0, &l, &r, rate);
    }
};

int nonZero(const tarn::LevelHistory& h) {
    int n = 0;
    for (int i = 0; i < h.size(); ++i) n += h[i] != 0.0;
    return n;
}

} // namespace

TEST(LevelMeter, RisesWithAThirtyMillisecondTimeConstant) {
    for (float rate : {44100.0f, 96000.0f}) {
        Engine e;
        const int frames = static_cast<int>(rate * 0.030f);
        e.run(0.5, frames, rate);
        // A one-pole mean of the square over 30 ms: after 30 ms it is 1 - 1/e of the way.
        EXPECT_NEAR(std::sqrt(e.meanSquareInL), 0.5 * std::sqrt(1.0 - std::exp(-1.0)), 0.005) << rate << " Hz";
        EXPECT_NEAR(e.inputHistory[1499], std::sqrt(e.meanSquareInL), 0.01) << rate << " Hz";
    }
}

TEST(LevelMeter, HistoriesStepAboutOncePerMillisecondAtAnyRate) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
        Engine e;
        e.run(0.0, 1000, rate);
        // One second of signal after silence: every step in it stores a non-zero level.
        e.run(0.5, static_cast<int>(rate), rate);
        EXPECT_GE(nonZero(e.inputHistory), 970) << rate << " Hz";
        EXPECT_LE(nonZero(e.inputHistory), 1000) << rate << " Hz";
        EXPECT_EQ(nonZero(e.outputHistory), nonZero(e.inputHistory)) << rate << " Hz";
    }
}
