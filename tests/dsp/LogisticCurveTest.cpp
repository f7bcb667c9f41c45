#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "dsp/LogisticCurve.h"

using tarn::LogisticCurve;

namespace {

// The curve straight from its formula, in double precision throughout.
double direct(float count, float duration) { return 1.0 / (1.0 + std::exp(5.0 - 10.0 * static_cast<double>(count) / duration)); }

// The same with the quotient rounded to single precision, as the engine formed it before the
// exponential was carried.
double directSingleQuotient(float count, float duration) {
    return 1.0 / (1.0 + std::exp(5.0 - 10.0 * static_cast<double>(count / duration)));
}

double at(LogisticCurve& curve, float count, float duration) {
    return curve.at(count, duration, LogisticCurve::stepFor(duration));
}

// Largest relative difference from the direct formula over a phase of `frames` frames, counted
// as the engine counts: up by one per frame, capped at the duration.
double largestDifference(LogisticCurve& curve, float& count, float duration, long frames) {
    double largest = 0.0;
    for (long i = 0; i < frames; ++i) {
        count = std::min(count + 1.0f, duration);
        const double expected = count == duration ? LogisticCurve::end() : direct(count, duration);
        largest = std::max(largest, std::fabs(at(curve, count, duration) - expected) / expected);
    }
    return largest;
}

} // namespace

TEST(LogisticCurve, WholeLongestReleaseAt192kHzStaysOnTheFormula) {
    LogisticCurve curve;
    const float duration = 2000.0f * 192.0f;
    float count = 0.0f;
    EXPECT_LT(largestDifference(curve, count, duration, 384000 + 1000), 1e-9);
    EXPECT_EQ(at(curve, duration, duration), LogisticCurve::end());

    // Against the old single-precision quotient the difference is that quotient's rounding.
    LogisticCurve again;
    double largest = 0.0;
    for (float c = 1.0f; c < duration; c += 1.0f)
        largest = std::max(largest, std::fabs(at(again, c, duration) / directSingleQuotient(c, duration) - 1.0));
    EXPECT_LT(largest, 1e-6);
}

TEST(LogisticCurve, FractionalDurationsEndOnTheSettledValue) {
    LogisticCurve curve;
    float count = 0.0f;
    EXPECT_LT(largestDifference(curve, count, 13223.407f, 20000), 1e-9);
    EXPECT_EQ(count, 13223.407f);
    EXPECT_NEAR(LogisticCurve::end(), 0.9933071, 1e-7);
    EXPECT_NEAR(at(curve, 0.0f, 100.0f), 0.0066929, 1e-7);
    EXPECT_NEAR(at(curve, 50.0f, 100.0f), 0.5, 1e-15);
}

TEST(LogisticCurve, AttackReleaseSwitchesMidCurveStartEachPhaseAfresh) {
    // Phases of random lengths, some ending before their curve completes, some after.
    LogisticCurve curve;
    std::mt19937 random(7);
    std::uniform_int_distribution<long> length(1, 30000);
    const float attack = 2190.5935f;
    const float release = 13223.407f;
    double largest = 0.0;
    for (int phase = 0; phase < 60; ++phase) {
        float count = 0.0f;
        largest = std::max(largest, largestDifference(curve, count, phase % 2 ? attack : release, length(random)));
    }
    EXPECT_LT(largest, 1e-9);
}

TEST(LogisticCurve, DurationChangesMidCurveFollowTheNewDuration) {
    LogisticCurve curve;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> durations(48.0f, 96000.0f);
    std::uniform_int_distribution<long> length(1, 5000);
    float count = 0.0f;
    float duration = 96000.0f;
    double largest = 0.0;
    for (int change = 0; change < 200; ++change) {
        largest = std::max(largest, largestDifference(curve, count, duration, length(random)));
        duration = durations(random);
        // A shorter duration than the count so far ends the curve, as the engine's cap does.
        count = std::min(count, duration);
    }
    EXPECT_LT(largest, 1e-9);
}

TEST(LogisticCurve, CountThatStopsGrowingKeepsItsValue) {
    // Past 2^24 a float count plus one is the count again: the curve must not move on.
    LogisticCurve curve;
    const float duration = 3.0e7f;
    const float stuck = 16777216.0f;
    at(curve, stuck - 1.0f, duration);
    for (int i = 0; i < 1000; ++i) EXPECT_DOUBLE_EQ(at(curve, stuck, duration), direct(stuck, duration));
}
