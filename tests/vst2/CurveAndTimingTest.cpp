#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/vst2/Sound.h"

// Where steady levels settle, and how long the gain takes to move: the static curve rises with
// the input without a jump at the knee's ends and lands on the compressor's documented curve;
// attack and release reach half-way in half their time at every sample rate.
using namespace sound;

namespace {

struct Settings {
    double inputDb, thresholdDb, kneeDb, ratio, attackMs, outputDb;
};

void apply(Instance& plugin, const Settings& s, double releaseMs = 50.0) {
    plugin.set(0, gainAt(s.inputDb));
    plugin.set(1, thresholdAt(s.thresholdDb));
    plugin.set(2, kneeDepth(-s.kneeDb));
    plugin.set(3, ratioOf(s.ratio));
    plugin.set(4, attackOf(s.attackMs));
    plugin.set(5, releaseOf(releaseMs));
    plugin.set(6, gainAt(s.outputDb));
}

// The documented static curve: the output level for a steady level x (after the input gain),
// with the knee's start B and the threshold A as amplitudes. A hard knee divides the excess
// over A by the ratio; a soft knee bends from slope 1 at B to the slope that takes full scale
// where a hard knee at the knee's end would. A completed attack stops short of the curve by the
// end of its S curve.
double settledLevel(double x, const Settings& s) {
    const double a = amplitude(s.thresholdDb);
    const double b = amplitude(s.thresholdDb + s.kneeDb);
    const bool soft = static_cast<float>(a) - static_cast<float>(b) >= 0.0001f;
    const double start = soft ? b : a;
    if (x <= start) return x;
    double curve;
    if (!soft) {
        curve = a + (x - a) / s.ratio;
    } else {
        const double end = std::min(2.0 * a - b, 1.0);
        const double slope = (1.0 - b) / ((1.0 - end) / s.ratio + end - b);
        const double t = std::min((x - b) / (end - b), 1.0);
        curve = b + (x - b) / (1.0 + t * (slope - 1.0));
    }
    const double u = curve / x;
    return x * (u + (1.0 - kCurveEnd) * (1.0 - u));
}

// The gain of each frame of a square wave: output over input.
double gainAt(const Stereo& in, const Stereo& out, int frame) { return out.left[frame] / in.left[frame]; }

// The time in frames, from `from`, at which the gain first passes half-way from `before` to
// `after`, between frames by straight lines.
double halfWay(const Stereo& in, const Stereo& out, int from, double before, double after) {
    const double half = 0.5 * (before + after);
    double previous = gainAt(in, out, from - 1);
    for (int i = from; i < in.frames(); ++i) {
        const double g = gainAt(in, out, i);
        if ((g - half) * (previous - half) <= 0.0 && g != previous) return i - 1 - from + (half - previous) / (g - previous);
        previous = g;
    }
    return -1.0;
}

// The gain a completed attack or release settles on tells the target gain u it ran towards or
// from: attack and release move the gain between 1 and u along the S curve, which ends
// short of its goal by 1 - kCurveEnd of the way.
double targetOfAttack(double settled) { return (settled - (1.0 - kCurveEnd)) / kCurveEnd; }
double targetOfRelease(double settled) { return (settled - kCurveEnd) / (1.0 - kCurveEnd); }

} // namespace

