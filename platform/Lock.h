#pragma once
#include <atomic>
#include <cstdint>

#include "platform/platform.h"

namespace tarn {

// A reentrant lock, made for the audio thread, which takes and leaves it around every frame:
// taking it when free is one atomic exchange, leaving it one release store and a load, with no
// call. The thread that holds it may enter again. A thread that finds it held by another spins
// for a moment (a bounded number of turns) and then sleeps in the operating system until the
// holder leaves (a futex on Linux, an event on Windows); nobody spins without bound.
class Lock {
public:
    // Throws std::bad_alloc when the operating system gives no wake-up event (Windows).
    Lock();
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void enter() {
        if (held.exchange(1, std::memory_order_acquire) != 0) {
            enterHeld();
            return;
        }
        owner.store(currentThread(), std::memory_order_relaxed);
        depth = 1;
    }

    void leave() {
        if (--depth != 0) return;
        owner.store(0, std::memory_order_relaxed);
        held.store(0, std::memory_order_release);
        // Keeps the compiler from loading `waiters` before the store above: a waiter that
        // raised the count in between would then sleep with nobody to wake it. It emits no
        // instruction; the processor's own reordering is the waiter's to deal with.
        std::atomic_signal_fence(std::memory_order_seq_cst);
        if (waiters.load(std::memory_order_relaxed) != 0) wakeWaiter();
    }

private:
    // The running thread's own control block (its thread environment block on Windows): one
    // register read, unique among running threads, never 0.
    static std::uintptr_t currentThread() {
#if defined(TARN_LINUX) && defined(__x86_64__)
        // The thread pointer: the block's first word points to the block itself. Read here
        // rather than through __builtin_thread_pointer, which GCC before 11 lacks on x86.
        std::uintptr_t block;
        __asm__("movq %%fs:0, %0" : "=r"(block));
        return block;
#elif defined(TARN_LINUX)
        return reinterpret_cast<std::uintptr_t>(__builtin_thread_pointer());
#elif defined(__x86_64__)
        std::uintptr_t block;
        __asm__("movq %%gs:0x30, %0" : "=r"(block));
        return block;
#else
        std::uintptr_t block;
        __asm__("movl %%fs:0x18, %0" : "=r"(block));
        return block;
#endif
    }
    // The slow path: entering again, or waiting for another holder, first spinning a moment.
    void enterHeld();
    // The operating system's part of waiting: sleeps until this thread has taken the lock.
    void sleepUntilTaken();
    // Wakes one sleeping waiter.
    void wakeWaiter();

    // 1 while some thread holds the lock (on Linux also the word waiters sleep on).
    std::atomic<std::uint32_t> held{0};
    // Threads inside enterHeld, waiting or about to; the holder wakes one on leaving.
    std::atomic<std::uint32_t> waiters{0};
    // The holding thread, 0 when free. Only the holder writes it.
    std::atomic<std::uintptr_t> owner{0};
    // How often the holder has entered; touched by the holder only.
    unsigned depth = 0;
#if defined(TARN_WINDOWS)
    // An auto-reset event that a leaving holder sets for a waiter.
    void* wakeEvent = nullptr;
#endif
};

// Holds a Lock for the life of a scope.
class LockGuard {
public:
    explicit LockGuard(Lock& l) : lock(l) { lock.enter(); }
    ~LockGuard() { lock.leave(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock;
};

} // namespace tarn
