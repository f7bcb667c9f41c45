#include "views/DecibelHistory.h"

#include <algorithm>
#include <cmath>

namespace tarn {

namespace {

// A level that shows as the floor is 0 here, and every other one itself, so that levels equal
// here show alike. Levels up to 10^-6 (-120 dB), and levels that are not a number, show as the
// floor; a few just above it do too, and only cost a pass that draws the same picture.
double shownLevel(double level) { return level > 1e-6 ? level : 0.0; }

} // namespace

DecibelHistory::DecibelHistory()
    : db(std::make_unique<float[]>(kLength)), arrived(std::make_unique<double[]>(kLength)),
      incoming(std::make_unique<double[]>(kLength)) {
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
    // A copy that the audio thread's pushes overtook is taken again, whole.
    while (!history.copy(steps, count, incoming.get())) {
        steps = history.steps();
        count = kLength;
    }
    source = &history;
    copiedSteps = steps;
    // Unless every level showed alike, the levels that arrive move the others along.
    bool changed = count > 0 && alikeCount < kLength;
    for (int i = 0; i < count; ++i) {
        arrived[arrivedEnd] = incoming[i];
        arrivedEnd = arrivedEnd + 1 == kLength ? 0 : arrivedEnd + 1;
        const double shown = shownLevel(incoming[i]);
        if (shown == newestShown) {
            alikeCount = std::min(kLength, alikeCount + 1);
        } else {
            alikeCount = 1;
            newestShown = shown;
            changed = true;
        }
    }
    unconverted = std::min(kLength, unconverted + count);
    return changed;
}

void DecibelHistory::convert() const {
    float* out = db.get();
    std::copy(out + unconverted, out + kLength, out);
    int from = arrivedEnd - unconverted;
    if (from < 0) from += kLength;
    for (int i = kLength - unconverted; i < kLength; ++i) {
        out[i] = toDb(arrived[from]);
        from = from + 1 == kLength ? 0 : from + 1;
    }
    unconverted = 0;
}

} // namespace tarn