TEST(StaticCurve, RisesWithTheInputWithoutJumpsAndSettlesOnTheDocumentedCurve) {
    TestHost host;
    std::mt19937 random(2101);
    std::vector<Settings> settings = {{0.0, -30.0, 0.0, 4.0, 10.0, 0.0},   {0.0, -20.0, -12.0, 8.0, 5.0, 6.0},
                                      {6.0, -40.0, -0.1, 20.0, 1.0, -6.0}, {0.0, -6.0, -30.0, 3.0, 20.0, 0.0},
                                      {-12.0, -3.0, -9.0, 2.0, 2.0, 12.0}, {0.0, -24.0, -24.0, 1.0, 10.0, 0.0}};
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 4; ++i)
        settings.push_back({48.0 * unit(random) - 24.0, -96.0 * unit(random), -96.0 * unit(random) * unit(random),
                            1.0 + 19.0 * unit(random), 1.0 + 49.0 * unit(random), 0.0});

    for (const Settings& s : settings) {
        const std::string what = "threshold " + std::to_string(s.thresholdDb) + ", knee " + std::to_string(s.kneeDb) +
                                 ", ratio " + std::to_string(s.ratio) + ", input " + std::to_string(s.inputDb);
        // Levels every half dB, and closely around the knee's start and end, swept upwards.
        std::vector<double> levels;
        for (double db = -96.0; db <= 0.0; db += 0.5) levels.push_back(db);
        const double kneeEndDb = decibels(std::min(2.0 * amplitude(s.thresholdDb) - amplitude(s.thresholdDb + s.kneeDb), 1.0));
        for (double edge : {s.thresholdDb + s.kneeDb, s.thresholdDb, kneeEndDb})
            for (double offset : {-0.05, -0.01, 0.01, 0.05}) levels.push_back(edge + offset - s.inputDb);
        std::sort(levels.begin(), levels.end());
        levels.erase(std::unique(levels.begin(), levels.end(), [](double a, double b) { return b - a < 1e-6; }), levels.end());
        levels.erase(std::remove_if(levels.begin(), levels.end(), [](double db) { return db > 0.0 || db < -96.0; }),
                     levels.end());

        Instance plugin;
        apply(plugin, s);
        const int hold = ms(120.0 + s.attackMs);
        double previousIn = levels.front();
        double previousOut = -1e9;
        for (double db : levels) {
            const Stereo in = square(db, hold);
            const Stereo out = render(plugin, in);
            const double outDb = decibels(std::fabs(out.left.back()));
            const double expected = decibels(settledLevel(amplitude(db + s.inputDb), s)) + s.outputDb;
            ASSERT_NEAR(outDb, expected, 0.05) << what << ", at " << db << " dB";
            ASSERT_GE(outDb, previousOut - 1e-3) << what << ", at " << db << " dB: the output fell as the input rose";
            if (db != levels.front()) {
                ASSERT_LE(outDb - previousOut, db - previousIn + 0.01) << what << ", at " << db << " dB: a jump";
            }
            previousIn = db;
            previousOut = outDb;
        }
    }
}

TEST(StaticCurve, RatioOneToOneLeavesEverySignalUntouched) {
    TestHost host;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (double knee : {0.0, -0.05, -12.0, -96.0})
        for (double threshold : {-60.0, -20.0, -1.0}) {
            Instance plugin;
            apply(plugin, {0.0, threshold, knee, 1.0, 1.0, 0.0}, 1.0);
            Stereo in;
            for (int i = 0; i < ms(300); ++i) {
                const double level = amplitude(i < ms(150) ? -6.0 : -40.0);
                in.left.push_back(level * unit(random));
                in.right.push_back(i % 100 ? level * unit(random) : 0.0);
            }
            const Stereo out = render(plugin, in);
            for (int i = 0; i < in.frames(); ++i) {
                ASSERT_EQ(out.left[i], in.left[i]) << "threshold " << threshold << ", knee " << knee << ", frame " << i;
                ASSERT_EQ(out.right[i], in.right[i]) << "threshold " << threshold << ", knee " << knee << ", frame " << i;
            }
        }
}

// The attack runs from silence into a full-scale square far above a low threshold, so the
// output is over it from the first frame; the release from a level just over the threshold into
// a quiet one, so the output falls under it within a few frames.
TEST(Timing, AttackAndReleaseReachHalfWayInHalfTheirTimeAtEveryRate) {
    TestHost host;
    for (float rate : {8000.0f, 44100.0f, 96000.0f, 192000.0f})
        for (double duration : {20.0, 150.0, 1000.0}) {
            const std::string what = std::to_string(duration) + " ms at " + std::to_string(rate) + " Hz";
            const double expected = 0.5 * duration * rate / 1000.0;
            if (duration <= 150.0) {
                Instance plugin;
                plugin.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
                apply(plugin, {0.0, -60.0, 0.0, 4.0, duration, 0.0});
                const int step = ms(50.0, rate);
                const Stereo in = then(square(-300.0, step), square(0.0, ms(duration + 100.0, rate)));
                const Stereo out = render(plugin, in);
                const double half = halfWay(in, out, step, 1.0, targetOfAttack(gainAt(in, out, in.frames() - 1)));
                EXPECT_NEAR(half, expected, 0.02 * expected) << "attack " << what;
            }
            Instance plugin;
            plugin.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            apply(plugin, {0.0, -20.0, 0.0, 20.0, 1.0, 0.0}, duration);
            const int step = ms(500.0, rate);
            const Stereo in = then(square(-19.8, step), square(-60.0, ms(duration + 200.0, rate)));
            const Stereo out = render(plugin, in);
            const double target = targetOfRelease(gainAt(in, out, in.frames() - 1));
            ASSERT_LT(target, 0.99) << what << ": the release has some way to go";
            const double half = halfWay(in, out, step, target, 1.0);
            EXPECT_NEAR(half, expected, 0.02 * expected) << "release " << what;
        }
}
