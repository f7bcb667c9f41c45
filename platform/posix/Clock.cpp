#include "platform/Clock.h"

#include <cerrno>
#include <ctime>

namespace tarn {

namespace {

class MonotonicClock : public Clock {
public:
    std::uint32_t tickCount() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        // Truncated to 32 bits like the Windows tick count: it wraps, and callers cope.
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                          static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
    }

    void sleep(std::uint32_t milliseconds) override {
        timespec rest{static_cast<time_t>(milliseconds / 1000u), static_cast<long>(milliseconds % 1000u) * 1000000L};
        while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
        }
    }
};

} // namespace

Clock& Clock::system() {
    static MonotonicClock clock;
    return clock;
}

} // namespace tarn
