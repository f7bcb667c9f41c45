#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

namespace tarn {

// The last `kLength` levels, oldest first, in a ring.
//
// The audio thread pushes; the editor copies the newest levels while it does, holding nothing
// the audio thread needs. A push announces its step in `startedSteps` before it writes and
// publishes it in `stepCount` after, both plain stores on x86. A reader takes steps(), copies,
// and checks afterwards (copy()) whether a push started meanwhile that could have overwritten
// what it copied; only then does it copy again. Only the audio thread (or a thread holding the
// engine lock) pushes and resets.
class LevelHistory {
public:
    static constexpr int kLength = 1500;

    // Allocates (or clears) the storage: kLength zero levels. Counts as kLength steps, since
    // every level changes.
    void reset();

    // Drops the oldest level and appends `level` as the newest.
    void push(double level) {
        const std::uint64_t step = stepCount.load(std::memory_order_relaxed);
        startedSteps.store(step + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        buffer[head].store(level, std::memory_order_relaxed);
        head = head + 1 == kLength ? 0 : head + 1;
        stepCount.store(step + 1, std::memory_order_release);
    }

    // Steps published so far, from any thread. A reader that remembers the count converts only
    // the levels that arrived since (the newest steps() - remembered ones) and shifts the rest.
    std::uint64_t steps() const { return stepCount.load(std::memory_order_acquire); }

    // From any thread: the `count` (at most kLength) levels that end at step `end`, an answer
    // of steps(), oldest first, into `out`. False when pushes since may have overwritten some
    // of them while they were read: the reader then asks again with a newer end.
    bool copy(std::uint64_t end, int count, double* out) const;

    // Index 0 is the oldest level, kLength - 1 the newest. On the pushing thread.
    double operator[](int i) const {
        const int at = head + i;
        return buffer[at < kLength ? at : at - kLength].load(std::memory_order_relaxed);
    }
    int size() const { return kLength; }
    bool allocated() const { return buffer != nullptr; }

private:
    std::unique_ptr<std::atomic<double>[]> buffer;
    // Where the next push writes: stepCount modulo kLength. Pushing thread only.
    int head = 0;
    std::atomic<std::uint64_t> stepCount{0};
    std::atomic<std::uint64_t> startedSteps{0};
};

} // namespace tarn
