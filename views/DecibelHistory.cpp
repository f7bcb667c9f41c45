#include "views/DecibelHistory.h"

#include <algorithm>
#include <cmath>

namespace tarn {

DecibelHistory::DecibelHistory()
    : db(std::make_unique<float[]>(kLength)), levels(std::make_unique<double[]>(kLength)) {
    std::fill_n(db.get(), kLength, kFloorDb);
}

float DecibelHistory::toDb(double level) {
    const float value = static_cast<float>(20.0 * std::log10(level));
    return value >= kFloorDb ? value : kFloorDb;
}

float DecibelHistory::toDb(float level) {
    const float value = 20.f * std::log10(level);
    return value >= kFloorDb ? value : kFloorDb;
}

bool DecibelHistory::update(const LevelHistory& history) {
    if (!history.allocated()) return false;
    std::uint64_t steps = history.steps();
    const bool sameHistory = source == &history && steps >= copiedSteps;
    const std::uint64_t fresh = sameHistory ? steps - copiedSteps : kLength;
    int count = fresh < static_cast<std::uint64_t>(kLength) ? static_cast<int>(fresh) : kLength;
    // Older entries move towards the start, the stale ones with them; the new levels take the end.
    float* out = db.get();
    double* waiting = levels.get();
    if (count < kLength) {
        std::copy(out + count, out + kLength, out);
        std::copy(waiting + count, waiting + kLength, waiting);
    }
    // A copy that the audio thread's pushes overtook is taken again, whole.
    while (!history.copy(steps, count, waiting + (kLength - count))) {
        steps = history.steps();
        count = kLength;
    }
    unconverted = std::min(kLength, unconverted + count);
    source = &history;
    copiedSteps = steps;
    return count > 0;
}

void DecibelHistory::convert() const {
    for (int i = kLength - unconverted; i < kLength; ++i) db[i] = toDb(levels[i]);
    unconverted = 0;
}

} // namespace tarn
