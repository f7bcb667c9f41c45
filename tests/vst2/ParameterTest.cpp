#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/vst2/TestHost.h"

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

double amplitude(double db) { return std::pow(10.0, db / 20.0); }

} // namespace

TEST(Parameters, DefaultsAndTheirEngineValues) {
    TestHost host;
    Instance plugin;
    const std::uint32_t defaults[9] = {0x3f000000, 0x3f800000, 0x3f800000, 0, 0x3ea740d8, 0x3e191687, 0x3f000000, 0, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(bitsOf(plugin.get(i)), defaults[i]) << "parameter " << i;
    const tarn::CompressorEngine& e = plugin.engine();
    EXPECT_EQ(e.inputGain(), 1.0f);
    EXPECT_EQ(e.threshold(), 1.0f);
    EXPECT_EQ(e.kneeStart(), 1.0f);
    EXPECT_EQ(e.ratio(), 1.0f);
    EXPECT_FLOAT_EQ(e.attackSamples(), 2190.5935f);
    EXPECT_FLOAT_EQ(e.releaseSamples(), 13223.407f);
    EXPECT_EQ(e.outputGain(), 1.0f);
}

TEST(Parameters, MappingIntoTheEngine) {
    TestHost host;
    Instance plugin;
    const tarn::CompressorEngine& e = plugin.engine();
    plugin.set(0, 0.0f);
    EXPECT_FLOAT_EQ(e.inputGain(), amplitude(-24.0));
    plugin.set(6, 1.0f);
    EXPECT_FLOAT_EQ(e.outputGain(), amplitude(24.0));
    plugin.set(3, 1.0f);
    EXPECT_EQ(e.ratio(), 20.0f);

    // The threshold moves the knee start with it; the knee moves only the knee start.
    plugin.set(1, 0.75f);
    EXPECT_FLOAT_EQ(e.threshold(), amplitude(-24.0));
    EXPECT_EQ(e.kneeStart(), e.threshold());
    plugin.set(2, 0.5f);
    EXPECT_FLOAT_EQ(e.threshold(), amplitude(-24.0));
    EXPECT_FLOAT_EQ(e.kneeStart(), amplitude(-72.0));
    plugin.set(1, 1.0f);
    EXPECT_EQ(e.threshold(), 1.0f);
    EXPECT_FLOAT_EQ(e.kneeStart(), amplitude(-48.0));

    plugin.set(4, 1.0f);
    EXPECT_FLOAT_EQ(e.attackSamples(), 150.0f * 44.1f);
    plugin.set(5, 0.0f);
    EXPECT_FLOAT_EQ(e.releaseSamples(), 44.1f);

    // Parameters 7 and 8 are only stored.
    plugin.set(7, 0.3f);
    plugin.set(8, 0.9f);
    EXPECT_EQ(plugin.get(7), 0.3f);
    EXPECT_EQ(plugin.get(8), 0.9f);
}

TEST(Parameters, DurationsFollowTheSampleRate) {
    // A 150 ms attack on a step at 96 kHz is halfway down after about 75 ms (34 ms with durations
    // fixed at 44.1 kHz when set), in the usual order (the rate, then a session's parameters,
    // then audio) and in the other (parameters and audio at 44.1 kHz, then a new rate alone).
    TestHost host;
    for (const bool rateFirst : {true, false}) {
        Instance plugin;
        if (rateFirst) plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
        plugin.set(1, 66.0f / 96.0f); // -30 dB
        plugin.set(3, 3.0f / 19.0f);  // 4:1
        plugin.set(4, 1.0f);
        if (!rateFirst) {
            double silence[1] = {0.0};
            plugin.process(silence, silence, silence, silence, 1);
            plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
        }
        const int frames = 96000 / 2;
        std::vector<double> left(frames, 0.5);
        std::vector<double> right(frames, 0.5);
        for (int start = 0; start < frames; start += 512)
            plugin.process(&left[start], &right[start], &left[start], &right[start], std::min(512, frames - start));
        EXPECT_FLOAT_EQ(plugin.engine().attackSamples(), 150.0f * 96.0f);
        EXPECT_FLOAT_EQ(plugin.engine().releaseSamples(), (0.1495f * 1999.0f + 1.0f) * 96.0f);
        const double halfway = (1.0 + left[frames - 1] / 0.5) / 2.0;
        int frame = 0;
        while (left[frame] / 0.5 > halfway) ++frame;
        EXPECT_NEAR(frame / 96.0, 74.8, 0.5) << (rateFirst ? "rate first" : "rate last");
    }

    // At 44.1 kHz the durations are what they always were.
    Instance other;
    other.set(4, 1.0f);
    float l[1] = {0.0f};
    float r[1] = {0.0f};
    other.process(l, r, l, r, 1);
    EXPECT_FLOAT_EQ(other.engine().attackSamples(), 6615.0f);
}

TEST(Parameters, OutOfRangeIndicesChangeNothing) {
    TestHost host;
    Instance plugin;
    for (VstInt32 index : {9, 10, -1, std::numeric_limits<VstInt32>::min(), std::numeric_limits<VstInt32>::max()}) {
        plugin.set(index, 0.3f);
        EXPECT_EQ(plugin.get(index), 0.0f);
    }
    EXPECT_EQ(plugin.get(0), 0.5f);
    EXPECT_EQ(plugin.get(8), 0.0f);
}

TEST(Parameters, WildValuesAreStoredAsGivenButTheEngineStaysSane) {
    TestHost host;
    Instance plugin;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float wild[] = {nan, inf, -inf, 1e30f, -1e30f, 2.0f, -3.0f};
    for (float value : wild) {
        for (int index = 0; index < 9; ++index) {
            plugin.set(index, value);
            EXPECT_EQ(bitsOf(plugin.get(index)), bitsOf(value)) << "parameter " << index;
        }
        const tarn::CompressorEngine& e = plugin.engine();
        for (float field : {e.inputGain(), e.threshold(), e.kneeStart(), e.ratio(), e.attackSamples(),
                            e.releaseSamples(), e.outputGain()})
            EXPECT_TRUE(std::isfinite(field)) << "after " << value;
        EXPECT_GE(e.ratio(), 1.0f);
        EXPECT_GE(e.attackSamples(), 1.0f);
        EXPECT_GE(e.releaseSamples(), 1.0f);

        float left[512];
        float right[512];
        for (int i = 0; i < 512; ++i) left[i] = right[i] = (i % 7 - 3) * 0.3f;
        plugin.process(left, right, left, right, 512);
        for (int i = 0; i < 512; ++i) ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i])) << value;
    }
}

