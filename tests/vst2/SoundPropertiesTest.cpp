#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/Cycles.h"
#include "tests/SoundOracle.h"
#include "tests/vst2/Sound.h"

// Properties any compressor keeps, checked sample by sample on random settings, rates and
// signals: no output sample is louder than its input through the gain stages, and none has
// the other sign. Knees just short of "OFF" and levels just above the knee start are drawn
// often, since that is where a gain rule can fail.
using namespace sound;

namespace {

struct Case {
    float values[7];
    float rate;
    std::string what;
};

// A level pattern in both channels (the right one a little different), of the given length.
Stereo pattern(std::mt19937& random, int kind, double levelDb, int frames, float rate) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    Stereo s;
    const int dropEvery = 20 + static_cast<int>(random() % 2000);
    const int stepEvery = std::max(1, static_cast<int>(rate * (0.005 + 0.1 * (random() % 100) / 100.0)));
    double db = levelDb;
    for (int i = 0; i < frames; ++i) {
        double l = 0.0;
        switch (kind) {
        // A steady level swept finely upwards, with single dropped samples.
        case 0: l = (i % 2 ? 1.0 : -1.0) * amplitude(levelDb + 0.5 * i / frames) * (i % dropEvery == 0 ? 0.0 : 1.0); break;
        // Steps between random levels.
        case 1:
            if (i % stepEvery == 0) db = levelDb + 30.0 * unit(random);
            l = std::sin(0.05 * i) * amplitude(db);
            break;
        // Bursts with silence between.
        case 2: l = (i / stepEvery) % 2 ? 0.0 : amplitude(levelDb + 6.0) * unit(random); break;
        // A steady level with a sample dropped now and then.
        case 4: l = (i % 2 ? 1.0 : -1.0) * amplitude(levelDb) * (i % 500 == 0 ? 0.0 : 1.0); break;
        // Noise with dropouts.
        default: l = (i % dropEvery < 3 ? 0.0 : amplitude(levelDb) * unit(random)); break;
        }
        s.left.push_back(l);
        s.right.push_back(i % 7 ? 0.7 * l : -l);
    }
    return s;
}

// Processes in random block sizes in either precision; answers the output.
Stereo process(Instance& plugin, const Stereo& in, bool doubles, std::mt19937& random) {
    Stereo out = in;
    for (int start = 0; start < in.frames();) {
        const int n = std::min(1 + static_cast<int>(random() % 1024), in.frames() - start);
        if (doubles) {
            plugin.process(&out.left[start], &out.right[start], &out.left[start], &out.right[start], n);
        } else {
            std::vector<float> l(in.left.begin() + start, in.left.begin() + start + n);
            std::vector<float> r(in.right.begin() + start, in.right.begin() + start + n);
            plugin.process(l.data(), r.data(), l.data(), r.data(), n);
            std::copy(l.begin(), l.end(), out.left.begin() + start);
            std::copy(r.begin(), r.end(), out.right.begin() + start);
        }
        start += n;
    }
    return out;
}

