#include <cmath>

#include "tools/vsthost/Arguments.h"
#include "tools/vsthost/AudioFile.h"
#include "tools/vsthost/Commands.h"
#include "tools/vsthost/SignalGenerator.h"

namespace tarn {

namespace {

bool parseFormat(const std::string& name, SampleFormat& format) {
    if (name == "pcm16") format = SampleFormat::Pcm16;
    else if (name == "pcm24") format = SampleFormat::Pcm24;
    else if (name == "pcm32") format = SampleFormat::Pcm32;
    else if (name == "float") format = SampleFormat::Float32;
    else if (name == "double") format = SampleFormat::Float64;
    else return false;
    return true;
}

} // namespace

int runGenerate(const std::vector<std::string>& args) {
    Arguments arguments;
    std::string error;
    if (!arguments.parse(args, {"--signal", "--level", "--frequency", "--seconds", "--rate", "--channels", "--format"},
                         {}, error))
        return usageError(error);
    if (arguments.positional().size() != 1 || !arguments.settings().empty())
        return usageError("usage: vsthost generate <out.wav> [--signal noise|sine|silence|phrase|bursts|plucks] [--level DBFS] "
                          "[--frequency HZ] [--seconds S] [--rate HZ] [--channels 1|2] "
                          "[--format pcm16|pcm24|pcm32|float|double]");
    double level = 0.0;
    double frequency = 0.0;
    double seconds = 0.0;
    long rate = 0;
    long channels = 0;
    if (!arguments.number("--level", -6.0, -1000.0, 100.0, level, error) ||
        !arguments.number("--frequency", 1000.0, 0.0, 1e7, frequency, error) ||
        !arguments.number("--seconds", 2.0, 0.0, 3600.0, seconds, error) ||
        !arguments.integer("--rate", 48000, 1, 10000000, rate, error) ||
        !arguments.integer("--channels", 2, 1, 2, channels, error))
        return usageError(error);
    Signal signal = Signal::Noise;
    const std::string signalName = arguments.text("--signal", "noise");
    if (!parseSignal(signalName, signal)) return usageError("unknown signal '" + signalName + "'");
    SampleFormat format = SampleFormat::Float32;
    const std::string formatName = arguments.text("--format", "float");
    if (!parseFormat(formatName, format)) return usageError("unknown format '" + formatName + "'");

    const auto frames = static_cast<std::size_t>(std::llround(seconds * static_cast<double>(rate)));
    AudioData audio;
    audio.sampleRate = static_cast<int>(rate);
    audio.channels = static_cast<int>(channels);
    audio.samples.resize(frames * static_cast<std::size_t>(channels));
    for (int c = 0; c < audio.channels; ++c) {
        const std::vector<double> samples =
            generateSignal(signal, std::pow(10.0, level / 20.0), frequency, static_cast<double>(rate), c, frames);
        for (std::size_t i = 0; i < frames; ++i) audio.samples[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] = samples[i];
    }
    const std::string& outPath = arguments.positional()[0];
    if (!writeAudioFile(outPath, audio, format, error)) return fail("cannot write '" + outPath + "': " + error);
    return 0;
}

} // namespace tarn
