#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tools/vsthost/AudioFile.h"

// Builders of WAV files byte by byte, for tests of readers.
namespace tarn {
namespace wavtest {

using Bytes = std::vector<std::uint8_t>;

inline const SampleFormat kFormats[] = {SampleFormat::Pcm16, SampleFormat::Pcm24, SampleFormat::Pcm32, SampleFormat::Float32,
                                 SampleFormat::Float64};

inline std::string tempPath(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "wavfile_" + test->test_suite_name() + "_" + test->name() + "_" + name;
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// A ramp through the whole range, with full scale, clipping and a few exact values.
inline AudioData testAudio(int channels, int frames = 1000) {
    AudioData audio;
    audio.sampleRate = 44100;
    audio.channels = channels;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) audio.samples.push_back(-1.2 + 2.4 * (i + 0.37 * c) / frames);
    audio.samples[0] = 1.0;
    audio.samples[1] = -1.0;
    audio.samples[2] = 0.0;
    audio.samples[3] = 0.5;
    return audio;
}

// What a sample becomes after writing in a format and reading back.
inline double stored(double x, SampleFormat format) {
    const auto pcm = [x](int bits) {
        const double top = std::ldexp(1.0, bits - 1) - 1.0;
        return std::llrint(std::fmax(-top - 1.0, std::fmin(top, x * top))) / std::ldexp(1.0, bits - 1);
    };
    switch (format) {
    case SampleFormat::Pcm16: return pcm(16);
    case SampleFormat::Pcm24: return pcm(24);
    case SampleFormat::Pcm32: return pcm(32);
    case SampleFormat::Float32: return static_cast<float>(x);
    case SampleFormat::Float64: return x;
    }
    return 0.0;
}

inline void put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

inline Bytes formatBody(std::uint16_t tag, int channels, std::uint32_t rate, int bits) {
    Bytes b;
    put16(b, tag);
    put16(b, static_cast<std::uint32_t>(channels));
    put32(b, rate);
    put32(b, rate * static_cast<std::uint32_t>(channels * bits / 8));
    put16(b, static_cast<std::uint32_t>(channels * bits / 8));
    put16(b, static_cast<std::uint32_t>(bits));
    return b;
}

inline Bytes extensibleBody(std::uint16_t subTag, int channels, std::uint32_t rate, int bits) {
    Bytes b = formatBody(0xfffe, channels, rate, bits);
    put16(b, 22);
    put16(b, static_cast<std::uint32_t>(bits));
    put32(b, channels == 2 ? 3 : 4);
    put16(b, subTag);
    const std::uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71};
    b.insert(b.end(), tail, tail + 14);
    return b;
}

inline Bytes int16Samples(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values) put16(b, static_cast<std::uint32_t>(v));
    return b;
}

struct Chunk {
    std::string id;
    Bytes body;
    long long claimedSize = -1;
    bool pad = true;
};

inline Bytes riff(const std::vector<Chunk>& chunks, long long claimedRiffSize = -1) {
    Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        b.insert(b.end(), c.id.begin(), c.id.end());
        put32(b, static_cast<std::uint32_t>(c.claimedSize >= 0 ? c.claimedSize : static_cast<long long>(c.body.size())));
        b.insert(b.end(), c.body.begin(), c.body.end());
        if (c.pad && (c.body.size() & 1)) b.push_back(0);
    }
    const auto size = static_cast<std::uint32_t>(claimedRiffSize >= 0 ? claimedRiffSize : static_cast<long long>(b.size() - 8));
    std::memcpy(b.data() + 4, &size, 4);
    return b;
}

} // namespace wavtest
} // namespace tarn
