#include "tools/vsthost/SignalGenerator.h"

#include <cmath>
#include <cstdint>

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

} // namespace

bool parseSignal(const std::string& name, Signal& signal) {
    if (name == "noise") signal = Signal::Noise;
    else if (name == "sine") signal = Signal::Sine;
    else if (name == "silence") signal = Signal::Silence;
    else return false;
    return true;
}

std::vector<double> generateSignal(Signal signal, double peak, double frequency, double sampleRate, int channel,
                                   std::size_t frames) {
    std::vector<double> samples(frames, 0.0);
    if (signal == Signal::Noise) {
        NoiseSource noise(channel);
        for (double& s : samples) s = peak * noise.next();
    } else if (signal == Signal::Sine) {
        const double step = 2.0 * kPi * frequency / sampleRate;
        for (std::size_t i = 0; i < frames; ++i) samples[i] = peak * std::sin(step * static_cast<double>(i));
    }
    return samples;
}

} // namespace tarn
