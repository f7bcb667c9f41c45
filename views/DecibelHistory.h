#pragma once
#include <cstdint>
#include <memory>

#include "dsp/LevelHistory.h"

namespace tarn {

// The display's copy of a level history: its levels as decibels, oldest first, floored at
// kFloorDb. An update, which may run while the audio thread pushes, only copies the levels
// that arrived since the previous one, into a ring; shifting the others along and converting
// the new ones wait until they are first read. The result is the same as converting every
// level afresh, and an update is a short copy of the new levels instead of up to 1500
// logarithms (the first update after the editor opens).
class DecibelHistory {
public:
    static constexpr int kLength = LevelHistory::kLength;
    static constexpr float kFloorDb = -120.f;

    // kLength entries of kFloorDb. Throws std::bad_alloc. Not for use from several threads.
    DecibelHistory();
    DecibelHistory(const DecibelHistory&) = delete;
    DecibelHistory& operator=(const DecibelHistory&) = delete;

    // Follows history; the first update, one from another history and one after more than
    // kLength steps take every level. Answers whether what it shows changed: levels that
    // arrive showing the same as every level shown (a host that keeps processing silence)
    // change nothing.
    bool update(const LevelHistory& history);

    float operator[](int i) const { return data()[i]; }
    const float* data() const {
        if (unconverted > 0) convert();
        return db.get();
    }

    // 20·log10(level) in double precision, stored as float; levels of 0 (minus infinity),
    // below the floor or not a number give kFloorDb.
    static float toDb(double level);
    // The same in single precision, for the threshold lines.
    static float toDb(float level);

private:
    void convert() const;

    // The newest `unconverted` entries of db are stale: they are shown after shifting the
    // others towards the start, from the newest levels of the ring `arrived`, which ends
    // before arrivedEnd.
    std::unique_ptr<float[]> db;
    std::unique_ptr<double[]> arrived;
    // The levels an update copies, before they enter the ring.
    std::unique_ptr<double[]> incoming;
    int arrivedEnd = 0;
    mutable int unconverted = 0;
    // How many of the newest levels show as the newest does (kLength: all of them), and what
    // that is: the level, or 0 for a level that shows as the floor.
    int alikeCount = kLength;
    double newestShown = 0.0;
    const LevelHistory* source = nullptr;
    std::uint64_t copiedSteps = 0;
};

} // namespace tarn
