#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/vst2/Sound.h"

// How the gain moves in time: attacks and releases take their durations, a second attack sounds
// like the first, the gain never jumps up, and a gain held at the start of an attack lets go.
using namespace sound;

namespace {

// The gain each frame applied: the square waves make output / input exact.
std::vector<double> gains(const Stereo& in, const Stereo& out) {
    std::vector<double> g;
    for (int i = 0; i < in.frames(); ++i) g.push_back(out.left[i] / in.left[i]);
    return g;
}

// Threshold -30 dB, hard knee.
void compress(Instance& plugin, double ratio, double attackMs, double releaseMs) {
    plugin.set(1, thresholdAt(-30.0));
    plugin.set(3, ratioOf(ratio));
    plugin.set(4, attackOf(attackMs));
    plugin.set(5, releaseOf(releaseMs));
}

} // namespace

TEST(Envelope, ReleaseTakesItsTime) {
    TestHost host;
    Instance plugin;
    compress(plugin, 10.0, 5.0, 500.0);
    const Stereo in = then(square(-6.0, ms(300)), square(-40.0, ms(1500)));
    const std::vector<double> g = gains(in, render(plugin, in));
    const int drop = ms(300);
    EXPECT_NEAR(g[drop - 1], settledGain(-6.0, -30.0, 10.0), 1e-3);
    EXPECT_LT(g[drop + ms(100)], 0.3) << "a 500 ms release has hardly begun after 100 ms";
    EXPECT_GT(g[drop + ms(400)], 0.3) << "and is well under way after 400 ms";
    EXPECT_GT(g[drop + ms(700)], 0.99) << "and done after 700 ms";
}

TEST(Envelope, ASecondAttackSoundsLikeTheFirst) {
    TestHost host;
    Instance plugin;
    compress(plugin, 10.0, 100.0, 50.0);
    const Stereo quiet = square(-40.0, ms(500));
    const Stereo burst = square(-6.0, ms(400));
    const Stereo in = then(then(quiet, burst), then(quiet, burst));
    const std::vector<double> g = gains(in, render(plugin, in));
    const int first = ms(500);
    const int second = ms(1400);
    EXPECT_GT(g[first + ms(20)], 0.9) << "a 100 ms attack has hardly begun after 20 ms";
    for (int i = 0; i < ms(400); ++i) ASSERT_NEAR(g[second + i], g[first + i], 0.01) << "frame " << i << " of the burst";
}

TEST(Envelope, TheGainNeverJumpsUp) {
    TestHost host;
    // Loud, a short quiet in which the release gets partway, loud again: the new attack starts
    // from the gain the release reached instead of snapping back towards 1 (a click).
    for (double releaseMs : {100.0, 300.0, 1000.0}) {
        Instance plugin;
        compress(plugin, 10.0, 50.0, releaseMs);
        const Stereo in = then(then(square(-6.0, ms(400)), square(-40.0, ms(150))),
                               then(square(-6.0, ms(300)), square(-40.0, ms(1000))));
        const std::vector<double> g = gains(in, render(plugin, in));
        for (std::size_t i = 1; i < g.size(); ++i)
            ASSERT_LT(g[i] - g[i - 1], 0.005) << "frame " << i << ", release " << releaseMs << " ms";
    }
}

TEST(Envelope, AGainHeldAtTheStartOfAnAttackLetsGoWhenTheLevelChanges) {
    TestHost host;
    Instance plugin;
    compress(plugin, 2.0, 50.0, 1000.0);
    // Full compression at 0 dB; a quiet moment, in which the gain rises until the output falls
    // under the threshold and then the slow release barely moves it; 0 dB again, so the attack
    // starts by holding the gain the release left, until its curve falls below it; then the
    // level falls to 3 dB over the threshold, whose target gain lies above the one held, and
    // the output stays over the threshold, so the attack phase goes on.
    const Stereo in = then(then(square(0.0, ms(600)), square(-40.0, ms(400))),
                           then(square(0.0, ms(300)), square(-27.0, ms(1500))));
    const std::vector<double> g = gains(in, render(plugin, in));
    const int fall = ms(1300);
    EXPECT_NEAR(g[fall - 1], settledGain(0.0, -30.0, 2.0), 1e-3);
    EXPECT_NEAR(g.back(), settledGain(-27.0, -30.0, 2.0), 1e-3) << "the gain settles for the new level";
}
