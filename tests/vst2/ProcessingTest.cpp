#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "tests/vst2/TestHost.h"

namespace {

// Compression that is clearly at work: threshold -30 dB, ratio 4, soft knee, fast attack.
void compressHard(Instance& plugin) {
    plugin.set(0, 0.6f);
    plugin.set(1, 66.0f / 96.0f);
    plugin.set(2, 0.9f);
    plugin.set(3, 3.0f / 19.0f);
    plugin.set(4, 0.05f);
    plugin.set(5, 0.02f);
}

std::vector<float> noise(int frames, unsigned variant) {
    std::mt19937 random(variant);
    std::uniform_real_distribution<float> value(-0.8f, 0.8f);
    std::vector<float> samples(frames);
    for (float& s : samples) s = value(random) * (1.0f + std::sin(0.001f * static_cast<float>(&s - samples.data())));
    return samples;
}

// Renders a stereo signal through a fresh, hard-compressing instance in blocks of `block`.
template <typename Sample>
void render(const std::vector<float>& l, const std::vector<float>& r, int block, bool inPlace, std::vector<Sample>& outL,
            std::vector<Sample>& outR) {
    Instance plugin;
    compressHard(plugin);
    std::vector<Sample> inL(l.begin(), l.end());
    std::vector<Sample> inR(r.begin(), r.end());
    outL.assign(l.size(), Sample(-7));
    outR.assign(r.size(), Sample(-7));
    const int frames = static_cast<int>(l.size());
    for (int start = 0; start < frames; start += block) {
        const int n = std::min(block, frames - start);
        if (inPlace) {
            plugin.process(&inL[start], &inR[start], &inL[start], &inR[start], n);
        } else {
            plugin.process(&inL[start], &inR[start], &outL[start], &outR[start], n);
        }
    }
    if (inPlace) {
        outL = inL;
        outR = inR;
    }
}

} // namespace

TEST(Processing, InPlaceBlockSizeAndPrecisionDoNotChangeTheSound) {
    TestHost host;
    const auto l = noise(20000, 1);
    const auto r = noise(20000, 2);
    std::vector<float> referenceL;
    std::vector<float> referenceR;
    render(l, r, 512, false, referenceL, referenceR);
    double reduction = 0.0;
    for (std::size_t i = 10000; i < l.size(); ++i) reduction = std::max(reduction, std::fabs(double(l[i]) - referenceL[i]));
    EXPECT_GT(reduction, 0.1) << "the settings compress";

    for (int block : {1, 255, 256, 257, 4096}) {
        for (bool inPlace : {false, true}) {
            std::vector<float> outL;
            std::vector<float> outR;
            render(l, r, block, inPlace, outL, outR);
            EXPECT_EQ(outL, referenceL) << "block " << block << (inPlace ? " in place" : "");
            EXPECT_EQ(outR, referenceR) << "block " << block << (inPlace ? " in place" : "");
        }
    }
    // The 32-bit path is the 64-bit path rounded to float.
    std::vector<double> wideL;
    std::vector<double> wideR;
    render(l, r, 333, true, wideL, wideR);
    for (std::size_t i = 0; i < l.size(); ++i) {
        ASSERT_EQ(static_cast<float>(wideL[i]), referenceL[i]) << i;
        ASSERT_EQ(static_cast<float>(wideR[i]), referenceR[i]) << i;
    }
}

TEST(Processing, CrossedChannelBuffersWork) {
    TestHost host;
    const auto l = noise(1000, 3);
    const auto r = noise(1000, 4);
    std::vector<float> referenceL;
    std::vector<float> referenceR;
    render(l, r, 1000, false, referenceL, referenceR);
    Instance plugin;
    compressHard(plugin);
    std::vector<float> a(l);
    std::vector<float> b(r);
    plugin.process(a.data(), b.data(), b.data(), a.data(), 1000);
    EXPECT_EQ(b, referenceL);
    EXPECT_EQ(a, referenceR);
}

TEST(Processing, SettlesAtTheWorkedValueThroughTheParameters) {
    TestHost host;
    Instance plugin;
    plugin.set(1, 76.0f / 96.0f); // -20 dB
    plugin.set(3, 3.0f / 19.0f);  // 4:1
    std::vector<double> l;
    std::vector<double> r;
    for (int i = 0; i < 3; ++i) {
        l.assign(44100, 0.5);
        r.assign(44100, 0.5);
        plugin.process(l.data(), r.data(), l.data(), r.data(), 44100);
    }
    EXPECT_NEAR(l.back(), 0.2020079, 1e-6);
    EXPECT_NEAR(r.back(), 0.2020079, 1e-6);
}

