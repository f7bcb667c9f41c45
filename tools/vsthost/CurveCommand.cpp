#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/vsthost/Commands.h"
#include "tools/vsthost/CurveMeasurement.h"
#include "tools/vsthost/CurvePlot.h"
#include "tools/vsthost/Plugin.h"

namespace tarn {

namespace {

// The settings as given, each followed by the plug-in's own text for it where it has one.
std::string settingsText(Plugin& plugin, const std::vector<ParameterSetting>& settings) {
    std::string text;
    for (const ParameterSetting& setting : settings) {
        char given[48];
        std::snprintf(given, sizeof given, "%d=%g", setting.index, static_cast<double>(setting.value));
        const std::string display = plugin.text(effGetParamDisplay, setting.index);
        const std::string label = plugin.text(effGetParamLabel, setting.index);
        text += (text.empty() ? "" : " ") + std::string(given);
        if (!display.empty()) text += " (" + display + (label.empty() ? "" : " " + label) + ")";
    }
    return text.empty() ? "defaults" : text;
}

std::string halfWayText(double ms) {
    if (std::isnan(ms)) return "none (the gain reduction hardly changes)";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", ms);
    return text;
}

void printStep(const char* name, const StepResponse& step) {
    std::printf("%s: %.1f dB to %.1f dB, gain reduction %.2f dB to %.2f dB, half-way after %s\n", name,
                tidy(step.fromDb, 0.1), tidy(step.toDb, 0.1), tidy(step.startDb, 0.01), tidy(step.endDb, 0.01),
                halfWayText(step.halfWayMs).c_str());
}

void print(const CurveMeasurement& curve) {
    if (std::isnan(curve.thresholdDb))
        std::printf("threshold: none (no level reduces the gain)\n");
    else
        std::printf("threshold: %.1f dB (the highest level still at the gain of the lowest)\n",
                    tidy(curve.thresholdDb, 0.1));
    std::printf("%8s %8s %8s\n", "in dB", "out dB", "gain dB");
    for (const CurvePoint& p : curve.points)
        std::printf("%8.2f %8.2f %8.2f\n", tidy(p.inDb, 0.01), tidy(p.outDb, 0.01), tidy(p.outDb - p.inDb, 0.01));
    printStep("attack", curve.attack);
    printStep("release", curve.release);
}

}  // namespace

int runCurve(const std::vector<std::string>& args) {
    Arguments arguments;
    std::string error;
    if (!arguments.parse(args, {"--rate", "--signal", "--settle", "--png", "--title"}, {}, error))
        return usageError(error);
    if (arguments.positional().size() != 1)
        return usageError(
            "usage: vsthost curve <plugin> [--rate HZ] [--signal sine|constant] [--settle MS] "
            "[--png out.png] [--title TEXT] [index=value ...]");
    CurveOptions options;
    if (!arguments.number("--rate", 44100.0, 8000.0, 1e6, options.sampleRate, error) ||
        !arguments.number("--settle", 500.0, 50.0, 60000.0, options.minimumSettleMs, error))
        return usageError(error);
    options.maximumSettleMs = std::max(options.maximumSettleMs, options.minimumSettleMs);
    const std::string signal = arguments.text("--signal", "sine");
    if (signal != "sine" && signal != "constant") return usageError("--signal takes sine or constant");
    options.constant = signal == "constant";
    const std::string& path = arguments.positional()[0];

    std::unique_ptr<Plugin> plugin = Plugin::load(path, error);
    if (!plugin) return fail(error);
    if (!plugin->canReplace(false, error)) return fail("'" + path + "': " + error);
    if (plugin->effect().numOutputs < 1) return fail("'" + path + "' has no outputs");
    if (!plugin->setParameters(arguments.settings(), error)) return fail(error);
    const std::string settings = settingsText(*plugin, arguments.settings());

    plugin->start(static_cast<float>(options.sampleRate), 512, false);
    const CurveMeasurement curve = measureCurve(*plugin, options);
    plugin->stop();

    std::printf("curve of %s at %g Hz, %s; %s\n", plugin->text(effGetEffectName).c_str(), options.sampleRate,
                options.constant ? "a constant" : "a sine of about 1 kHz", settings.c_str());
    std::printf(
        "levels are RMS in dB, a constant of 1.0 being 0 dB; gain reduction is relative to the gain at "
        "%.1f dB; half-way is half the change of the gain reduction in dB\n",
        curve.points.front().inDb);
    print(curve);
    const std::string png = arguments.text("--png", "");
    const std::string title = arguments.text("--title", plugin->text(effGetEffectName) + ": " + settings);
    if (!png.empty() && !writeCurvePlot(curve, title, png, error)) return fail(error);
    return 0;
}

}  // namespace tarn
