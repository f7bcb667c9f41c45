#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "dsp/CompressorEngine.h"
#include "tests/dsp/ReferenceEngine.h"

// The engine against the formulas written out as they read (the reference): every output
// sample of 64-bit processing agrees to about 1e-12, relative, over plucked notes, noise
// bursts, steady noise and silence, at several settings and rates, with settings changed while
// the signal runs. The reference fixes durations in samples itself, so it is given the counts
// the engine derives for the rate in force.
using tarn::CompressorEngine;
using tarn::ReferenceEngine;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Settings {
    double inputDb;
    double thresholdDb;
    double kneeDb;
    double ratio;
    double attackMs;
    double releaseMs;
    double outputDb;
};

// Hard knee, a soft knee, a knee whose end is capped at full scale, 1:1, the shortest and the
// longest durations, gains at their ends.
const Settings kSettings[] = {
    {0.0, -30.0, 0.0, 4.0, 49.67, 299.85, 0.0},   {6.0, -24.0, -24.0, 6.0, 10.0, 150.0, -3.0},
    {0.0, -2.0, -40.0, 20.0, 1.0, 1.0, 24.0},      {-24.0, -60.0, -96.0, 2.5, 150.0, 2000.0, 12.0},
    {24.0, -12.0, -6.0, 1.0, 5.0, 40.0, -24.0},
};

void apply(const Settings& s, CompressorEngine& e) {
    e.setInputGain(std::pow(10.0, s.inputDb / 20.0));
    e.setThresholdDb(s.thresholdDb);
    e.setKneeDb(s.kneeDb);
    e.setRatio(s.ratio);
    e.setAttackMs(s.attackMs);
    e.setReleaseMs(s.releaseMs);
    e.setOutputGain(std::pow(10.0, s.outputDb / 20.0));
}

// The reference's fields, as the engine makes them from its settings at the rate in force.
void copySettings(const CompressorEngine& e, ReferenceEngine& r) {
    r.inputGain = e.inputGain();
    r.threshold = e.threshold();
    r.kneeStart = e.kneeStart();
    r.ratio = e.ratio();
    r.attackSamples = e.attackSamples();
    r.releaseSamples = e.releaseSamples();
    r.outputGain = e.outputGain();
}

enum class Signal { phrase, bursts, noise, silence };

// A stereo signal at `rate`; the silence starts with a tenth of a second of loud noise.
class Source {
public:
    Source(Signal kind, float rate) : kind(kind), rate(rate) {}
    void next(long frame, double* left, double* right) {
        const double t = frame / static_cast<double>(rate);
        const double n = gauss(random);
        const double m = gauss(random);
        switch (kind) {
        case Signal::phrase: {
            // A note every tenth of a second, loud and quiet ones, each decaying over 50 ms.
            static const double amplitudes[] = {0.9, 0.3, 0.6, 0.15, 0.8, 0.05, 0.5, 0.7};
            const long note = static_cast<long>(t * 10.0);
            const double since = t - note / 10.0;
            const double s = amplitudes[note % 8] * std::exp(-since / 0.05) * std::sin(2 * kPi * (220.0 + 30 * (note % 8)) * t);
            *left = s;
            *right = 0.8 * s;
            break;
        }
        case Signal::bursts: {
            const double gain = std::fmod(t, 0.2) < 0.15 ? 0.5 : 0.016;
            *left = gain * n;
            *right = gain * m;
            break;
        }
        case Signal::noise:
            *left = 0.3 * n;
            *right = 0.3 * m;
            break;
        case Signal::silence:
            *left = *right = t < 0.1 ? 0.7 * n : 0.0;
            break;
        }
    }

private:
    Signal kind;
    float rate;
    std::mt19937 random{5};
    std::normal_distribution<double> gauss{0.0, 1.0};
};

// The largest relative difference per sample between engine and reference over one run.
double largestDifference(Signal kind, float rate, const Settings& first, const Settings& second) {
    CompressorEngine engine;
    ReferenceEngine reference;
    engine.sampleRate = rate;
    reference.sampleRate = rate;
    engine.init();
    reference.init();
    apply(first, engine);
    Source source(kind, rate);
    const long frames = static_cast<long>(rate * 0.5f);
    double largest = 0.0;
    for (long i = 0; i < frames; ++i) {
        // The settings change three times while the signal runs, between two frames.
        if (i == frames / 4 || i == frames / 2) apply(i == frames / 4 ? second : first, engine);
        if (i == 3 * frames / 4) engine.setKneeDb(second.kneeDb);
        double inL = 0.0;
        double inR = 0.0;
        source.next(i, &inL, &inR);
        double l = 0.0;
        double r = 0.0;
        engine.processSample(inL, inR, &l, &r, rate);
        // The engine's first frame at this rate has derived the durations the reference is given.
        if (i == 0 || i == frames / 4 || i == frames / 2 || i == 3 * frames / 4) copySettings(engine, reference);
        double refL = 0.0;
        double refR = 0.0;
        reference.processSample(inL, inR, &refL, &refR, rate);
        for (const auto& [ours, theirs] : {std::pair{l, refL}, std::pair{r, refR}}) {
            if (ours == theirs) continue;
            largest = std::max(largest, std::fabs(ours - theirs) / std::fabs(theirs));
        }
    }
    return largest;
}

} // namespace

TEST(ReferenceComparison, EveryOutputSampleWithinRoundingOfTheFormulas) {
    const Signal signals[] = {Signal::phrase, Signal::bursts, Signal::noise, Signal::silence};
    constexpr int kCount = sizeof(kSettings) / sizeof(kSettings[0]);
    int run = 0;
    for (float rate : {44100.0f, 48000.0f, 96000.0f})
        for (Signal kind : signals)
            for (int s = 0; s < kCount; ++s, ++run) {
                // Each signal meets every setting, each rate a different pairing of changes.
                const Settings& first = kSettings[s];
                const Settings& second = kSettings[(s + 1 + run % 3) % kCount];
                        EXPECT_LT(largestDifference(kind, rate, first, second), 1e-12)
                    << "rate " << rate << ", signal " << static_cast<int>(kind) << ", settings " << s;
            }
}
