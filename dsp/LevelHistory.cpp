#include "dsp/LevelHistory.h"

namespace tarn {

void LevelHistory::reset() {
    if (!buffer) buffer = std::make_unique<std::atomic<double>[]>(kLength);
    const std::uint64_t step = stepCount.load(std::memory_order_relaxed) + kLength;
    startedSteps.store(step, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    for (int i = 0; i < kLength; ++i) buffer[i].store(0.0, std::memory_order_relaxed);
    head = 0;
    stepCount.store(step, std::memory_order_release);
}

bool LevelHistory::copy(std::uint64_t end, int count, double* out) const {
    const std::uint64_t first = end - static_cast<std::uint64_t>(count);
    int at = static_cast<int>(first % kLength);
    for (int i = 0; i < count; ++i) {
        out[i] = buffer[at].load(std::memory_order_relaxed);
        at = at + 1 == kLength ? 0 : at + 1;
    }
    // A level read here that a later push wrote makes that push's start visible below. The
    // push that starts step `first` + kLength is the first to overwrite anything copied.
    std::atomic_thread_fence(std::memory_order_acquire);
    return startedSteps.load(std::memory_order_relaxed) <= first + kLength;
}

} // namespace tarn
