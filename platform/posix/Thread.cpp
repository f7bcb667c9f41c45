#include "platform/Thread.h"

#include <pthread.h>
#include <time.h>

namespace tarn {

std::uint64_t currentThreadId() { return static_cast<std::uint64_t>(pthread_self()); }

double threadCpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9;
}

} // namespace tarn
