#include "editor/RefreshPacer.h"

void RefreshPacer::pace() {
    const double now = static_cast<double>(clock.tickCount()) * 12.0;
    const double period = 1000.0 / frameRate * 12.0;
    // A slot can lie at most two periods ahead (the second refresh right after the first). A wait
    // longer than that was computed across a wrap or a backward jump of the clock: it is not slept.
    // A late call gets no wait at all; the first refresh does not wait either.
    const double ahead = period - (now - frameStart);
    std::int32_t wait = 0;
    if (frameStart != 0.0 && ahead <= 2.0 * period + 1.0) wait = ahead > 0.0 ? static_cast<std::int32_t>(ahead) : -1;

    if (wait > 0) {
        clock.sleep(static_cast<std::uint32_t>(wait / 12));
        sleepRemainder += wait % 12;
    }
    if (sleepRemainder / 12 > 0) {
        clock.sleep(static_cast<std::uint32_t>(sleepRemainder / 12));
        sleepRemainder %= 12;
    }

    if (frameStart == 0.0)
        frameStart = now + period;
    else if (wait > 0)
        frameStart += period;
    else
        frameStart = now;
}
