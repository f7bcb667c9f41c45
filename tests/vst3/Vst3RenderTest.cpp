#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/vsthost/AudioFile.h"

// vsthost renders the same file through the VST 2.4 plug-in and the VST 3 bundle: the two
// must agree to the last bit, since both run the same engine from the same values.
namespace tarn {
namespace {

std::string temp(const std::string& name) { return ::testing::TempDir() + "vst3_render_" + name; }

AudioData render(const std::string& plugin, const std::string& in, const std::string& settings, const char* precision) {
    const std::string out = temp("out.wav");
    const std::string command = std::string("'") + VSTHOST_PATH + "' render '" + plugin + "' '" + in + "' '" + out +
                                "' --block 333 " + precision + " " + settings;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    AudioData audio;
    std::string error;
    EXPECT_TRUE(readAudioFile(out, audio, error)) << error;
    return audio;
}

TEST(Vst3Render, EqualsTheVst2RenderAtTheDefaultsAndWhileCompressing) {
    AudioData input;
    input.sampleRate = 48000;
    input.channels = 2;
    unsigned state = 7;
    for (int i = 0; i < 2 * 48000; ++i) {
        state = state * 1664525u + 1013904223u;
        // Noise that swells and falls, so that the compressor attacks and releases.
        const double envelope = (i / 2) % 24000 < 12000 ? 0.9 : 0.05;
        input.samples.push_back(envelope * (static_cast<double>(state >> 8) / 8388608.0 - 1.0));
    }
    const std::string in = temp("in.wav");
    std::string error;
    ASSERT_TRUE(writeAudioFile(in, input, SampleFormat::Float64, error)) << error;
    for (const char* settings : {"", "0=0.6 1=0.6875 2=0.9 3=0.158 4=0.05 5=0.1 6=0.7"}) {
        for (const char* precision : {"", "--double"}) {
            const AudioData vst2 = render(PLUGIN_PATH, in, settings, precision);
            const AudioData vst3 = render(VST3_BUNDLE, in, settings, precision);
            ASSERT_EQ(vst2.samples.size(), input.samples.size());
            ASSERT_EQ(vst3.samples.size(), vst2.samples.size());
            std::size_t differing = 0;
            for (std::size_t i = 0; i < vst2.samples.size(); ++i) differing += vst2.samples[i] != vst3.samples[i];
            EXPECT_EQ(differing, 0u) << "settings '" << settings << "' " << precision;
        }
    }
}

} // namespace
} // namespace tarn
