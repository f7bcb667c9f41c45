#include "platform/Lock.h"

namespace tarn {

namespace {

// Turns a slow side spins before it sleeps. The fast side holds the lock for one frame, a few
// tens of nanoseconds, so this is reached only when the audio thread was preempted inside one.
constexpr int kSpinTurns = 1000;

} // namespace

void Lock::enter() {
    const std::uintptr_t self = currentThread();
    if (owner.load(std::memory_order_relaxed) == self) {
        ++depth;
        return;
    }
    lockGate();
    slowWants.store(1, std::memory_order_relaxed);
    if (fenceFastSide) std::atomic_thread_fence(std::memory_order_seq_cst);
    else processBarrier();
    waitForFastSide();
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
    fastHeld = false;
}

void Lock::enterFastContended(std::uintptr_t self) {
    fastInside.store(0, std::memory_order_release);
    wakeSlow();
    // With the gate, no slow side is inside (each holds it throughout), and only this thread
    // writes fastInside, which stays 0: the lock is ours for this entry.
    lockGate();
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
    fastHeld = false;
}

void Lock::leaveSlow() {
    // Also after a fast side's back-off, where it is 0 already: only gate holders write it.
    slowWants.store(0, std::memory_order_release);
    unlockGate();
}

void Lock::waitForFastSide() {
    for (int turn = 0; fastInside.load(std::memory_order_acquire) != 0; ++turn) {
        if (turn < kSpinTurns) {
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        } else {
            sleepWhileFastInside();
        }
    }
}

} // namespace tarn
