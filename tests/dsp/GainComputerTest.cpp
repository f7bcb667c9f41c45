#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "dsp/GainComputer.h"

using tarn::GainComputer;

// Comparing a mean square with the bound decides exactly as comparing its root with the
// decision level (the knee start when the knee is active, else the threshold).
TEST(GainComputer, OverBoundDecidesAsTheRootWould) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> db(-200.0f, 0.0f);
    constexpr double kUp = std::numeric_limits<double>::infinity();
    GainComputer computer;
    for (int i = 0; i < 20000; ++i) {
        const float threshold = std::pow(10.0f, db(random) / 20.0f);
        const float kneeStart = i % 2 ? threshold : threshold * 0.5f;
        computer.set(threshold, kneeStart, 4.0f);
        const double level = GainComputer::kneeActive(threshold, kneeStart) ? kneeStart : threshold;
        const double bound = computer.overBound();
        ASSERT_LE(std::sqrt(bound), level) << i;
        ASSERT_GT(std::sqrt(std::nextafter(bound, kUp)), level) << i;
    }
    computer.set(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(computer.overBound(), 0.0);
}
