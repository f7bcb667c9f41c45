#include "views/DecibelHistory.h"

#include <algorithm>
#include <cmath>

namespace tarn {

DecibelHistory::DecibelHistory() : db(std::make_unique<float[]>(kLength)) { std::fill_n(db.get(), kLength, kFloorDb); }

float DecibelHistory::toDb(double level) {
    const float value = static_cast<float>(20.0 * std::log10(level));
    return value >= kFloorDb ? value : kFloorDb;
}

float DecibelHistory::toDb(float level) {
    const float value = 20.f * std::log10(level);
    return value >= kFloorDb ? value : kFloorDb;
}

void DecibelHistory::update(const LevelHistory& history) {
    const double* levels = history.data();
    if (!levels) return;
    const std::uint64_t steps = history.steps();
    const bool sameHistory = source == &history && steps >= copiedSteps;
    const std::uint64_t fresh = sameHistory ? steps - copiedSteps : kLength;
    const int count = fresh < static_cast<std::uint64_t>(kLength) ? static_cast<int>(fresh) : kLength;
    float* out = db.get();
    if (count < kLength) std::copy(out + count, out + kLength, out);
    for (int i = kLength - count; i < kLength; ++i) out[i] = toDb(levels[i]);
    source = &history;
    copiedSteps = steps;
}

} // namespace tarn
