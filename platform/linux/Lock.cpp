#include "platform/Lock.h"

#include <ctime>
#include <linux/futex.h>
#include <linux/membarrier.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarn {

namespace {

// Without the process-wide barrier a waker could miss a sleeper, so sleeps are then bounded.
constexpr long kFallbackSleepNs = 200000;

// Whether this process may use the expedited process-wide memory barrier; registered once.
bool processBarrierAvailable() {
    static const bool available =
        syscall(SYS_membarrier, MEMBARRIER_CMD_REGISTER_PRIVATE_EXPEDITED, 0, 0) == 0;
    return available;
}

} // namespace

Lock::Lock() { processBarrierAvailable(); }

Lock::~Lock() = default;

void Lock::sleepUntilTaken() {
    const bool barrier = processBarrierAvailable();
    const timespec bound{0, kFallbackSleepNs};
    while (held.exchange(1, std::memory_order_acquire) != 0) {
        // leave() stores `held` and then loads `waiters` with no fence between, so its load
        // could be served before its store is seen, and miss the count raised before this call.
        // This barrier runs a full fence on every running thread of the process, so either the
        // holder's store is visible before the futex checks `held`, or the holder's load comes
        // after our count is raised and it wakes us. That keeps the fence, and its cost, off
        // the audio thread's leave() and on the waiting thread.
        if (barrier) syscall(SYS_membarrier, MEMBARRIER_CMD_PRIVATE_EXPEDITED, 0, 0);
        syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&held), FUTEX_WAIT_PRIVATE, 1u, barrier ? nullptr : &bound,
                nullptr, 0);
    }
}

void Lock::wakeWaiter() {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&held), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

} // namespace tarn
