#include "tools/vsthost/SignalGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace tarn {

namespace {

constexpr double kPi = 3.14159265358979323846;

// xorshift64*: small, fast and the same on every platform.
class NoiseSource {
public:
    explicit NoiseSource(int channel) : state(0x9e3779b97f4a7c15ull * static_cast<std::uint64_t>(channel + 1)) {}

    // Uniform in [-1, 1).
    double next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        const std::uint64_t bits = (state * 0x2545f4914f6cdd1dull) >> 11;
        return static_cast<double>(bits) * 0x1.0p-52 - 1.0;
    }

private:
    std::uint64_t state;
};

// Semitones above the lowest note, one note per half second, looping.
constexpr int kMelody[] = {0, 7, 12, 7, 3, 10, 15, 10};
constexpr double kQuietGain = 0.063; // about -24 dB
constexpr double kBurstOnSeconds = 1.5;  // of every 2 s

// Notes of `noteSeconds`, decaying by e^-decay per second, every other one quiet if `alternate`.
std::vector<double> notes(double peak, double lowest, double sampleRate, int channel, std::size_t frames,
                          double noteSeconds, double decay, bool alternate) {
    std::vector<double> samples(frames, 0.0);
    const std::size_t noteFrames = std::max<std::size_t>(1, static_cast<std::size_t>(noteSeconds * sampleRate));
    // The right channel is detuned a little, so the two sides are not identical.
    const double detune = channel == 0 ? 1.0 : 1.003;
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t note = i / noteFrames;
        const double t = static_cast<double>(i % noteFrames) / sampleRate;
        const double f = lowest * detune * std::pow(2.0, kMelody[note % std::size(kMelody)] / 12.0);
        // A plucked envelope: 5 ms rise, then an exponential decay.
        const double envelope = std::min(1.0, t / 0.005) * std::exp(-decay * t);
        double tone = 0.0;
        for (int harmonic = 1; harmonic <= 4; ++harmonic) tone += std::sin(2.0 * kPi * f * harmonic * t) / harmonic;
        samples[i] = peak * (alternate && note % 2 ? kQuietGain : 1.0) * envelope * tone / 2.0833; // 1 + 1/2 + 1/3 + 1/4
    }
    return samples;
}

} // namespace

bool parseSignal(const std::string& name, Signal& signal) {
    if (name == "noise") signal = Signal::Noise;
    else if (name == "sine") signal = Signal::Sine;
    else if (name == "silence") signal = Signal::Silence;
    else if (name == "phrase") signal = Signal::Phrase;
    else if (name == "bursts") signal = Signal::Bursts;
    else if (name == "plucks") signal = Signal::Plucks;
    else return false;
    return true;
}

std::vector<double> generateSignal(Signal signal, double peak, double frequency, double sampleRate, int channel,
                                   std::size_t frames) {
    std::vector<double> samples(frames, 0.0);
    if (signal == Signal::Noise || signal == Signal::Bursts) {
        NoiseSource noise(channel);
        for (double& s : samples) s = peak * noise.next();
    } else if (signal == Signal::Sine) {
        const double step = 2.0 * kPi * frequency / sampleRate;
        for (std::size_t i = 0; i < frames; ++i) samples[i] = peak * std::sin(step * static_cast<double>(i));
    } else if (signal == Signal::Phrase) {
        samples = notes(peak, frequency, sampleRate, channel, frames, 0.5, 3.0, true);
    } else if (signal == Signal::Plucks) {
        samples = notes(peak, frequency, sampleRate, channel, frames, 0.25, 12.0, false);
    }
    if (signal == Signal::Bursts) {
        const double period = 2.0 * sampleRate;
        for (std::size_t i = 0; i < frames; ++i)
            if (std::fmod(static_cast<double>(i), period) >= kBurstOnSeconds * sampleRate) samples[i] = 0.0;
    }
    return samples;
}

} // namespace tarn
