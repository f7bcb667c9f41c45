#include "tools/vsthost/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tarn {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xfffe;
// The sub-format GUIDs of the extensible format share these last 14 bytes.
constexpr std::uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};
constexpr int kMaxChannels = 64;

std::uint32_t read16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

struct Format {
    std::uint16_t tag = 0;
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int bits = 0;
};

bool parseFormat(const std::uint8_t* p, std::size_t size, Format& format, std::string& error) {
    if (size < 16) {
        error = "format chunk too short";
        return false;
    }
    format.tag = static_cast<std::uint16_t>(read16(p));
    format.channels = static_cast<int>(read16(p + 2));
    format.sampleRate = read32(p + 4);
    format.bits = static_cast<int>(read16(p + 14));
    if (format.tag == kFormatExtensible) {
        if (size < 40 || read16(p + 16) < 22 || std::memcmp(p + 26, kGuidTail, sizeof kGuidTail) != 0) {
            error = "unsupported extensible format";
            return false;
        }
        format.tag = static_cast<std::uint16_t>(read16(p + 24));
    }
    const bool pcm = format.tag == kFormatPcm && (format.bits == 8 || format.bits == 16 || format.bits == 24 ||
                                                  format.bits == 32);
    const bool floating = format.tag == kFormatFloat && (format.bits == 32 || format.bits == 64);
    if (!pcm && !floating) {
        error = "unsupported sample format (tag " + std::to_string(format.tag) + ", " + std::to_string(format.bits) +
                " bits)";
        return false;
    }
    if (format.channels < 1 || format.channels > kMaxChannels) {
        error = "unsupported channel count " + std::to_string(format.channels);
        return false;
    }
    if (format.sampleRate == 0 || format.sampleRate > 0x7fffffff) {
        error = "invalid sample rate " + std::to_string(format.sampleRate);
        return false;
    }
    return true;
}

double decodeSample(const std::uint8_t* p, const Format& format) {
    if (format.tag == kFormatFloat) {
        if (format.bits == 32) {
            const std::uint32_t bits = read32(p);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        const std::uint64_t bits = static_cast<std::uint64_t>(read32(p)) | (static_cast<std::uint64_t>(read32(p + 4)) << 32);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    switch (format.bits) {
    case 8: return (static_cast<int>(p[0]) - 128) / 128.0;
    case 16: return static_cast<std::int16_t>(read16(p)) / 32768.0;
    case 24: {
        // Placed in the top three bytes of 32, so the sign comes along.
        const std::uint32_t code = (static_cast<std::uint32_t>(p[0]) << 8) | (static_cast<std::uint32_t>(p[1]) << 16) |
                                   (static_cast<std::uint32_t>(p[2]) << 24);
        return static_cast<std::int32_t>(code) / 2147483648.0;
    }
    default: return static_cast<std::int32_t>(read32(p)) / 2147483648.0;
    }
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// Full scale maps to the largest code, as libsndfile writes it; beyond full scale it clips.
std::int64_t toPcm(double sample, int bits) {
    const double top = std::ldexp(1.0, bits - 1) - 1.0;
    const double scaled = sample * top;
    if (std::isnan(scaled)) return 0;
    if (scaled >= top) return static_cast<std::int64_t>(top);
    if (scaled <= -top - 1.0) return -static_cast<std::int64_t>(top) - 1;
    return std::llrint(scaled);
}

void encodeSample(std::vector<std::uint8_t>& out, double sample, SampleFormat format) {
    switch (format) {
    case SampleFormat::Pcm16: put16(out, static_cast<std::uint32_t>(toPcm(sample, 16))); break;
    case SampleFormat::Pcm24: {
        const auto code = static_cast<std::uint32_t>(toPcm(sample, 24));
        put16(out, code & 0xffff);
        out.push_back(static_cast<std::uint8_t>(code >> 16));
        break;
    }
    case SampleFormat::Pcm32: put32(out, static_cast<std::uint32_t>(toPcm(sample, 32))); break;
    case SampleFormat::Float32: {
        const float value = static_cast<float>(sample);
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        put32(out, bits);
        break;
    }
    case SampleFormat::Float64: {
        std::uint64_t bits;
        std::memcpy(&bits, &sample, sizeof bits);
        put32(out, static_cast<std::uint32_t>(bits));
        put32(out, static_cast<std::uint32_t>(bits >> 32));
        break;
    }
    }
}

int bitsOf(SampleFormat format) {
    switch (format) {
    case SampleFormat::Pcm16: return 16;
    case SampleFormat::Pcm24: return 24;
    case SampleFormat::Pcm32:
    case SampleFormat::Float32: return 32;
    case SampleFormat::Float64: return 64;
    }
    return 0;
}

} // namespace

bool decodeWav(const std::vector<std::uint8_t>& bytes, AudioData& audio, std::string& error) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    // The RIFF size is often wrong in files cut short or streamed: walk the chunks to the end of the bytes.
    const std::uint8_t* data = nullptr;
    std::size_t dataSize = 0;
    Format format;
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::uint8_t* chunk = bytes.data() + pos;
        const std::size_t available = bytes.size() - pos - 8;
        const std::size_t size = std::min<std::size_t>(read32(chunk + 4), available);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            if (!parseFormat(chunk + 8, size, format, error)) return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !data) {
            data = chunk + 8;
            dataSize = size;
        }
        pos += 8 + size + (size & 1);
    }
    if (!haveFormat) {
        error = "no format chunk";
        return false;
    }
    if (!data) {
        error = "no data chunk";
        return false;
    }
    const std::size_t bytesPerSample = static_cast<std::size_t>(format.bits / 8);
    const std::size_t frameBytes = bytesPerSample * static_cast<std::size_t>(format.channels);
    const std::size_t frames = dataSize / frameBytes;
    audio.sampleRate = static_cast<int>(format.sampleRate);
    audio.channels = format.channels;
    audio.samples.resize(frames * static_cast<std::size_t>(format.channels));
    for (std::size_t i = 0; i < audio.samples.size(); ++i) audio.samples[i] = decodeSample(data + i * bytesPerSample, format);
    return true;
}

