#include "tools/vsthost/CurveMeasurement.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/vsthost/ChannelBuffers.h"

namespace tarn {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kLargestBlock = 512;
constexpr double kChunkMs = 50.0;
// Two chunks in a row this close in output level count as settled.
constexpr double kSettledDb = 0.01;
// A gain this much below the lowest level's is gain reduction.
constexpr double kReducedDb = 0.05;
// Steps whose settled reductions differ by less than this have no half-way time.
constexpr double kLeastStepDb = 0.1;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double powerDb(double power) { return power > 1e-30 ? 10.0 * std::log10(power) : -300.0; }

// Mean power of each period of the tone, at the input and across the first two outputs.
struct PeriodPowers {
    std::vector<double> in;
    std::vector<double> out;
};

// A tone of about 1 kHz whose period is a whole number of samples, so that the RMS of any
// whole number of periods is the tone's RMS exactly; or a constant. Blocks hold whole periods.
class ToneFeeder {
public:
    ToneFeeder(Plugin& plugin, const CurveOptions& options)
        : plugin(plugin),
          periodFrames(std::max<std::size_t>(4, static_cast<std::size_t>(std::lround(options.sampleRate / 1000.0)))),
          periodsPerBlock(std::max<std::size_t>(1, kLargestBlock / periodFrames)),
          in(plugin.effect().numInputs, periodFrames * periodsPerBlock),
          out(plugin.effect().numOutputs, periodFrames * periodsPerBlock),
          shape(periodFrames) {
        for (std::size_t i = 0; i < periodFrames; ++i)
            shape[i] =
                options.constant
                    ? 1.0
                    : std::sqrt(2.0) * std::sin(2.0 * kPi * static_cast<double>(i) / static_cast<double>(periodFrames));
    }

    std::size_t period() const { return periodFrames; }

    // Runs whole periods at the RMS amplitude and appends each period's powers.
    void run(double amplitude, std::size_t periods, PeriodPowers& powers) {
        const std::size_t right = plugin.effect().numOutputs >= 2 ? 1 : 0;
        while (periods > 0) {
            const std::size_t count = std::min(periods, periodsPerBlock);
            const std::size_t frames = count * periodFrames;
            for (std::size_t c = 0; c < in.channels(); ++c)
                for (std::size_t i = 0; i < frames; ++i)
                    in[c][i] = c < 2 ? static_cast<float>(amplitude * shape[i % periodFrames]) : 0.0f;
            plugin.process(in.data(), out.data(), static_cast<VstInt32>(frames));
            for (std::size_t p = 0; p < count; ++p) {
                double inSum = 0.0;
                double outSum = 0.0;
                for (std::size_t i = p * periodFrames; i < (p + 1) * periodFrames; ++i) {
                    const double l = out[0][i];
                    const double r = out[right][i];
                    inSum += static_cast<double>(in[0][i]) * in[0][i];
                    outSum += 0.5 * (l * l + r * r);
                }
                powers.in.push_back(inSum / static_cast<double>(periodFrames));
                powers.out.push_back(outSum / static_cast<double>(periodFrames));
            }
            periods -= count;
        }
    }

private:
    Plugin& plugin;
    std::size_t periodFrames;
    std::size_t periodsPerBlock;
    ChannelBuffers<float> in;
    ChannelBuffers<float> out;
    std::vector<double> shape;
};

// Mean power of the periods from `first` to the end.
double meanFrom(const std::vector<double>& powers, std::size_t first) {
    double sum = 0.0;
    for (std::size_t i = first; i < powers.size(); ++i) sum += powers[i];
    return sum / static_cast<double>(std::max<std::size_t>(1, powers.size() - first));
}

// Runs the tone at one level in chunks until the output level of two chunks in a row agrees,
// after at least the minimum time; the point is the last chunk's levels. Every period's powers
// are left in `powers`.
CurvePoint settle(ToneFeeder& feeder, double levelDb, const CurveOptions& options, PeriodPowers& powers) {
    const double periodMs = 1000.0 * static_cast<double>(feeder.period()) / options.sampleRate;
    const auto chunk = std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(kChunkMs / periodMs)));
    const double amplitude = std::pow(10.0, levelDb / 20.0);
    powers = PeriodPowers();
    double previousDb = kNaN;
    CurvePoint point;
    for (double elapsedMs = 0.0;;) {
        const std::size_t first = powers.out.size();
        feeder.run(amplitude, chunk, powers);
        elapsedMs += static_cast<double>(chunk) * periodMs;
        point = {powerDb(meanFrom(powers.in, first)), powerDb(meanFrom(powers.out, first))};
        const bool steady = std::fabs(point.outDb - previousDb) < kSettledDb;
        if ((steady && elapsedMs >= options.minimumSettleMs) || elapsedMs >= options.maximumSettleMs) return point;
        previousDb = point.outDb;
    }
}

