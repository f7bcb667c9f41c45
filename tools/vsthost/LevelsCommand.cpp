#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/vsthost/Arguments.h"
#include "tools/vsthost/AudioFile.h"
#include "tools/vsthost/Commands.h"

namespace tarn {

namespace {

constexpr double kWindowSeconds = 0.1;
// Windows quieter than this are taken as silence, not as the quiet end of the material.
constexpr double kSilenceDb = -90.0;

double decibels(double amplitude) { return amplitude > 0.0 ? std::max(-120.0, 20.0 * std::log10(amplitude)) : -120.0; }

struct Levels {
    double peak = 0.0;
    double rms = 0.0;
    double loudest = -120.0;  // dB, the loudest 100 ms window
    double quietest = 0.0;    // dB, the quietest window that is not silence
};

// Peak and RMS over all channels, and the RMS of the loudest and quietest 100 ms windows.
Levels measure(const AudioData& audio) {
    Levels levels;
    const std::size_t channels = static_cast<std::size_t>(audio.channels);
    const std::size_t window = std::max<std::size_t>(1, static_cast<std::size_t>(kWindowSeconds * audio.sampleRate));
    double total = 0.0;
    double windowSum = 0.0;
    bool anyWindow = false;
    for (std::size_t frame = 0; frame < audio.frames(); ++frame) {
        for (std::size_t c = 0; c < channels; ++c) {
            const double s = audio.samples[frame * channels + c];
            levels.peak = std::max(levels.peak, std::fabs(s));
            total += s * s;
            windowSum += s * s;
        }
        if ((frame + 1) % window == 0) {
            const double db = decibels(std::sqrt(windowSum / static_cast<double>(window * channels)));
            levels.loudest = std::max(levels.loudest, db);
            if (db > kSilenceDb) levels.quietest = anyWindow ? std::min(levels.quietest, db) : db;
            anyWindow = anyWindow || db > kSilenceDb;
            windowSum = 0.0;
        }
    }
    const double samples = static_cast<double>(std::max<std::size_t>(1, audio.samples.size()));
    levels.rms = std::sqrt(total / samples);
    if (!anyWindow) levels.quietest = -120.0;
    return levels;
}

} // namespace

int runLevels(const std::vector<std::string>& args) {
    Arguments arguments;
    std::string error;
    if (!arguments.parse(args, {}, {}, error)) return usageError(error);
    if (arguments.positional().empty() || !arguments.settings().empty())
        return usageError("usage: vsthost levels <file.wav> [<file.wav> ...]");
    std::printf("%-28s %10s %10s %12s %12s %10s\n", "file", "peak dBFS", "RMS dBFS", "loudest dB", "quietest dB",
                "range dB");
    for (const std::string& path : arguments.positional()) {
        AudioData audio;
        if (!readAudioFile(path, audio, error)) return fail("cannot read '" + path + "': " + error);
        const Levels l = measure(audio);
        std::printf("%-28s %10.1f %10.1f %12.1f %12.1f %10.1f\n", path.c_str(), decibels(l.peak), decibels(l.rms),
                    l.loudest, l.quietest, l.loudest - l.quietest);
    }
    return 0;
}

} // namespace tarn
