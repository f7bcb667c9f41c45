#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>

#include "tests/tools/WavBytes.h"
#include "tools/vsthost/AudioFile.h"
#include "tools/vsthost/WavFile.h"

// Our own WAV reader and writer, the Windows build's. Run natively and under wine.
namespace tarn {
namespace {

using namespace wavtest;

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

TEST(WavOddHeaders, ExtensibleFormatGivesItsSubFormat) {
    const Bytes pcm24 = {0x00, 0x00, 0x80, 0xff, 0xff, 0x7f, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
    const AudioData audio = decoded(riff({{"fmt ", extensibleBody(1, 2, 48000, 24)}, {"data", pcm24}}));
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.sampleRate, 48000);
    EXPECT_EQ(audio.samples, (std::vector<double>{-1.0, 1.0 - std::ldexp(1.0, -23), std::ldexp(1.0, -23), 0.0}));
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
