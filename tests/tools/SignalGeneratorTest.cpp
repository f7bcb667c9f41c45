#include <gtest/gtest.h>

#include <cmath>

#include "tools/vsthost/SignalGenerator.h"

namespace tarn {
namespace {

TEST(SignalGenerator, BurstsAreTheNoiseOnForOneAndAHalfSecondsOfEveryTwo) {
    Signal signal = Signal::Noise;
    ASSERT_TRUE(parseSignal("bursts", signal));
    ASSERT_EQ(signal, Signal::Bursts);
    const std::vector<double> noise = generateSignal(Signal::Noise, 0.5, 1000.0, 1000.0, 1, 4000);
    const std::vector<double> bursts = generateSignal(Signal::Bursts, 0.5, 1000.0, 1000.0, 1, 4000);
    for (std::size_t i = 0; i < bursts.size(); ++i) {
        const bool on = i % 2000 < 1500;
        ASSERT_EQ(bursts[i], on ? noise[i] : 0.0) << "at frame " << i;
    }
}

} // namespace
} // namespace tarn
