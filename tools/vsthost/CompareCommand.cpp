#include <cmath>
#include <cstdio>

#include "tools/vsthost/Arguments.h"
#include "tools/vsthost/AudioFile.h"
#include "tools/vsthost/Commands.h"

namespace tarn {

int runCompare(const std::vector<std::string>& args) {
    Arguments arguments;
    std::string error;
    if (!arguments.parse(args, {"--tolerance"}, {}, error)) return usageError(error);
    if (arguments.positional().size() != 2 || !arguments.settings().empty())
        return usageError("usage: vsthost compare <a.wav> <b.wav> [--tolerance X]");
    double tolerance = 0.0;
    if (!arguments.number("--tolerance", 0.0, 0.0, 1e300, tolerance, error)) return usageError(error);
    AudioData a;
    AudioData b;
    for (int i = 0; i < 2; ++i) {
        const std::string& path = arguments.positional()[static_cast<std::size_t>(i)];
        if (!readAudioFile(path, i == 0 ? a : b, error)) return fail("cannot read '" + path + "': " + error);
    }
    if (a.sampleRate != b.sampleRate || a.channels != b.channels || a.frames() != b.frames())
        return fail("the files differ in shape: " + std::to_string(a.frames()) + " and " + std::to_string(b.frames()) +
                    " frames, " + std::to_string(a.channels) + " and " + std::to_string(b.channels) + " channels, " +
                    std::to_string(a.sampleRate) + " and " + std::to_string(b.sampleRate) + " Hz");
    // A sample that is not a number in one file only counts as an infinite difference.
    double largest = 0.0;
    std::size_t where = 0;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        const double x = a.samples[i];
        const double y = b.samples[i];
        double difference = std::fabs(x - y);
        if (std::isnan(x) || std::isnan(y)) difference = std::isnan(x) && std::isnan(y) ? 0.0 : INFINITY;
        else if (x == y) difference = 0.0;
        if (difference > largest) {
            largest = difference;
            where = i;
        }
    }
    const auto channels = static_cast<std::size_t>(a.channels);
    std::printf("compared %lu frames of %d channels: largest difference %.6g", static_cast<unsigned long>(a.frames()),
                a.channels, largest);
    if (largest > 0.0)
        std::printf(" (%.3g dBFS) at frame %lu channel %lu", 20.0 * std::log10(largest),
                    static_cast<unsigned long>(where / channels), static_cast<unsigned long>(where % channels));
    std::printf("\n");
    if (largest > tolerance) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", tolerance);
        return fail(std::string("the files differ by more than ") + limit);
    }
    return 0;
}

} // namespace tarn
