#include "dsp/LevelHistory.h"

namespace tarn {

void LevelHistory::reset() {
    if (!buffer) buffer = std::make_unique<double[]>(2 * kLength);
    for (int i = 0; i < 2 * kLength; ++i) buffer[i] = 0.0;
    head = 0;
    stepCount += kLength;
}

} // namespace tarn
