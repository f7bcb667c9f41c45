#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tarn {

enum class Signal { Noise, Sine, Silence };

// "noise", "sine" or "silence".
bool parseSignal(const std::string& name, Signal& signal);

// One channel of a test signal with the given peak amplitude: uniform white noise (its own
// fixed seed per channel, so every run gives the same samples), a sine of `frequency` Hz
// starting at phase 0 on every channel, or zeros.
std::vector<double> generateSignal(Signal signal, double peak, double frequency, double sampleRate, int channel,
                                   std::size_t frames);

} // namespace tarn
