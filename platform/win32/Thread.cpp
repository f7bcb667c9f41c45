#include "platform/Thread.h"

#include <windows.h>

namespace tarn {

// The Windows thread id rather than the runtime's pthread_self, which allocates on the first call
// from a thread the runtime did not start (a host's audio thread).
std::uint64_t currentThreadId() { return GetCurrentThreadId(); }

double threadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0.0;
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    // FILETIME counts 100-nanosecond intervals.
    return (ticks(kernel) + ticks(user)) * 1e-7;
}

} // namespace tarn
