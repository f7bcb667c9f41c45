#pragma once
#include <cstdint>

#include "platform/Clock.h"

// Holds the editor's refreshes to frameRate per second on a millisecond clock. Times are kept in
// twelfths of a millisecond; the fractions that millisecond sleeps leave out are collected and
// slept once they add up to a whole millisecond. User-interface thread only.
class RefreshPacer {
public:
    explicit RefreshPacer(tarn::Clock& clock, double frameRate = 60.7777) : frameRate(frameRate), clock(clock) {}

    // Sleeps until the current refresh slot is due, then moves on to the next slot. A caller
    // slower than frameRate is not slowed further: the slots restart from the time of the call.
    void pace();

    double frameRate;
    // Start of the current slot; 0 before the first refresh.
    double frameStart = 0.0;
    std::int32_t sleepRemainder = 0;

private:
    tarn::Clock& clock;
};
