#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/CompressorEngine.h"
#include "dsp/EngineMapping.h"
#include "dsp/ParameterTable.h"

namespace {

using tarn::CompressorEngine;

// The engine fields as the VST plug-in computed them before the table existed, written out
// formula by formula: the table must give the same bits.
struct Fields {
    float inputGain, threshold, kneeStart, ratio, attack, release, outputGain;
};

float amplitude(double db) { return static_cast<float>(std::pow(10.0, db / 20.0)); }

Fields formerMapping(float t, float k, float ratio, float attack, float release, float in, float out, float perMs) {
    const float thresholdDb = t * 96.0f - 96.0f;
    return {amplitude(in * 48.0f - 24.0f),
            amplitude(thresholdDb),
            amplitude(static_cast<double>(k * 96.0f - 96.0f) + static_cast<double>(thresholdDb)),
            ratio * 19.0f + 1.0f,
            (attack * 149.0f + 1.0f) * perMs,
            (release * 1999.0f + 1.0f) * perMs,
            amplitude(out * 48.0f - 24.0f)};
}

Fields fieldsOf(const CompressorEngine& e) {
    return {e.inputGain(), e.threshold(), e.kneeStart(), e.ratio(), e.attackSamples(), e.releaseSamples(), e.outputGain()};
}

} // namespace

TEST(ParameterTable, MapsEveryValueAsTheFormerFormulasDid) {
    const float values[] = {0.0f, 0.1495f, 0.32666659f, 0.5f, 0.6875f, 0.9f, 0.999f, 1.0f, 0.123456f, 0.77777f};
    for (const float a : values) {
        for (const float b : values) {
            CompressorEngine e;
            e.init();
            // Each parameter gets a different value of the pair, so that no two share a formula's input.
            const float v[7] = {a, b, a, b, a, b, a};
            for (int i = 0; i < 7; ++i) tarn::applyParameter(e, i, v[i]);
            const Fields want = formerMapping(v[1], v[2], v[3], v[4], v[5], v[0], v[6], e.samplesPerMs);
            const Fields got = fieldsOf(e);
            EXPECT_EQ(got.inputGain, want.inputGain) << a << " " << b;
            EXPECT_EQ(got.threshold, want.threshold) << a << " " << b;
            EXPECT_EQ(got.kneeStart, want.kneeStart) << a << " " << b;
            EXPECT_EQ(got.ratio, want.ratio) << a << " " << b;
            EXPECT_EQ(got.attack, want.attack) << a << " " << b;
            EXPECT_EQ(got.release, want.release) << a << " " << b;
            EXPECT_EQ(got.outputGain, want.outputGain) << a << " " << b;
        }
    }
}

TEST(ParameterTable, DefaultsAndRangesInNaturalUnits) {
    const float natural[7] = {0.0f, 0.0f, 0.0f, 1.0f, 49.6733208f, 299.850495f, 0.0f};
    for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(tarn::toNatural(i, tarn::defaultValue(i)), natural[i]) << i;
    EXPECT_EQ(tarn::defaultValue(7), 0.0f);
    EXPECT_EQ(tarn::defaultValue(8), 0.0f);
    EXPECT_EQ(tarn::defaultValue(-1), 0.0f);
    EXPECT_EQ(tarn::toNatural(2, 1.0f), 0.0f);
    EXPECT_EQ(tarn::toNatural(5, 1.0f), 2000.0f);
}

TEST(ParameterTable, NaturalValuesComeBackExactly) {
    // A host sets what the description offers, the defaults among them: the engine must get
    // exactly the natural value asked for, so both formats sound the same at the same settings.
    for (int i = 0; i < tarn::kNumControls; ++i) {
        for (float v = 0.0f; v <= 1.0f; v += 0.0137f) {
            const float natural = tarn::toNatural(i, v);
            EXPECT_EQ(tarn::toNatural(i, tarn::toNormalised(i, natural)), natural) << i << " " << v;
        }
        const float natural = tarn::toNatural(i, tarn::defaultValue(i));
        EXPECT_EQ(tarn::toNatural(i, tarn::toNormalised(i, natural)), natural) << i;
    }
    // Whole milliseconds whose quotient misses them by one step.
    EXPECT_EQ(tarn::toNatural(4, tarn::toNormalised(4, 4.0f)), 4.0f);
    EXPECT_EQ(tarn::toNatural(5, tarn::toNormalised(5, 128.0f)), 128.0f);
    EXPECT_EQ(tarn::toNormalised(1, -30.0f), 0.6875f);
    EXPECT_EQ(tarn::toNormalised(2, 0.0f), 1.0f);
    EXPECT_TRUE(std::isnan(tarn::toNormalised(3, std::numeric_limits<float>::quiet_NaN())));
}

// Turning one knob moves its own setting and no other (the threshold moves the knee's start
// with it, which is its depth below the threshold); a value that is not a number moves none.
TEST(ParameterTable, EachParameterMovesOnlyItsOwnSetting) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int moved = 0; moved < 7; ++moved)
        for (const float value : {0.25f, nan}) {
            CompressorEngine e;
            e.init();
            for (int i = 0; i < 7; ++i) tarn::applyParameter(e, i, 0.6f);
            const Fields before = fieldsOf(e);
            tarn::applyParameter(e, moved, value);
            const Fields after = fieldsOf(e);
            const bool changed[7] = {after.inputGain != before.inputGain, after.threshold != before.threshold,
                                     after.kneeStart != before.kneeStart, after.ratio != before.ratio,
                                     after.attack != before.attack,       after.release != before.release,
                                     after.outputGain != before.outputGain};
            for (int field = 0; field < 7; ++field) {
                const bool mayChange = !std::isnan(value) && (field == moved || (moved == 1 && field == 2));
                EXPECT_EQ(changed[field], mayChange) << "parameter " << moved << " at " << value << ", field " << field;
            }
        }
}
