#pragma once
#include <cstdint>

namespace tarn {

// A millisecond tick count and a sleep on the calling thread: the operating system's by
// default (GetTickCount and Sleep on Windows, a monotonic clock and nanosleep elsewhere);
// tests put a clock of their own in its place. The count may wrap around.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t tickCount() = 0;
    virtual void sleep(std::uint32_t milliseconds) = 0;

    // The operating system's clock; lives as long as the module.
    static Clock& system();
};

} // namespace tarn
