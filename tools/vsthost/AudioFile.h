#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tarn {

// Sound in memory: interleaved samples, full scale 1.0.
struct AudioData {
    int sampleRate = 0;
    int channels = 0;
    std::vector<double> samples;

    std::size_t frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

// How samples are stored in a file.
enum class SampleFormat { Pcm16, Pcm24, Pcm32, Float32, Float64 };

// WAV files, read and written with libsndfile on Linux and with WavFile on Windows.
// Both answer false with a one-line reason in `error` when they fail.
bool readAudioFile(const std::string& path, AudioData& audio, std::string& error);
bool writeAudioFile(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error);

} // namespace tarn
