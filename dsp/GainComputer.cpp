#include "dsp/GainComputer.h"

#include <cmath>
#include <limits>

namespace tarn {

void GainComputer::set(float threshold, float kneeStartValue, float ratio) {
    const bool knee = kneeActive(threshold, kneeStartValue);
    const double decision = knee ? kneeStartValue : threshold;
    // The square of a float is exact in double; past it, the next doubles whose roots still
    // round down to the level (one or two) belong below the bound too.
    constexpr double kUp = std::numeric_limits<double>::infinity();
    bound = decision * decision;
    while (std::sqrt(std::nextafter(bound, kUp)) <= decision) bound = std::nextafter(bound, kUp);

    inverseRatio = 1.0 / ratio;
    hardFactor = threshold * (1.0 - inverseRatio);
    soft = false;
    if (!knee) return;
    const float kneeEnd = std::min((threshold - kneeStartValue) + threshold, 1.0f);
    if (kneeEnd > kneeStartValue) {
        // The slope falls from 1 at the knee start to 1/s at the knee end; s makes full scale
        // land where a hard knee at the knee end would put it.
        const double b = kneeStartValue;
        const double s = (1.0 - b) / ((1.0 - kneeEnd) / ratio + kneeEnd - b);
        soft = true;
        kneeStart = b;
        inverseKneeWidth = 1.0 / (kneeEnd - b);
        slopeMinusOne = s - 1.0;
    }
}

} // namespace tarn
