#pragma once
#include <cmath>

namespace tarn {

// The S-shaped attack and release curve 1 / (1 + exp(5 - 10 count / duration)), from 0.0066929
// at count 0 through 0.5 at duration / 2 to 0.9933071 at duration.
//
// A running phase advances its count by one per frame, so the exponential is carried from frame
// to frame by one multiplication, exp(5 - 10 (n + 1) / D) = exp(5 - 10 n / D) x exp(-10 / D),
// instead of an exp call per frame; the factor exp(-10 / D) is made once per duration, by
// stepFor. Any other step (a new phase starting at 1, a count that no longer grows, a changed
// duration) computes the exponential afresh. Over a whole curve the carried value stays within
// about 1e-10 (relative) of the direct formula. Audio thread only.
class LogisticCurve {
public:
    // The curve's end: a completed attack or release holds it for as long as the phase lasts.
    static double end() { return 1.0 / (1.0 + std::exp(-5.0)); }

    // The factor that carries the exponential one count on, for a phase of `duration` frames.
    static double stepFor(float duration) { return std::exp(-10.0 / duration); }

    // The curve at `count` (0 or more) for a phase of `duration` frames (more than 0), with
    // `step` = stepFor(duration).
    double at(float count, float duration, double step) {
        if (count == duration) return settled;
        if (duration != lastDuration) {
            lastDuration = duration;
            lastCount = kNoCount;
        }
        exponential = count - lastCount == 1.0f ? exponential * step : std::exp(5.0 - 10.0 * count / duration);
        lastCount = count;
        return 1.0 / (1.0 + exponential);
    }

private:
    double settled = end();
    // exp(5 - 10 lastCount / lastDuration).
    double exponential = 0.0;
    // Counts are never negative, so none follows this one: a curve starts afresh on first use.
    // (The difference, not lastCount + 1, is compared: past 2^24 a float count stops growing.)
    static constexpr float kNoCount = -2.0f;
    float lastCount = kNoCount;
    float lastDuration = 0.0f;
};

} // namespace tarn
