#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>

#include "tools/vsthost/AudioFile.h"
#include "tools/vsthost/WavFile.h"

// Our own WAV reader and writer (the Windows build's), checked on its own and against
// libsndfile (readAudioFile and writeAudioFile on Linux).
namespace tarn {
namespace {

using Bytes = std::vector<std::uint8_t>;

const SampleFormat kFormats[] = {SampleFormat::Pcm16, SampleFormat::Pcm24, SampleFormat::Pcm32, SampleFormat::Float32,
                                 SampleFormat::Float64};

std::string tempPath(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "wavfile_" + test->test_suite_name() + "_" + test->name() + "_" + name;
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// A ramp through the whole range, with full scale, clipping and a few exact values.
AudioData testAudio(int channels, int frames = 1000) {
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
double stored(double x, SampleFormat format) {
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

void put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

Bytes formatBody(std::uint16_t tag, int channels, std::uint32_t rate, int bits) {
    Bytes b;
    put16(b, tag);
    put16(b, static_cast<std::uint32_t>(channels));
    put32(b, rate);
    put32(b, rate * static_cast<std::uint32_t>(channels * bits / 8));
    put16(b, static_cast<std::uint32_t>(channels * bits / 8));
    put16(b, static_cast<std::uint32_t>(bits));
    return b;
}

Bytes extensibleBody(std::uint16_t subTag, int channels, std::uint32_t rate, int bits) {
    Bytes b = formatBody(0xfffe, channels, rate, bits);
    put16(b, 22);
    put16(b, static_cast<std::uint32_t>(bits));
    put32(b, channels == 2 ? 3 : 4);
    put16(b, subTag);
    const std::uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71};
    b.insert(b.end(), tail, tail + 14);
    return b;
}

Bytes int16Samples(std::initializer_list<int> values) {
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

Bytes riff(const std::vector<Chunk>& chunks, long long claimedRiffSize = -1) {
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

AudioData decoded(const Bytes& bytes) {
    AudioData audio;
    std::string error;
    EXPECT_TRUE(decodeWav(bytes, audio, error)) << error;
    return audio;
}

std::string decodeError(const Bytes& bytes) {
    AudioData audio;
    std::string error;
    EXPECT_FALSE(decodeWav(bytes, audio, error));
    EXPECT_EQ(error.find('\n'), std::string::npos);
    return error;
}

TEST(WavRoundTrip, EveryFormatMonoAndStereoKeepsShapeAndValues) {
    for (int channels : {1, 2})
        for (SampleFormat format : kFormats) {
            const AudioData audio = testAudio(channels);
            const std::string path = tempPath(std::to_string(channels) + "_" + std::to_string(static_cast<int>(format)));
            std::string error;
            ASSERT_TRUE(writeWavFile(path, audio, format, error)) << error;
            AudioData back;
            ASSERT_TRUE(readWavFile(path, back, error)) << error;
            EXPECT_EQ(back.sampleRate, 44100);
            EXPECT_EQ(back.channels, channels);
            ASSERT_EQ(back.samples.size(), audio.samples.size());
            for (std::size_t i = 0; i < audio.samples.size(); ++i)
                ASSERT_EQ(back.samples[i], stored(audio.samples[i], format))
                    << "format " << static_cast<int>(format) << ", sample " << i;
        }
}

TEST(WavRoundTrip, FloatKeepsNonFiniteAndTinyValues) {
    AudioData audio;
    audio.sampleRate = 96000;
    audio.channels = 1;
    audio.samples = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 1e-310, 123.5,
                     std::numeric_limits<double>::quiet_NaN()};
    const AudioData back = decoded(encodeWav(audio, SampleFormat::Float64));
    ASSERT_EQ(back.samples.size(), 5u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back.samples[static_cast<std::size_t>(i)], audio.samples[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(std::isnan(back.samples[4]));
}

TEST(WavRoundTrip, EmptyAudioAndOddByteCountArePadded) {
    AudioData audio;
    audio.sampleRate = 8000;
    audio.channels = 1;
    EXPECT_EQ(decoded(encodeWav(audio, SampleFormat::Pcm16)).frames(), 0u);
    audio.samples = {0.25};
    const Bytes bytes = encodeWav(audio, SampleFormat::Pcm24);
    EXPECT_EQ(bytes.size() % 2, 0u);
    EXPECT_EQ(decoded(bytes).samples, std::vector<double>{stored(0.25, SampleFormat::Pcm24)});
}

TEST(WavRoundTrip, WriteFailsOnABadPathOrShape) {
    std::string error;
    EXPECT_FALSE(writeWavFile(::testing::TempDir() + "no/such/folder/x.wav", testAudio(1), SampleFormat::Pcm16, error));
    EXPECT_FALSE(error.empty());
    AudioData shapeless;
    EXPECT_FALSE(writeWavFile(tempPath("shapeless.wav"), shapeless, SampleFormat::Pcm16, error));
}

TEST(WavAgainstLibsndfile, OurReaderReadsWhatLibsndfileWrites) {
    for (int channels : {1, 2})
        for (SampleFormat format : kFormats) {
            const std::string path = tempPath(std::to_string(channels) + "_" + std::to_string(static_cast<int>(format)));
            std::string error;
            ASSERT_TRUE(writeAudioFile(path, testAudio(channels), format, error)) << error;
            AudioData theirs;
            AudioData ours;
            ASSERT_TRUE(readAudioFile(path, theirs, error)) << error;
            ASSERT_TRUE(readWavFile(path, ours, error)) << error;
            EXPECT_EQ(ours.sampleRate, theirs.sampleRate);
            EXPECT_EQ(ours.channels, theirs.channels);
            EXPECT_EQ(ours.samples, theirs.samples) << "format " << static_cast<int>(format);
        }
}

TEST(WavAgainstLibsndfile, LibsndfileReadsWhatOurWriterWrites) {
    for (int channels : {1, 2})
        for (SampleFormat format : kFormats) {
            const std::string path = tempPath(std::to_string(channels) + "_" + std::to_string(static_cast<int>(format)));
            std::string error;
            ASSERT_TRUE(writeWavFile(path, testAudio(channels), format, error)) << error;
            AudioData theirs;
            AudioData ours;
            ASSERT_TRUE(readAudioFile(path, theirs, error)) << error;
            ASSERT_TRUE(readWavFile(path, ours, error)) << error;
            EXPECT_EQ(theirs.channels, channels);
            EXPECT_EQ(theirs.samples, ours.samples) << "format " << static_cast<int>(format);
        }
}

TEST(WavAgainstLibsndfile, BothReadEightBitAndExtensibleFilesAlike) {
    Bytes eightBit;
    for (int i = 0; i < 256; ++i) eightBit.push_back(static_cast<std::uint8_t>(i));
    Bytes floats;
    for (float f : {0.5f, -0.25f, 1.0f, -1.0f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        put32(floats, bits);
    }
    Bytes pcm24 = {0x00, 0x00, 0x80, 0xff, 0xff, 0x7f, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
    const Bytes files[] = {
        riff({{"fmt ", formatBody(1, 1, 22050, 8)}, {"data", eightBit}}),
        riff({{"fmt ", extensibleBody(3, 2, 48000, 32)}, {"data", floats}}),
        riff({{"fmt ", extensibleBody(1, 2, 48000, 24)}, {"data", pcm24}}),
    };
    int n = 0;
    for (const Bytes& file : files) {
        const std::string path = tempPath(std::to_string(n++) + ".wav");
        writeBytes(path, file);
        AudioData theirs;
        AudioData ours;
        std::string error;
        ASSERT_TRUE(readAudioFile(path, theirs, error)) << error;
        ASSERT_TRUE(readWavFile(path, ours, error)) << error;
        EXPECT_EQ(ours.channels, theirs.channels);
        EXPECT_EQ(ours.sampleRate, theirs.sampleRate);
        EXPECT_EQ(ours.samples, theirs.samples) << "file " << n - 1;
    }
    EXPECT_EQ(decoded(files[2]).samples, (std::vector<double>{-1.0, 1.0 - std::ldexp(1.0, -23), std::ldexp(1.0, -23), 0.0}));
}

TEST(WavOddHeaders, UnknownChunksPaddingAndChunkOrderAreTolerated) {
    const Bytes data = int16Samples({16384, -16384, 8192, -8192});
    const std::vector<double> expected = {0.5, -0.5, 0.25, -0.25};
    // An odd-sized chunk before the format, with its pad byte.
    EXPECT_EQ(decoded(riff({{"LIST", Bytes(5, 'x')}, {"fmt ", formatBody(1, 2, 44100, 16)}, {"data", data}})).samples,
              expected);
    // The data chunk before the format chunk.
    EXPECT_EQ(decoded(riff({{"data", data}, {"fmt ", formatBody(1, 2, 44100, 16)}})).samples, expected);
    // A format chunk longer than 16 bytes, as some writers make for PCM.
    Bytes longFormat = formatBody(1, 2, 44100, 16);
    put16(longFormat, 0);
    EXPECT_EQ(decoded(riff({{"fmt ", longFormat}, {"data", data}})).samples, expected);
    // A wrong RIFF size, too small or too large.
    EXPECT_EQ(decoded(riff({{"fmt ", formatBody(1, 2, 44100, 16)}, {"data", data}}, 4)).samples, expected);
    EXPECT_EQ(decoded(riff({{"fmt ", formatBody(1, 2, 44100, 16)}, {"data", data}}, 0xffffffff)).samples, expected);
}

TEST(WavOddHeaders, DataCutShortGivesTheWholeFramesThatArePresent) {
    const Bytes data = int16Samples({16384, -16384, 8192, -8192, 4096});
    // Claims far more than it holds (as a streamed file does); the last half frame is dropped.
    const AudioData streamed = decoded(riff({{"fmt ", formatBody(1, 2, 44100, 16)}, {"data", data, 0xffffffff}}));
    EXPECT_EQ(streamed.frames(), 2u);
    EXPECT_EQ(streamed.samples, (std::vector<double>{0.5, -0.5, 0.25, -0.25}));
    // A data chunk of odd size without its pad byte at the end of the file.
    AudioData mono = decoded(riff({{"fmt ", formatBody(1, 1, 44100, 8)}, {"data", Bytes{255, 0, 128}, -1, false}}));
    EXPECT_EQ(mono.frames(), 3u);
}

TEST(WavOddHeaders, EveryTruncationOfAFileDecodesSafely) {
    AudioData audio = testAudio(2, 40);
    for (SampleFormat format : kFormats) {
        const Bytes full = encodeWav(audio, format);
        std::size_t dataStart = 0;
        for (std::size_t i = 12; i + 4 <= full.size(); ++i)
            if (std::memcmp(full.data() + i, "data", 4) == 0) {
                dataStart = i + 8;
                break;
            }
        ASSERT_NE(dataStart, 0u);
        const std::size_t frameBytes = full.size() > dataStart ? (full.size() - dataStart) / 40 : 1;
        for (std::size_t length = 0; length <= full.size(); ++length) {
            const Bytes cut(full.begin(), full.begin() + static_cast<long>(length));
            AudioData back;
            std::string error;
            const bool ok = decodeWav(cut, back, error);
            if (length < dataStart) {
                EXPECT_FALSE(ok) << "length " << length;
                EXPECT_FALSE(error.empty());
            } else {
                ASSERT_TRUE(ok) << "length " << length << ": " << error;
                EXPECT_EQ(back.frames(), (length - dataStart) / frameBytes);
            }
        }
    }
}

TEST(WavOddHeaders, FilesThatCannotBeReadSayWhy) {
    const Bytes data = int16Samples({0, 0});
    EXPECT_EQ(decodeError(Bytes{}), "not a RIFF WAVE file");
    EXPECT_EQ(decodeError(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}), "not a RIFF WAVE file");
    EXPECT_EQ(decodeError(riff({{"data", data}})), "no format chunk");
    EXPECT_EQ(decodeError(riff({{"fmt ", formatBody(1, 2, 44100, 16)}})), "no data chunk");
    EXPECT_EQ(decodeError(riff({{"fmt ", Bytes(14, 0)}, {"data", data}})), "format chunk too short");
    EXPECT_NE(decodeError(riff({{"fmt ", formatBody(2, 2, 44100, 4)}, {"data", data}})).find("unsupported sample format"),
              std::string::npos);
    EXPECT_NE(decodeError(riff({{"fmt ", formatBody(1, 2, 44100, 12)}, {"data", data}})).find("unsupported sample format"),
              std::string::npos);
    EXPECT_NE(decodeError(riff({{"fmt ", formatBody(3, 2, 44100, 16)}, {"data", data}})).find("unsupported sample format"),
              std::string::npos);
    EXPECT_NE(decodeError(riff({{"fmt ", formatBody(1, 0, 44100, 16)}, {"data", data}})).find("channel count"),
              std::string::npos);
    EXPECT_NE(decodeError(riff({{"fmt ", formatBody(1, 2, 0, 16)}, {"data", data}})).find("sample rate"),
              std::string::npos);
    Bytes badGuid = extensibleBody(1, 2, 44100, 16);
    badGuid.back() ^= 0xff;
    EXPECT_EQ(decodeError(riff({{"fmt ", badGuid}, {"data", data}})), "unsupported extensible format");

    AudioData audio;
    std::string error;
    EXPECT_FALSE(readWavFile(tempPath("missing.wav"), audio, error));
    EXPECT_EQ(error, "cannot open the file");
}

} // namespace
} // namespace tarn