std::vector<std::uint8_t> encodeWav(const AudioData& audio, SampleFormat format) {
    const bool floating = format == SampleFormat::Float32 || format == SampleFormat::Float64;
    const std::uint32_t bits = static_cast<std::uint32_t>(bitsOf(format));
    const auto channels = static_cast<std::uint32_t>(audio.channels);
    const std::uint32_t blockAlign = channels * bits / 8;
    const auto frames = static_cast<std::uint32_t>(audio.frames());
    const std::uint32_t dataSize = frames * blockAlign;
    const std::uint32_t formatSize = floating ? 18 : 16;
    const std::uint32_t factSize = floating ? 12 : 0;
    std::vector<std::uint8_t> out;
    out.reserve(12 + 8 + formatSize + factSize + 8 + dataSize + 1);
    putTag(out, "RIFF");
    put32(out, 4 + 8 + formatSize + factSize + 8 + dataSize + (dataSize & 1));
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, formatSize);
    put16(out, floating ? kFormatFloat : kFormatPcm);
    put16(out, channels);
    put32(out, static_cast<std::uint32_t>(audio.sampleRate));
    put32(out, static_cast<std::uint32_t>(audio.sampleRate) * blockAlign);
    put16(out, blockAlign);
    put16(out, bits);
    if (floating) {
        put16(out, 0);
        putTag(out, "fact");
        put32(out, 4);
        put32(out, frames);
    }
    putTag(out, "data");
    put32(out, dataSize);
    for (std::size_t i = 0; i < static_cast<std::size_t>(frames) * channels; ++i) encodeSample(out, audio.samples[i], format);
    if (dataSize & 1) out.push_back(0);
    return out;
}

bool readWavFile(const std::string& path, AudioData& audio, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open the file";
        return false;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "read error";
        return false;
    }
    return decodeWav(bytes, audio, error);
}

bool writeWavFile(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error) {
    if (audio.channels < 1 || audio.channels > kMaxChannels || audio.sampleRate <= 0) {
        error = "invalid channel count or sample rate";
        return false;
    }
    const std::uint64_t dataSize = static_cast<std::uint64_t>(audio.frames()) * static_cast<std::uint64_t>(audio.channels) *
                                   static_cast<std::uint64_t>(bitsOf(format) / 8);
    if (dataSize > 0xffff0000u) {
        error = "too long for a WAV file";
        return false;
    }
    const std::vector<std::uint8_t> bytes = encodeWav(audio, format);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        error = "cannot create the file";
        return false;
    }
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        error = "write error";
        return false;
    }
    return true;
}

} // namespace tarn