TEST(Processing, ZeroFrameBlocksOnlySetThePrecision) {
    TestHost host;
    Instance plugin;
    double d = 0.25;
    plugin.process(&d, &d, &d, &d, 0);
    EXPECT_TRUE(plugin.engine().io64Bit);
    EXPECT_EQ(plugin.engine().historyTick, 0);
    float f = 0.25f;
    plugin.process(&f, &f, &f, &f, 0);
    EXPECT_FALSE(plugin.engine().io64Bit);
    EXPECT_EQ(plugin.engine().meanSquareInL, 0.0);
    EXPECT_EQ(f, 0.25f);
}

TEST(Processing, MalformedBlocksDoNothing) {
    TestHost host;
    Instance plugin;
    float l[4] = {1, 1, 1, 1};
    float r[4] = {1, 1, 1, 1};
    float* good[2] = {l, r};
    float* halfNull[2] = {l, nullptr};
    AEffect* e = plugin.effect;
    e->processReplacing(e, good, good, -5);
    e->processReplacing(e, nullptr, good, 4);
    e->processReplacing(e, good, nullptr, 4);
    e->processReplacing(e, halfNull, good, 4);
    e->processReplacing(e, good, halfNull, 4);
    e->processDoubleReplacing(e, nullptr, nullptr, 4);
    e->process(e, good, good, 4);
    EXPECT_EQ(plugin.engine().historyTick, 0);
    EXPECT_EQ(plugin.engine().meanSquareInL, 0.0);
    EXPECT_FALSE(plugin.engine().io64Bit);
    for (float s : l) EXPECT_EQ(s, 1.0f);
}

TEST(Processing, NonFiniteAndHugeInputsGiveFiniteOutput) {
    TestHost host;
    Instance plugin;
    compressHard(plugin);
    plugin.set(6, 1.0f); // +24 dB out
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> l = noise(3000, 5);
    std::vector<float> r = noise(3000, 6);
    l[100] = nan;
    r[100] = 0.5f;
    l[200] = inf;
    r[201] = -inf;
    l[300] = FLT_MAX;
    r[300] = -FLT_MAX;
    plugin.process(l.data(), r.data(), l.data(), r.data(), 3000);
    EXPECT_EQ(l[100], 0.0f) << "a NaN frame is taken as silence";
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << i;

    std::vector<double> dl(3000, 1e300);
    std::vector<double> dr(3000, -std::numeric_limits<double>::infinity());
    dl[5] = std::numeric_limits<double>::quiet_NaN();
    plugin.process(dl.data(), dr.data(), dl.data(), dr.data(), 3000);
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(std::isfinite(dl[i]) && std::isfinite(dr[i])) << i;
    const tarn::CompressorEngine& e = plugin.engine();
    for (double state : {e.meanSquareInL, e.meanSquareInR, e.meanSquareOutL, e.meanSquareOutR, e.outputLevel(), e.targetGain, e.heldGain})
        EXPECT_TRUE(std::isfinite(state));
}

TEST(Processing, TinyInputsAndGainsNeverGiveDenormals) {
    TestHost host;
    Instance plugin;
    compressHard(plugin);
    plugin.set(0, 0.0f); // -24 dB in
    plugin.set(6, 0.0f); // -24 dB out
    std::vector<float> l(4096);
    std::vector<float> r(4096);
    for (std::size_t i = 0; i < l.size(); ++i) {
        l[i] = (i % 3 ? 1.0f : -1.0f) * FLT_MIN * static_cast<float>(1 + i % 5);
        r[i] = i % 2 ? 1e-40f : 0.5f; // denormal input on one channel, now and then a real one
    }
    plugin.process(l.data(), r.data(), l.data(), r.data(), 4096);
    for (std::size_t i = 0; i < l.size(); ++i) {
        ASSERT_NE(std::fpclassify(l[i]), FP_SUBNORMAL) << i;
        ASSERT_NE(std::fpclassify(r[i]), FP_SUBNORMAL) << i;
    }

    std::vector<double> dl(4096, 1e-310);
    std::vector<double> dr(4096, -1e-99);
    plugin.process(dl.data(), dr.data(), dl.data(), dr.data(), 4096);
    for (std::size_t i = 0; i < dl.size(); ++i) {
        ASSERT_EQ(dl[i], 0.0) << "a denormal input is taken as silence";
        ASSERT_NE(std::fpclassify(dr[i]), FP_SUBNORMAL) << i;
    }
    const tarn::CompressorEngine& e = plugin.engine();
    for (double state : {e.meanSquareInL, e.meanSquareInR, e.meanSquareOutL, e.meanSquareOutR, e.targetGain, e.heldGain})
        EXPECT_NE(std::fpclassify(state), FP_SUBNORMAL);
}

