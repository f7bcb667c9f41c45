#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/vst2/Sound.h"

// What a user hears: levels that must arrive, levels that must be compressed and by how much,
// and the two channels treated as one stereo image.
using namespace sound;

TEST(Sound, QuietButNormalSignalsArriveUnchanged) {
    TestHost host;
    // At the defaults the compressor does nothing, down to -2000 dB in 64 bits and down to
    // float's normal range in 32 bits.
    for (double db : {-100.0, -300.0, -1000.0, -1990.0}) {
        Instance plugin;
        const Stereo in = square(db, 2000);
        const Stereo out = render(plugin, in);
        EXPECT_EQ(out.left, in.left) << db << " dB, 64-bit";
        EXPECT_EQ(out.right, in.right) << db << " dB, 64-bit";
    }
    for (double db : {-100.0, -500.0, -740.0}) {
        Instance plugin;
        const Stereo wide = square(db, 2000);
        std::vector<float> l(wide.left.begin(), wide.left.end());
        std::vector<float> r(wide.right.begin(), wide.right.end());
        const std::vector<float> in = l;
        plugin.process(l.data(), r.data(), l.data(), r.data(), 2000);
        EXPECT_EQ(l, in) << db << " dB, 32-bit";
        EXPECT_EQ(r, in) << db << " dB, 32-bit";
    }
}

TEST(Sound, SignalsFarBeyondFullScaleKeepTheirLevel) {
    TestHost host;
    for (double db : {20.0, 200.0, 590.0}) {
        Instance plugin;
        const Stereo in = square(db, 4000);
        const Stereo out = render(plugin, in);
        for (int i = 0; i < 4000; i += 37) ASSERT_NEAR(out.left[i] / in.left[i], 1.0, 1e-9) << db << " dB";
    }
}

TEST(Sound, NonFiniteSamplesAreHeardAsSilence) {
    TestHost host;
    Instance withHoles;
    Instance withSilence;
    Stereo odd = square(-6.0, 3000);
    Stereo zeros = odd;
    const double holes[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()};
    for (int i = 100; i < 3000; i += 101) {
        odd.left[i] = holes[i % 3];
        odd.right[i + 7 < 3000 ? i + 7 : i] = holes[(i + 1) % 3];
        zeros.left[i] = 0.0;
        zeros.right[i + 7 < 3000 ? i + 7 : i] = 0.0;
    }
    EXPECT_EQ(render(withHoles, odd).left, render(withSilence, zeros).left);
}

// Gain of each output sample against its input, for a compressor whose gain stages are at 0 dB.
TEST(Sound, TheCompressorNeverMakesASoundLouder) {
    TestHost host;
    const float thresholds[] = {thresholdAt(-60.0), thresholdAt(-20.0), thresholdAt(-1.0), -0.5f, 1.5f};
    const float knees[] = {1.0f, kneeDepth(6.0), kneeDepth(48.0), 0.0f, -1.0f};
    const float ratios[] = {0.0f, ratioOf(1.5), ratioOf(4.0), 1.0f, -1.0f, 3.0f};
    // Bursts of three levels with silences between, so attacks and releases of every kind happen.
    const Stereo in = then(then(then(square(-3.0, ms(80)), square(-200.0, ms(40))), then(square(-30.0, ms(60)), square(0.0, ms(30)))),
                           then(square(-12.0, ms(50)), square(-40.0, ms(50))));
    for (float t : thresholds)
        for (float k : knees)
            for (float r : ratios) {
                Instance plugin;
                plugin.set(1, t);
                plugin.set(2, k);
                plugin.set(3, r);
                plugin.set(4, attackOf(5.0));
                plugin.set(5, releaseOf(20.0));
                const Stereo out = render(plugin, in);
                for (int i = 0; i < in.frames(); ++i)
                    ASSERT_LE(std::fabs(out.left[i]), std::fabs(in.left[i]) * (1.0 + 1e-9))
                        << "frame " << i << ", threshold " << t << ", knee " << k << ", ratio " << r;
            }
}

TEST(Sound, BothChannelsTakeTheLouderChannelsGain) {
    TestHost host;
    Instance plugin;
    plugin.set(0, gainAt(6.0));
    plugin.set(1, thresholdAt(-30.0));
    plugin.set(3, ratioOf(4.0));
    plugin.set(4, attackOf(5.0));
    plugin.set(6, gainAt(-6.0));
    // A loud square on the right, a quiet sine on the left.
    Stereo in = square(-6.0, 44100);
    for (int i = 0; i < in.frames(); ++i) in.left[i] = amplitude(-40.0) * std::sin(0.0627 * i);
    const Stereo out = render(plugin, in);

    // After the input gain the right channel is at 0 dB, 30 dB over the threshold.
    const double gain = settledGain(0.0, -30.0, 4.0);
    for (int i = 40000; i < in.frames(); ++i) {
        ASSERT_NEAR(out.right[i] / in.right[i], gain, gain * 1e-3) << "frame " << i;
        if (std::fabs(in.left[i]) > 1e-4) {
            ASSERT_NEAR(out.left[i] / in.left[i], gain, gain * 1e-3) << "frame " << i;
        }
    }
}

TEST(Sound, LowThresholdsCompressQuietMaterial) {
    TestHost host;
    Instance plugin;
    plugin.set(1, thresholdAt(-80.0));
    plugin.set(3, ratioOf(4.0));
    plugin.set(4, attackOf(5.0));
    const Stereo out = render(plugin, square(-60.0, 44100));
    EXPECT_NEAR(std::fabs(out.left.back()) / amplitude(-60.0), settledGain(-60.0, -80.0, 4.0), 1e-3);
}

TEST(Sound, SoftKneeStartsCompressingBelowTheThreshold) {
    TestHost host;
    for (double depth : {0.0, 24.0}) {
        Instance plugin;
        plugin.set(1, thresholdAt(-20.0));
        plugin.set(2, kneeDepth(depth));
        plugin.set(3, ratioOf(4.0));
        plugin.set(4, attackOf(5.0));
        // 6 dB under the threshold: inside the knee when it is 24 dB deep.
        const Stereo out = render(plugin, square(-26.0, 44100));
        const double gainDb = decibels(std::fabs(out.left.back()) / amplitude(-26.0));
        if (depth == 0.0) {
            EXPECT_EQ(gainDb, 0.0) << "no knee: nothing below the threshold is touched";
        } else {
            EXPECT_LT(gainDb, -0.5) << "a 24 dB knee compresses 6 dB under the threshold";
        }
    }
}

TEST(Sound, WithAKneeFullScaleLandsWhereAHardKneeAtTheKneeEndWouldPutIt) {
    TestHost host;
    Instance plugin;
    // Threshold -12 dB, knee from 24 dB below it: the knee ends at 2 x threshold - knee start.
    plugin.set(1, thresholdAt(-12.0));
    plugin.set(2, kneeDepth(24.0));
    plugin.set(3, ratioOf(4.0));
    plugin.set(4, attackOf(5.0));
    const Stereo out = render(plugin, square(0.0, 44100));
    const double kneeEnd = 2.0 * amplitude(-12.0) - amplitude(-36.0);
    const double target = kneeEnd + (1.0 - kneeEnd) / 4.0;
    EXPECT_NEAR(std::fabs(out.left.back()), target + (1.0 - kCurveEnd) * (1.0 - target), 1e-3);
}