// Hosts may send values outside 0 to 1: they read back as sent, and the engine takes them at
// the end of the knob's range.
TEST(Parameters, ValuesOutsideTheRangeReachTheEngineAtItsEnds) {
    TestHost host;
    Instance plugin;
    const tarn::CompressorEngine& e = plugin.engine();
    plugin.set(0, static_cast<float>((-800.0 + 24.0) / 48.0));
    plugin.set(1, 1.5f);
    plugin.set(2, -1.0f);
    plugin.set(3, 7.0f);
    plugin.set(4, -2.0f);
    plugin.set(5, 1e30f);
    plugin.set(6, 2.0f);
    EXPECT_FLOAT_EQ(e.inputGain(), amplitude(-24.0));
    EXPECT_EQ(e.threshold(), 1.0f);
    EXPECT_FLOAT_EQ(e.kneeStart(), amplitude(-96.0));
    EXPECT_EQ(e.ratio(), 20.0f);
    EXPECT_FLOAT_EQ(e.attackSamples(), 44.1f);
    EXPECT_FLOAT_EQ(e.releaseSamples(), 2000.0f * 44.1f);
    EXPECT_FLOAT_EQ(e.outputGain(), amplitude(24.0));
    EXPECT_EQ(plugin.get(1), 1.5f);
    EXPECT_EQ(plugin.get(5), 1e30f);
}
