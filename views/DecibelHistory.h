#pragma once
#include <cstdint>
#include <memory>

#include "dsp/LevelHistory.h"

namespace tarn {

// The display's copy of a level history: its levels as decibels, oldest first, floored at
// kFloorDb. An update converts only the levels that arrived since the previous one and
// shifts the others along, with the same result as converting every level afresh, so the
// caller holds the engine lock for a few microseconds instead of 1500 logarithms.
class DecibelHistory {
public:
    static constexpr int kLength = LevelHistory::kLength;
    static constexpr float kFloorDb = -120.f;

    // kLength entries of kFloorDb. Throws std::bad_alloc.
    DecibelHistory();
    DecibelHistory(const DecibelHistory&) = delete;
    DecibelHistory& operator=(const DecibelHistory&) = delete;

    // Follows history; the first update, one from another history and one after more than
    // kLength steps convert every level.
    void update(const LevelHistory& history);

    float operator[](int i) const { return db[i]; }
    const float* data() const { return db.get(); }

    // 20·log10(level) in double precision, stored as float; levels of 0 (minus infinity),
    // below the floor or not a number give kFloorDb.
    static float toDb(double level);
    // The same in single precision, for the threshold lines.
    static float toDb(float level);

private:
    std::unique_ptr<float[]> db;
    const LevelHistory* source = nullptr;
    std::uint64_t copiedSteps = 0;
};

} // namespace tarn
