#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/Thread.h"
#include "tools/vsthost/ChannelBuffers.h"
#include "tools/vsthost/Commands.h"
#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/HostWindow.h"
#include "tools/vsthost/Plugin.h"
#include "tools/vsthost/SignalGenerator.h"

namespace tarn {

namespace {

using Clock = std::chrono::steady_clock;

// Plays the signal through processReplacing in real time, block by block, until stopped,
// as a host's audio thread does while the editor is open.
void playAudio(Plugin& plugin, Signal signal, double rate, std::size_t block, const std::atomic<bool>& running,
               long& blocks) {
    AEffect& e = plugin.effect();
    ChannelBuffers<float> in(e.numInputs, block);
    ChannelBuffers<float> out(e.numOutputs, block);
    // Two seconds looped: the phrase's loud note and its quiet one, a second each.
    const std::size_t period = static_cast<std::size_t>(2 * rate);
    const double frequency = signal == Signal::Phrase || signal == Signal::Plucks ? 110.0 : 1000.0;
    std::vector<std::vector<double>> source;
    for (int c = 0; c < 2; ++c) source.push_back(generateSignal(signal, 0.5, frequency, rate, c, period));
    const auto blockTime = std::chrono::duration<double>(static_cast<double>(block) / rate);
    auto due = Clock::now();
    std::size_t position = 0;
    for (blocks = 0; running.load(); ++blocks) {
        for (std::size_t c = 0; c < in.channels(); ++c)
            for (std::size_t i = 0; i < block; ++i)
                in[c][i] = c < 2 ? static_cast<float>(source[c][(position + i) % period]) : 0.f;
        position = (position + block) % period;
        plugin.process(in.data(), out.data(), static_cast<VstInt32>(block));
        due += std::chrono::duration_cast<Clock::duration>(blockTime);
        std::this_thread::sleep_until(due);
    }
}

} // namespace

int runEditor(const std::vector<std::string>& args) {
    Arguments arguments;
    std::string error;
    if (!arguments.parse(args, {"--seconds", "--screenshot", "--rate", "--block", "--signal", "--scale"}, {}, error))
        return usageError(error);
    if (arguments.positional().size() != 1)
        return usageError("usage: vsthost editor <plugin> [--seconds S] [--screenshot out.png] [--rate HZ] "
                          "[--block N] [--signal noise|sine|silence|phrase|bursts|plucks] [--scale F] [index=value ...]");
    double seconds = 0;
    double rate = 0;
    double scale = 0;
    long block = 0;
    Signal signal = Signal::Noise;
    if (!arguments.number("--seconds", 2.0, 0.0, 3600.0, seconds, error) ||
        !arguments.number("--rate", 44100.0, 1000.0, 1e6, rate, error) ||
        !arguments.integer("--block", 512, 1, 1 << 16, block, error) ||
        !arguments.number("--scale", 0.0, 0.0, 16.0, scale, error))
        return usageError(error);
    if (!parseSignal(arguments.text("--signal", "noise"), signal))
        return usageError("--signal takes noise, sine or silence");
    const std::string screenshot = arguments.text("--screenshot", "");
    const std::string& path = arguments.positional()[0];

    std::unique_ptr<Plugin> plugin = Plugin::load(path, error);
    if (!plugin) return fail(error);
    AEffect& e = plugin->effect();
    if (!(e.flags & effFlagsHasEditor)) return fail("'" + path + "' has no editor");
    if (!plugin->canReplace(false, error)) return fail("'" + path + "': " + error);
    if (!plugin->setParameters(arguments.settings(), error)) return fail(error);
    // The editor's scale, as hosts on high-resolution screens tell it (PreSonus's convention).
    if (scale > 0) plugin->dispatch(effVendorSpecific, CCONST('P', 'r', 'e', 'S'), CCONST('A', 'e', 'C', 's'), nullptr,
                                    static_cast<float>(scale));
    ERect* rect = nullptr;
    if (plugin->dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect)
        return fail("'" + path + "' gives no editor rectangle");
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    std::unique_ptr<HostWindow> window = HostWindow::create(width, height, "vsthost: " + path, error);
    if (!window) return fail(error);
    // The editor may ask for another size while it is open (a new scale).
    int shownWidth = width;
    int shownHeight = height;
    setSizeWindowHandler([&](int newWidth, int newHeight) {
        if (!window->resize(newWidth, newHeight)) return false;
        shownWidth = newWidth;
        shownHeight = newHeight;
        return true;
    });

    plugin->start(static_cast<float>(rate), static_cast<VstInt32>(block), false);
    std::atomic<bool> running{true};
    long blocks = 0;
    std::thread audio(playAudio, std::ref(*plugin), signal, rate, static_cast<std::size_t>(block), std::cref(running),
                      std::ref(blocks));

    long idles = 0;
    int status = 0;
    double uiSeconds = 0;
    double uiCpuSeconds = 0;
    if (plugin->dispatch(effEditOpen, 0, 0, window->handle()) == 0) {
        status = fail("'" + path + "' did not open its editor");
    } else {
        // About 60 idle calls per second, as hosts send effEditIdle from their user interface.
        const auto interval = std::chrono::microseconds(16667);
        const auto start = Clock::now();
        const double cpuStart = threadCpuSeconds();
        const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        for (auto due = start; Clock::now() < end || idles == 0; due += interval) {
            window->processEvents();
            plugin->dispatch(effEditIdle);
            ++idles;
            std::this_thread::sleep_until(due + interval);
        }
        uiCpuSeconds = threadCpuSeconds() - cpuStart;
        uiSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!screenshot.empty() && !window->saveScreenshot(screenshot, error)) status = fail(error);
        plugin->dispatch(effEditClose);
        window->processEvents();
    }
    setSizeWindowHandler({});
    running = false;
    audio.join();
    plugin->stop();
    if (status == 0) {
        std::printf("editor %d x %d, %ld idle calls, %ld audio blocks of %ld\n", shownWidth, shownHeight, idles, blocks,
                    block);
        std::printf("user-interface thread: %.1f%% of one core over %.1f s\n", 100.0 * uiCpuSeconds / uiSeconds,
                    uiSeconds);
    }
    return status;
}

} // namespace tarn
