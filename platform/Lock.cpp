#include "platform/Lock.h"

namespace tarn {

namespace {

// Turns a waiter spins before it sleeps: some tens of microseconds, longer than the engine lock
// is normally held (a frame, a block, a copy of the display fields), because going to sleep and
// being woken again can take longer than that on a busy machine.
constexpr int kSpinTurns = 2000;

} // namespace

void Lock::enterHeld() {
    const std::uintptr_t self = currentThread();
    if (owner.load(std::memory_order_relaxed) == self) {
        ++depth;
        return;
    }
    bool taken = false;
    for (int turn = 0; turn < kSpinTurns && !taken; ++turn) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
        taken = held.load(std::memory_order_relaxed) == 0 && held.exchange(1, std::memory_order_acquire) == 0;
    }
    if (!taken) {
        waiters.fetch_add(1, std::memory_order_seq_cst);
        sleepUntilTaken();
        waiters.fetch_sub(1, std::memory_order_relaxed);
    }
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
}

} // namespace tarn
