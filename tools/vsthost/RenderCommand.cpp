#include <algorithm>

#include "tools/vsthost/AudioFile.h"
#include "tools/vsthost/ChannelBuffers.h"
#include "tools/vsthost/Commands.h"
#include "tools/vsthost/Plugin.h"

namespace tarn {

namespace {

// Streams the whole input through the plug-in block by block. Mono input feeds the first two
// plug-in inputs alike; further inputs get silence. A plug-in with one output gives it to both
// channels of the stereo result.
template <typename Sample>
AudioData renderThrough(Plugin& plugin, const AudioData& input, std::size_t block) {
    AEffect& e = plugin.effect();
    ChannelBuffers<Sample> in(e.numInputs, block);
    ChannelBuffers<Sample> out(e.numOutputs, block);
    const std::size_t frames = input.frames();
    const auto channels = static_cast<std::size_t>(input.channels);
    AudioData output;
    output.sampleRate = input.sampleRate;
    output.channels = 2;
    output.samples.resize(frames * 2);
    for (std::size_t start = 0; start < frames; start += block) {
        const std::size_t count = std::min(block, frames - start);
        for (std::size_t c = 0; c < in.channels(); ++c)
            for (std::size_t i = 0; i < count; ++i)
                in[c][i] = c < 2 ? static_cast<Sample>(input.samples[(start + i) * channels + std::min(c, channels - 1)])
                                 : Sample(0);
        plugin.process(in.data(), out.data(), static_cast<VstInt32>(count));
        const std::size_t right = e.numOutputs >= 2 ? 1 : 0;
        for (std::size_t i = 0; i < count; ++i) {
            output.samples[(start + i) * 2] = out[0][i];
            output.samples[(start + i) * 2 + 1] = out[right][i];
        }
    }
    return output;
}

} // namespace

int runRender(const std::vector<std::string>& args) {
    Arguments arguments;
    std::string error;
    if (!arguments.parse(args, {"--rate", "--block"}, {"--double"}, error)) return usageError(error);
    if (arguments.positional().size() != 3)
        return usageError("usage: vsthost render <plugin> <in.wav> <out.wav> [--rate HZ] [--block N] [--double] "
                          "[index=value ...]");
    const std::string& pluginPath = arguments.positional()[0];
    const std::string& inPath = arguments.positional()[1];
    const std::string& outPath = arguments.positional()[2];
    long block = 0;
    if (!arguments.integer("--block", 512, 1, 1 << 20, block, error)) return usageError(error);
    const bool doublePrecision = arguments.flag("--double");

    AudioData input;
    if (!readAudioFile(inPath, input, error)) return fail("cannot read '" + inPath + "': " + error);
    if (input.channels > 2)
        return fail("cannot render '" + inPath + "': " + std::to_string(input.channels) +
                    " channels (mono or stereo only)");
    double rate = 0.0;
    if (!arguments.number("--rate", input.sampleRate, 1.0, 1e7, rate, error)) return usageError(error);

    std::unique_ptr<Plugin> plugin = Plugin::load(pluginPath, error);
    if (!plugin) return fail(error);
    if (!plugin->canReplace(doublePrecision, error)) return fail("'" + pluginPath + "': " + error);
    if (plugin->effect().numOutputs < 1) return fail("'" + pluginPath + "' has no outputs");

    if (!plugin->setParameters(arguments.settings(), error)) return fail(error);
    plugin->start(static_cast<float>(rate), static_cast<VstInt32>(block), doublePrecision);
    const auto blockFrames = static_cast<std::size_t>(block);
    const AudioData output = doublePrecision ? renderThrough<double>(*plugin, input, blockFrames)
                                             : renderThrough<float>(*plugin, input, blockFrames);
    plugin->stop();
    if (!writeAudioFile(outPath, output, doublePrecision ? SampleFormat::Float64 : SampleFormat::Float32, error))
        return fail("cannot write '" + outPath + "': " + error);
    return 0;
}

} // namespace tarn
