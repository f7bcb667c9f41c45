#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tarn {

enum class Signal { Noise, Sine, Silence, Phrase, Bursts, Plucks };

// "noise", "sine", "silence", "phrase", "bursts" or "plucks".
bool parseSignal(const std::string& name, Signal& signal);

// One channel of a test signal with the given peak amplitude: uniform white noise (its own
// own fixed starting state per channel, so every run gives the same samples), a sine of `frequency` Hz
// starting at phase 0 on every channel, zeros, or a phrase of plucked notes (`frequency` is its
// lowest note) that alternate between the full peak and 24 dB below it every half second:
// material with wide dynamics, for hearing and measuring compression; or the noise in bursts,
// 1.5 s on and 0.5 s of silence, so that every burst starts an attack and every gap a release;
// or plucked notes all at the full peak, four a second, each decaying about 26 dB before the
// next, so that a compressor's attack and release are always moving.
std::vector<double> generateSignal(Signal signal, double peak, double frequency, double sampleRate, int channel,
                                   std::size_t frames);

} // namespace tarn
