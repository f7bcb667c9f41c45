#pragma once
#include <cstdint>
#include <memory>

namespace tarn {

// The last `kLength` levels, oldest first, readable as one contiguous array.
// Every value is stored twice, `kLength` apart, so a step is two writes and an index move
// instead of shifting the whole array; the window [head, head + kLength) is always in order.
class LevelHistory {
public:
    static constexpr int kLength = 1500;

    // Allocates (or clears) the storage: kLength zero levels. Counts as kLength steps, since
    // every level changes.
    void reset();

    // Drops the oldest level and appends `level` as the newest.
    void push(double level) {
        buffer[head] = level;
        buffer[head + kLength] = level;
        head = head + 1 == kLength ? 0 : head + 1;
        ++stepCount;
    }

    // Steps taken since construction. A reader that remembers the count converts only the
    // levels that arrived since (the newest steps() - remembered ones) and shifts the rest.
    std::uint64_t steps() const { return stepCount; }

    // Index 0 is the oldest level, kLength - 1 the newest.
    double operator[](int i) const { return buffer[head + i]; }
    const double* data() const { return buffer.get() + head; }
    int size() const { return kLength; }

private:
    std::unique_ptr<double[]> buffer;
    int head = 0;
    std::uint64_t stepCount = 0;
};

} // namespace tarn