// Two inputs that the plug-in must take alike render alike, sample for sample: beyond 1e30 a
// sample is taken as 1e30, and non-finite samples and those below -2000 dB as silence.
TEST(Processing, SamplesBeyondTheLimitAreTakenAtItAndNonFiniteOrTinyOnesAsSilence) {
    TestHost host;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, double> alike[] = {{1e300, 1e30}, {-1e300, -1e30}, {DBL_MAX, 1e30}, {-DBL_MAX, -1e30},
                                               {inf, 0.0},    {-inf, 0.0},     {nan, 0.0},     {1e-310, 0.0},
                                               {-1e-310, 0.0}, {1e-101, 0.0},  {-1e-101, 0.0}};
    const std::vector<float> base = noise(4000, 9);
    std::vector<double> wildL(base.begin(), base.end());
    std::vector<double> wildR = wildL;
    std::vector<double> tameL = wildL;
    std::vector<double> tameR = wildL;
    for (std::size_t i = 0; i < std::size(alike); ++i) {
        wildL[300 + 300 * i] = wildR[450 + 300 * i] = alike[i].first;
        tameL[300 + 300 * i] = tameR[450 + 300 * i] = alike[i].second;
    }
    auto renderDouble = [](std::vector<double> l, std::vector<double> r) {
        Instance plugin;
        compressHard(plugin);
        plugin.process(l.data(), r.data(), l.data(), r.data(), static_cast<int>(l.size()));
        l.insert(l.end(), r.begin(), r.end());
        return l;
    };
    EXPECT_EQ(renderDouble(wildL, wildR), renderDouble(tameL, tameR));

    // In 32 bits: infinities, NaN and denormals.
    const float floatWild[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(), 1e-40f, -1e-40f};
    std::vector<float> wild32 = base;
    std::vector<float> tame32 = base;
    for (std::size_t i = 0; i < std::size(floatWild); ++i) {
        wild32[300 + 300 * i] = floatWild[i];
        tame32[300 + 300 * i] = 0.0f;
    }
    std::vector<float> wildOutL, wildOutR, tameOutL, tameOutR;
    render(wild32, wild32, 512, false, wildOutL, wildOutR);
    render(tame32, tame32, 512, false, tameOutL, tameOutR);
    EXPECT_EQ(wildOutL, tameOutL);
    EXPECT_EQ(wildOutR, tameOutR);
}

// At unity gain a sample passes unchanged when it lies exactly on a bound of the conversions
// (the input floor, the smallest normal float), and the loudest 32-bit output, the input limit
// at +24 dB, is not cut.
TEST(Processing, SamplesOnTheConversionBoundsPassUnchanged) {
    TestHost host;
    Instance plugin;
    // Each block also holds a sample out of range (not a number, a denormal), which sends it the
    // long way round; the bounds hold there too.
    double dl[] = {1e-100, 0.25, std::nan("")};
    double dr[] = {-1e-100, -0.25, 0.0};
    plugin.process(dl, dr, dl, dr, 3);
    EXPECT_EQ(dl[0], 1e-100);
    EXPECT_EQ(dr[0], -1e-100);
    EXPECT_EQ(dl[2], 0.0);

    float l[] = {FLT_MIN, 0.25f, 1e-40f, 1e-35f};
    float r[] = {-FLT_MIN, -0.25f, 0.0f, -1e-35f};
    plugin.process(l, r, l, r, 4);
    EXPECT_EQ(l[0], FLT_MIN);
    EXPECT_EQ(r[0], -FLT_MIN);
    EXPECT_EQ(l[2], 0.0f) << "no denormal output";
    EXPECT_EQ(l[3], 1e-35f);
    EXPECT_EQ(r[3], -1e-35f);
    plugin.set(6, 1.0f); // +24 dB out
    float loudL[] = {FLT_MAX};
    float loudR[] = {-FLT_MAX};
    plugin.process(loudL, loudR, loudL, loudR, 1);
    const float loudest = static_cast<float>(static_cast<double>(plugin.engine().outputGain()) * 1e30);
    EXPECT_EQ(loudL[0], loudest);
    EXPECT_EQ(loudR[0], -loudest);
}
