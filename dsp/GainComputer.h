#pragma once
#include <algorithm>

namespace tarn {

// The static gain curve of the compressor: the gain for an input level while the output level
// is over the decision level, with a hard knee at the threshold or a soft knee from the knee
// start. Everything that depends only on threshold, knee start and ratio is worked out by
// set(), so that a frame needs one division. Levels are linear amplitudes.
class GainComputer {
public:
    // Threshold and knee start from 0 up, ratio 1 or more.
    void set(float threshold, float kneeStart, float ratio);

    // True when the knee lies far enough below the threshold to be used.
    static bool kneeActive(float threshold, float kneeStart) { return threshold - kneeStart >= 0.0001f; }

    // The largest mean square whose square root is at most the decision level, so that
    // comparing a mean square with it decides exactly as comparing its root with the level.
    double overBound() const { return bound; }

    // The gain for input level x (above 0), never above 1.
    //   hard knee: ((x - A) / ratio + A) / x = 1 / ratio + A (1 - 1 / ratio) / x
    //   soft knee: (B + (x - B) / d) / x = (B d + x - B) / (x d), d = 1 + t (s - 1)
    // The phase is decided on the previous frame's output level, so x can lie below the knee
    // start or the threshold while the curve is in use (a dropped sample pulls the input level
    // down first). There the curve would boost: t below 0 takes d to 0 and past it, and the hard
    // knee's gain rises above 1. Holding t within 0 to 1 and the gain at 1 leaves such a level
    // untouched, as it is below the knee.
    double gain(double x) const {
        if (!soft) return std::min(inverseRatio + hardFactor / x, 1.0);
        const double t = std::clamp((x - kneeStart) * inverseKneeWidth, 0.0, 1.0);
        const double d = 1.0 + t * slopeMinusOne;
        return std::min((kneeStart * d + (x - kneeStart)) / (x * d), 1.0);
    }

private:
    double bound = 0.0;
    bool soft = false;
    double inverseRatio = 1.0;
    double hardFactor = 0.0;
    double kneeStart = 0.0;
    double inverseKneeWidth = 0.0;
    double slopeMinusOne = 0.0;
};

} // namespace tarn
