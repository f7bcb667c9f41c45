#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "tools/vsthost/ChannelBuffers.h"
#include "tools/vsthost/Commands.h"
#include "tools/vsthost/Plugin.h"
#include "tools/vsthost/SignalGenerator.h"

namespace tarn {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kSineFrequency = 1000.0;
// The prepared loop of the signal: four seconds hold the whole phrase and two noise bursts.
constexpr double kLoopSeconds = 4.0;

struct Settings {
    double rate = 48000.0;
    std::size_t block = 512;
    double seconds = 10.0;
    Signal signal = Signal::Noise;
    double level = -6.0;
    // Many short passes make the best pass a figure that other load on the machine rarely reaches.
    int passes = 10;
};

// Nanoseconds per frame of each pass, after a warm-up pass. Each pass streams its share of the
// audio through the plug-in from a prepared loop of the signal (four seconds, whole blocks),
// handing the plug-in pointers into it as a host hands out its buffers.
template <typename Sample>
std::vector<double> measure(Plugin& plugin, const Settings& s) {
    AEffect& e = plugin.effect();
    const std::size_t loopBlocks = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(kLoopSeconds * s.rate / s.block)));
    const std::size_t loopFrames = loopBlocks * s.block;
    const double peak = std::pow(10.0, s.level / 20.0);
    std::vector<std::vector<Sample>> loop(static_cast<std::size_t>(std::max(e.numInputs, 2)));
    for (std::size_t c = 0; c < loop.size(); ++c) {
        const std::vector<double> signal = generateSignal(c < 2 ? s.signal : Signal::Silence, peak, kSineFrequency,
                                                          s.rate, static_cast<int>(c), loopFrames);
        loop[c].assign(signal.begin(), signal.end());
    }
    std::vector<Sample*> in(loop.size());
    ChannelBuffers<Sample> out(e.numOutputs, s.block);
    const auto blocksPerPass =
        std::max<std::size_t>(1, static_cast<std::size_t>(s.seconds * s.rate / s.passes / static_cast<double>(s.block)));
    std::size_t next = 0;
    auto runPass = [&]() {
        for (std::size_t b = 0; b < blocksPerPass; ++b) {
            for (std::size_t c = 0; c < in.size(); ++c) in[c] = loop[c].data() + next * s.block;
            plugin.process(in.data(), out.data(), static_cast<VstInt32>(s.block));
            next = (next + 1) % loopBlocks;
        }
    };
    runPass();
    std::vector<double> nsPerFrame;
    for (int pass = 0; pass < s.passes; ++pass) {
        const Clock::time_point begin = Clock::now();
        runPass();
        const std::chrono::duration<double, std::nano> took = Clock::now() - begin;
        nsPerFrame.push_back(took.count() / static_cast<double>(blocksPerPass * s.block));
    }
    return nsPerFrame;
}

} // namespace

int runBench(const std::vector<std::string>& args) {
    Arguments arguments;
    std::string error;
    if (!arguments.parse(args, {"--rate", "--block", "--seconds", "--passes", "--signal", "--level"}, {"--double"}, error))
        return usageError(error);
    if (arguments.positional().size() != 1)
        return usageError("usage: vsthost bench <plugin> [--rate HZ] [--block N] [--seconds S] [--passes N] "
                          "[--signal noise|sine|silence|phrase|bursts|plucks] [--level DBFS] [--double] [index=value ...]");
    Settings s;
    long block = 0;
    long passCount = 0;
    if (!arguments.number("--rate", 48000.0, 1.0, 1e7, s.rate, error) ||
        !arguments.integer("--block", 512, 1, 1 << 16, block, error) ||
        !arguments.integer("--passes", 10, 1, 100000, passCount, error) ||
        !arguments.number("--seconds", 10.0, 0.001, 1e5, s.seconds, error) ||
        !arguments.number("--level", -6.0, -1000.0, 100.0, s.level, error))
        return usageError(error);
    s.block = static_cast<std::size_t>(block);
    s.passes = static_cast<int>(passCount);
    const std::string signalName = arguments.text("--signal", "noise");
    if (!parseSignal(signalName, s.signal)) return usageError("unknown signal '" + signalName + "'");
    const bool doublePrecision = arguments.flag("--double");

    const std::string& pluginPath = arguments.positional()[0];
    std::unique_ptr<Plugin> plugin = Plugin::load(pluginPath, error);
    if (!plugin) return fail(error);
    if (!plugin->canReplace(doublePrecision, error)) return fail("'" + pluginPath + "': " + error);
    if (!plugin->setParameters(arguments.settings(), error)) return fail(error);
    plugin->start(static_cast<float>(s.rate), static_cast<VstInt32>(s.block), doublePrecision);
    std::vector<double> passes = doublePrecision ? measure<double>(*plugin, s) : measure<float>(*plugin, s);
    plugin->stop();

    std::sort(passes.begin(), passes.end());
    const double median = (passes[(passes.size() - 1) / 2] + passes[passes.size() / 2]) / 2.0;
    std::printf("bench: %s, %g Hz, blocks of %lu, %s at %g dBFS peak, %s, %g s of audio\n",
                plugin->text(effGetEffectName).c_str(), s.rate, static_cast<unsigned long>(s.block), signalName.c_str(), s.level,
                doublePrecision ? "processDoubleReplacing" : "processReplacing", s.seconds);
    std::printf("ns per frame: %.2f (median of %d passes; best %.2f, worst %.2f)\n", median, s.passes, passes.front(),
                passes.back());
    std::printf("real-time factor: %.0f\n", 1e9 / s.rate / median);
    return 0;
}

} // namespace tarn
