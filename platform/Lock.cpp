#include "platform/Lock.h"

#include <chrono>

namespace tarn {

namespace {

// Turns a slow side spins before it sleeps. The fast side holds the lock for one frame, a few
// tens of nanoseconds, so this is reached only when the audio thread was preempted inside one.
constexpr int kSpinTurns = 1000;

// How long a backing-off fast side watches for the slow side to leave before it sleeps on the
// gate: longer than a slow side's section normally lasts, shorter than being woken can take.
constexpr std::chrono::microseconds kBackOffSpin{20};

void pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

} // namespace

void Lock::enter() {
    const std::uintptr_t self = currentThread();
    if (owner.load(std::memory_order_relaxed) == self) {
        ++depth;
        return;
    }
    lockGate();
    slowSide.store(kAsking, std::memory_order_release);
    if (fenceFastSide) std::atomic_thread_fence(std::memory_order_seq_cst);
    else processBarrier();
    slowSide.store(kInside, std::memory_order_release);
    std::atomic_thread_fence(std::memory_order_seq_cst);
    waitForFastSide();
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
    fastHeld = false;
}

void Lock::enterFastContended(std::uintptr_t self) {
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (slowSide.load(std::memory_order_acquire) != kInside) {
        owner.store(self, std::memory_order_relaxed);
        depth = 1;
        fastHeld = true;
        return;
    }
    fastInside.store(0, std::memory_order_release);
    wakeSlow();
    const auto until = std::chrono::steady_clock::now() + kBackOffSpin;
    bool taken = false;
    for (int turn = 1; !taken; ++turn) {
        pause();
        if (slowSide.load(std::memory_order_relaxed) != kInside) taken = tryLockGate();
        if (turn % 16 == 0 && std::chrono::steady_clock::now() > until) break;
    }
    // With the gate, no slow side is inside (each holds it throughout), and only this thread
    // writes fastInside, which stays 0: the lock is ours for this entry.
    if (!taken) lockGate();
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
    fastHeld = false;
}

void Lock::leaveSlow() {
    // Also after a fast side's back-off, where it is free already: only gate holders write it.
    slowSide.store(kFree, std::memory_order_release);
    unlockGate();
}

void Lock::waitForFastSide() {
    for (int turn = 0; fastInside.load(std::memory_order_acquire) != 0; ++turn) {
        if (turn < kSpinTurns) pause();
        else sleepWhileFastInside();
    }
}

} // namespace tarn
