#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace tarn {

// A reentrant lock made for the audio thread, which takes it for a run of frames and lets a
// waiting thread in between any two of them (FastSide::asked), while other threads take it
// rarely (a program change, an activation). A waiting thread therefore gets in within a frame,
// as if the audio thread took the lock around every frame, and the audio thread pays one load
// per frame.
//
// It is asymmetric. The audio thread claims the fast side once per block (FastSide, one atomic
// exchange); within the block its entry is a plain store of `fastInside` and a load of
// `slowSide`, its leave a plain store and a load: no atomic read-modify-write, no fence, no
// call. Every other entry (enter(), from any thread) is the slow side: it takes the gate, a
// mutex that orders the slow sides among themselves, marks `slowSide` asking, runs a
// process-wide memory barrier (membarrier on Linux, FlushProcessWriteBuffers on Windows),
// marks it inside, fences, and waits, asleep after a moment, until the fast side is out.
//
// Why the fast side needs no fence of its own: the barrier makes every running thread of the
// process execute a full fence (a thread not running has passed one in its context switch).
// Where that fence falls in the audio thread's "store fastInside; load slowSide", either the
// store comes before it, and the slow side, loading fastInside after the barrier, sees the
// audio thread inside and waits; or the load comes after it and sees the slow side's mark.
// Both may see each other, never neither. Seeing the mark, the audio thread fences itself
// (this rare case only) and looks again: while the slow side is still asking, its own fence
// after marking itself inside and the audio thread's fence make a plain two-fence exclusion,
// so the audio thread may go in, and the slow side will find it inside and wait. Only a slow
// side marked inside makes the audio thread back off: it lowers fastInside and takes the gate
// instead, as a slow side would, for that frame. So the audio thread never waits through the
// barrier, only through a slow side's own short section. The same argument covers the leave:
// an audio thread that misses the mark on leaving has its lowered fastInside seen by the slow
// side, so a sleeping slow side is always woken.
//
// Waiting: the audio thread backs off by spinning a moment for the slow side to leave, then
// sleeping on the gate. On Linux the gate inherits priority, so a real-time audio thread lends
// its priority to the user-interface thread that holds the gate, which then cannot be kept
// off the processor by other work while the audio thread waits.
//
// Without the process-wide barrier (a kernel without membarrier) the fast side fences itself:
// correct, at the old cost. Under wine, whose FlushProcessWriteBuffers does nothing, the barrier
// is made another way (platform/win32/Lock.cpp).
class Lock {
public:
    // Throws std::bad_alloc when the operating system gives no gate or wake-up event.
    Lock();
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    // The slow side, from any thread, also for entering again.
    void enter();

    // Leaves the way the outermost entry came in.
    void leave() {
        if (--depth != 0) return;
        owner.store(0, std::memory_order_relaxed);
        if (!fastHeld) {
            leaveSlow();
            return;
        }
        fastInside.store(0, std::memory_order_release);
        lightBarrier();
        if (slowSide.load(std::memory_order_relaxed) != kFree) wakeSlow();
    }

    // Holds the fast side for a scope: the calling thread's enter() and leave() through it are
    // the cheap ones. A second thread that asks while one holds it (two threads processing at
    // once) takes the slow side instead, correct and slower.
    class FastSide {
    public:
        explicit FastSide(Lock& l) : lock(l), claimed(l.claimFast()), watched(claimed ? &l.slowSide : &neverAsked) {}
        ~FastSide() {
            if (claimed) lock.fastClaim.store(false, std::memory_order_release);
        }
        FastSide(const FastSide&) = delete;
        FastSide& operator=(const FastSide&) = delete;

        void enter() {
            if (claimed) lock.enterFast();
            else lock.enter();
        }
        void leave() { lock.leave(); }

        // Whether another thread waits to enter: the holder then leaves and enters again, which
        // lets it in. One plain load. A thread without the claim holds the lock on the slow side,
        // where the answer would always be yes; it keeps the lock for its run instead.
        bool asked() const { return watched->load(std::memory_order_relaxed) != kFree; }

    private:
        Lock& lock;
        const bool claimed;
        // The slow side's mark when claimed, else a word that stays free: asked() is one load.
        const std::atomic<std::uint32_t>* const watched;
    };

private:
    struct Gate;

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

    bool claimFast() { return !fastClaim.exchange(true, std::memory_order_acquire); }

    // Only the thread holding the fast claim calls this.
    void enterFast() {
        const std::uintptr_t self = currentThread();
        if (owner.load(std::memory_order_relaxed) == self) {
            ++depth;
            return;
        }
        fastInside.store(1, std::memory_order_relaxed);
        lightBarrier();
        if (slowSide.load(std::memory_order_acquire) != kFree) {
            enterFastContended(self);
            return;
        }
        owner.store(self, std::memory_order_relaxed);
        depth = 1;
        fastHeld = true;
    }

    // The fast side's half of the barrier: the compiler keeps the store before it ahead of the
    // load after it; the processor's reordering is the slow side's barrier to undo.
    void lightBarrier() const {
        if (fenceFastSide) std::atomic_thread_fence(std::memory_order_seq_cst);
        else std::atomic_signal_fence(std::memory_order_seq_cst);
    }

    // The fast side met a slow one: goes in while the slow one is still asking, or backs off
    // and takes the gate (see the top of the class).
    void enterFastContended(std::uintptr_t self);
    void leaveSlow();
    // Waits, spinning a moment and then asleep, until the fast side is out.
    void waitForFastSide();

    // The operating system's parts.
    void lockGate();
    bool tryLockGate();
    void unlockGate();
    // Whether the process-wide barrier below works here; asked once per process.
    static bool processBarrierAvailable();
    // Runs a full memory fence on every running thread of the process.
    static void processBarrier();
    // Sleeps while fastInside is 1 (or a little: wake-ups may be spurious).
    void sleepWhileFastInside();
    void wakeSlow();

    // 1 while the fast side is inside or entering; written by the fast-side holder only.
    std::atomic<std::uint32_t> fastInside{0};
    // Where the slow side holding the gate stands; written by the gate's holder only.
    enum : std::uint32_t { kFree, kAsking, kInside };
    std::atomic<std::uint32_t> slowSide{kFree};
    // What a FastSide without the claim watches instead: never asking.
    static inline const std::atomic<std::uint32_t> neverAsked{kFree};
    // Taken by the FastSide in force.
    std::atomic<bool> fastClaim{false};
    // The holding thread, 0 when free. Only the holder writes it.
    std::atomic<std::uintptr_t> owner{0};
    // How often the holder has entered, and whether it came in on the fast side; touched by the
    // holder only.
    unsigned depth = 0;
    bool fastHeld = false;
    // Set once: whether the fast side must fence itself, having no process-wide barrier.
    bool fenceFastSide = false;
    std::unique_ptr<Gate> gate;
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
