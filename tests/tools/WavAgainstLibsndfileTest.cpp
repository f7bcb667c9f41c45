#include <gtest/gtest.h>

#include "tests/tools/WavBytes.h"
#include "tools/vsthost/AudioFile.h"
#include "tools/vsthost/WavFile.h"

// Our own WAV reader and writer against libsndfile (readAudioFile and writeAudioFile on Linux).
namespace tarn {
namespace {

using namespace wavtest;

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
}

} // namespace
} // namespace tarn
