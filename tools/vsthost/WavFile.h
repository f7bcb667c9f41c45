#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/vsthost/AudioFile.h"

namespace tarn {

// Our own WAV reader and writer, for builds without libsndfile.
//
// Reads PCM of 8, 16, 24 and 32 bits and IEEE float of 32 and 64 bits, plain or in the
// extensible format, any number of channels. PCM becomes value / 2^(bits-1), as libsndfile
// reads it. Unknown chunks are skipped; a data chunk that claims more bytes than the file
// holds is read as far as it goes, whole frames only; a missing pad byte after the last chunk
// is tolerated. Writes plain PCM (scaled by 2^(bits-1) - 1, rounded, clipped) or float.
bool decodeWav(const std::vector<std::uint8_t>& bytes, AudioData& audio, std::string& error);
std::vector<std::uint8_t> encodeWav(const AudioData& audio, SampleFormat format);

bool readWavFile(const std::string& path, AudioData& audio, std::string& error);
bool writeWavFile(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error);

} // namespace tarn