double gainDb(const CurvePoint& point) { return point.outDb - point.inDb; }

double thresholdOf(const std::vector<CurvePoint>& points) {
    for (std::size_t i = 1; i < points.size(); ++i)
        if (gainDb(points[i]) < gainDb(points[0]) - kReducedDb) return points[i - 1].inDb;
    return kNaN;
}

// The first time, in ms after the step, at which the reduction has come half-way from start
// to end, interpolated between the values (each at the middle of its period).
double halfWay(const StepResponse& step) {
    if (std::fabs(step.endDb - step.startDb) < kLeastStepDb) return kNaN;
    const double half = 0.5 * (step.startDb + step.endDb);
    const double direction = step.endDb > step.startDb ? 1.0 : -1.0;
    double previousMs = 0.0;
    double previousDb = step.startDb;
    for (std::size_t k = 0; k < step.reductionDb.size(); ++k) {
        const double ms = (static_cast<double>(k) + 0.5) * step.msPerValue;
        const double db = step.reductionDb[k];
        if ((db - half) * direction >= 0.0)
            return previousMs + (ms - previousMs) * (half - previousDb) / (db - previousDb);
        previousMs = ms;
        previousDb = db;
    }
    return kNaN;
}

// Steps from the level just settled to another one and follows the gain reduction, relative to
// the reference gain, until it settles there; `level` becomes the new settled level.
StepResponse stepTo(ToneFeeder& feeder, CurvePoint& level, double toDb, double referenceGainDb,
                    const CurveOptions& options) {
    StepResponse step;
    step.fromDb = level.inDb;
    step.msPerValue = 1000.0 * static_cast<double>(feeder.period()) / options.sampleRate;
    step.startDb = referenceGainDb - gainDb(level);
    PeriodPowers powers;
    level = settle(feeder, toDb, options, powers);
    step.toDb = level.inDb;
    step.endDb = referenceGainDb - gainDb(level);
    for (std::size_t k = 0; k < powers.out.size(); ++k)
        step.reductionDb.push_back(referenceGainDb - (powerDb(powers.out[k]) - powerDb(powers.in[k])));
    step.halfWayMs = halfWay(step);
    return step;
}

}  // namespace

CurveMeasurement measureCurve(Plugin& plugin, const CurveOptions& options) {
    ToneFeeder feeder(plugin, options);
    CurveMeasurement curve;
    PeriodPowers powers;
    const auto steps = static_cast<int>(std::floor((options.highestDb - options.lowestDb) / options.stepDb + 1e-9));
    for (int i = 0; i <= steps; ++i)
        curve.points.push_back(settle(feeder, options.lowestDb + i * options.stepDb, options, powers));
    curve.thresholdDb = thresholdOf(curve.points);

    // From 10 dB below the threshold to 20 dB above it, within the measured range.
    const bool compresses = !std::isnan(curve.thresholdDb);
    const double lowDb = compresses ? std::max(options.lowestDb, curve.thresholdDb - 10.0) : -40.0;
    const double highDb = compresses ? std::min(options.highestDb, curve.thresholdDb + 20.0) : -10.0;
    CurvePoint level = settle(feeder, lowDb, options, powers);
    const double referenceGainDb = gainDb(level);
    curve.attack = stepTo(feeder, level, highDb, referenceGainDb, options);
    curve.release = stepTo(feeder, level, lowDb, referenceGainDb, options);
    return curve;
}

}  // namespace tarn