// With `steady`, the level barely moves after the first 100 ms: then neither may the gain, from
// one sounding frame to the next, by more than 0.05 dB (a dropped sample must not click).
void expectGainAndSignKept(const Case& c, int kind, double levelDb, int frames, std::mt19937& random,
                           bool steady = false) {
    const double gains = tarn::oracle::gainOfNormalised(c.values[0]) * tarn::oracle::gainOfNormalised(c.values[6]);
    const Stereo in = pattern(random, kind, levelDb, frames, c.rate);
    for (const bool doubles : {false, true}) {
        TestHost host;
        Instance plugin;
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, c.rate);
        for (int p = 0; p < 7; ++p) plugin.set(p, c.values[p]);
        Stereo sent = in;
        if (!doubles)
            for (int i = 0; i < frames; ++i) {
                sent.left[i] = static_cast<float>(in.left[i]);
                sent.right[i] = static_cast<float>(in.right[i]);
            }
        const Stereo out = process(plugin, sent, doubles, random);
        for (int i = 0; i < frames; ++i) {
            ASSERT_TRUE(tarn::oracle::keepsGainAndSign(sent.left[i], out.left[i], gains) &&
                        tarn::oracle::keepsGainAndSign(sent.right[i], out.right[i], gains))
                << c.what << ", pattern " << kind << " at " << levelDb << " dB, " << (doubles ? "64" : "32")
                << "-bit, frame " << i << ": " << sent.left[i] << " -> " << out.left[i] << ", " << sent.right[i]
                << " -> " << out.right[i];
        }
        double previous = 0.0;
        for (int i = static_cast<int>(c.rate / 10); steady && i < frames; ++i) {
            if (sent.left[i] == 0.0) continue;
            const double gainDb = decibels(out.left[i] / sent.left[i]);
            if (previous != 0.0) {
                ASSERT_NEAR(gainDb, previous, 0.05) << c.what << ", a click at frame " << i;
            }
            previous = gainDb;
        }
    }
}

std::string describe(const float (&v)[7], float rate) {
    std::string s = std::to_string(static_cast<int>(rate)) + " Hz, values";
    for (float x : v) s += " " + std::to_string(x);
    return s;
}

} // namespace

// A knee a hair short of "OFF" at a high ratio, with single samples dropped from a steady level
// just above the knee start: once boosted by up to 50 dB and inverted, and never to click.
TEST(SoundProperties, DroppedSamplesJustAboveANarrowKneeNeitherBoostNorClick) {
    std::mt19937 random(21);
    const float rates[] = {8000.0f, 48000.0f};
    const double kneeDbs[] = {0.05, 0.1, 0.015};
    for (float rate : rates)
        for (double knee : kneeDbs)
            for (double above = 0.0005; above < 0.01; above += 0.0005) {
                const Case c{{0.5f, thresholdAt(-7.7), kneeDepth(knee), ratioOf(16.8), attackOf(7.7), releaseOf(58.0), 0.5f},
                             rate,
                             "knee " + std::to_string(knee) + " dB at " + std::to_string(rate) + ", " +
                                 std::to_string(above) + " dB above its start"};
                expectGainAndSignKept(c, 4, -7.7 - knee + above, static_cast<int>(rate * 0.3), random, true);
            }
}

TEST(SoundProperties, NoSettingRateOrSignalMakesASampleLouderOrInvertsIt) {
    std::mt19937 random(2112);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int cases = tarn::test::cycles(300);
    for (int n = 0; n < cases; ++n) {
        Case c;
        for (float& v : c.values) v = unit(random);
        // Knees: off, within 0.2 dB of off, or anywhere.
        const int kneeKind = static_cast<int>(random() % 3);
        if (kneeKind == 0) c.values[2] = 1.0f;
        if (kneeKind == 1) c.values[2] = kneeDepth(0.2 * unit(random));
        // Now and then values outside 0 to 1, as hosts may send them.
        if (random() % 8 == 0) c.values[random() % 7] = 3.0f * unit(random) - 1.0f;
        c.rate = 8000.0f * std::pow(48.0f, unit(random));
        c.what = describe(c.values, c.rate);
        const double thresholdDb = c.values[1] * 96.0 - 96.0;
        const double kneeStartDb = thresholdDb + (1.0 - c.values[2]) * -96.0;
        const double inputGainDb = c.values[0] * 48.0 - 24.0;
        const int kind = static_cast<int>(random() % 4);
        // The level meets the knee start (or the threshold) after the input gain.
        const double levelDb = std::clamp(kneeStartDb, -120.0, 0.0) - inputGainDb;
        const int frames = static_cast<int>(c.rate * (0.05 + 0.25 * unit(random)));
        expectGainAndSignKept(c, kind, levelDb, frames, random);
        if (HasFatalFailure()) return;
    }
}
