#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "tests/plugin/TestHost.h"

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
    EXPECT_EQ(e.inputGain, 1.0f);
    EXPECT_EQ(e.threshold, 1.0f);
    EXPECT_EQ(e.kneeStart, 1.0f);
    EXPECT_EQ(e.ratio, 1.0f);
    EXPECT_FLOAT_EQ(e.attackSamples, 2190.5935f);
    EXPECT_FLOAT_EQ(e.releaseSamples, 13223.407f);
    EXPECT_EQ(e.outputGain, 1.0f);
}

TEST(Parameters, MappingIntoTheEngine) {
    TestHost host;
    Instance plugin;
    const tarn::CompressorEngine& e = plugin.engine();
    plugin.set(0, 0.0f);
    EXPECT_FLOAT_EQ(e.inputGain, amplitude(-24.0));
    plugin.set(6, 1.0f);
    EXPECT_FLOAT_EQ(e.outputGain, amplitude(24.0));
    plugin.set(3, 1.0f);
    EXPECT_EQ(e.ratio, 20.0f);

    // The threshold moves the knee start with it; the knee moves only the knee start.
    plugin.set(1, 0.75f);
    EXPECT_FLOAT_EQ(e.threshold, amplitude(-24.0));
    EXPECT_EQ(e.kneeStart.load(), e.threshold.load());
    plugin.set(2, 0.5f);
    EXPECT_FLOAT_EQ(e.threshold, amplitude(-24.0));
    EXPECT_FLOAT_EQ(e.kneeStart, amplitude(-72.0));
    plugin.set(1, 1.0f);
    EXPECT_EQ(e.threshold, 1.0f);
    EXPECT_FLOAT_EQ(e.kneeStart, amplitude(-48.0));

    plugin.set(4, 1.0f);
    EXPECT_FLOAT_EQ(e.attackSamples, 150.0f * 44.1f);
    plugin.set(5, 0.0f);
    EXPECT_FLOAT_EQ(e.releaseSamples, 44.1f);

    // Parameters 7 and 8 are only stored.
    plugin.set(7, 0.3f);
    plugin.set(8, 0.9f);
    EXPECT_EQ(plugin.get(7), 0.3f);
    EXPECT_EQ(plugin.get(8), 0.9f);
}

TEST(Parameters, DurationsTakeTheSampleRateOfTheMomentTheyAreSet) {
    TestHost host;
    Instance plugin;
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    float left[1] = {0.0f};
    float right[1] = {0.0f};
    plugin.process(left, right, left, right, 1);
    EXPECT_FLOAT_EQ(plugin.engine().releaseSamples, 13223.407f);
    plugin.set(4, plugin.get(4));
    EXPECT_FLOAT_EQ(plugin.engine().attackSamples, (0.32666659f * 149.0f + 1.0f) * 48.0f);
    EXPECT_FLOAT_EQ(plugin.engine().releaseSamples, 13223.407f);
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
        for (float field : {e.inputGain.load(), e.threshold.load(), e.kneeStart.load(), e.ratio.load(),
                            e.attackSamples.load(), e.releaseSamples.load(), e.outputGain.load()})
            EXPECT_TRUE(std::isfinite(field)) << "after " << value;
        EXPECT_GE(e.ratio, 1.0f);
        EXPECT_GE(e.attackSamples, 1.0f);
        EXPECT_GE(e.releaseSamples, 1.0f);

        float left[512];
        float right[512];
        for (int i = 0; i < 512; ++i) left[i] = right[i] = (i % 7 - 3) * 0.3f;
        plugin.process(left, right, left, right, 512);
        for (int i = 0; i < 512; ++i) ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i])) << value;
    }
}

// The engine's fields hold no denormal floats: a mapping that falls below float's normal range
// is stored as 0, and one just above it as it is.
TEST(Parameters, GainsBelowFloatsNormalRangeAreStoredAsZero) {
    TestHost host;
    Instance plugin;
    const tarn::CompressorEngine& e = plugin.engine();
    plugin.set(0, static_cast<float>((-800.0 + 24.0) / 48.0)); // -800 dB: a denormal float
    EXPECT_EQ(e.inputGain, 0.0f);
    plugin.set(6, static_cast<float>((-650.0 + 24.0) / 48.0)); // -650 dB: a small normal float
    EXPECT_FLOAT_EQ(e.outputGain, amplitude(-650.0));
    EXPECT_GE(e.outputGain, FLT_MIN);
}
