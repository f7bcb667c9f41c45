#include "platform/Lock.h"

#include <new>
#include <windows.h>

namespace tarn {

namespace {

// Turns a waiter spins before it sleeps: some tens of microseconds, longer than the engine lock
// is normally held (a frame, a block, a copy of the display fields), because going to sleep and
// being woken again can take longer than that on a busy machine.
constexpr int kSpinTurns = 2000;
// A waiter's sleeps are bounded, in milliseconds: see enterHeld.
constexpr DWORD kLongestSleepMs = 1;

} // namespace

Lock::Lock() : wakeEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (!wakeEvent) throw std::bad_alloc();
}

Lock::~Lock() { CloseHandle(wakeEvent); }

void Lock::enterHeld() {
    const std::uintptr_t self = currentThread();
    if (owner.load(std::memory_order_relaxed) == self) {
        ++depth;
        return;
    }
    bool taken = false;
    for (int turn = 0; turn < kSpinTurns && !taken; ++turn) {
        YieldProcessor();
        taken = held.load(std::memory_order_relaxed) == 0 && held.exchange(1, std::memory_order_acquire) == 0;
    }
    if (!taken) {
        waiters.fetch_add(1, std::memory_order_seq_cst);
        while (held.exchange(1, std::memory_order_acquire) != 0) {
            // leave() stores `held` and then loads `waiters` with no fence between, so its load
            // could be served before its store is seen, and miss the count raised above. This
            // call runs a full fence on every thread of the process, so either the holder's
            // store is visible to the check below, or the holder's load comes after our count
            // is raised and it sets the event, which stays set until we wait on it. That keeps
            // the fence, and its cost, off the audio thread's leave(). Wine has the call as a
            // stub, so there a wake-up can be missed: the bounded sleep covers that case.
            FlushProcessWriteBuffers();
            if (held.load(std::memory_order_relaxed) != 0) WaitForSingleObject(wakeEvent, kLongestSleepMs);
        }
        waiters.fetch_sub(1, std::memory_order_relaxed);
    }
    owner.store(self, std::memory_order_relaxed);
    depth = 1;
}

void Lock::wakeWaiter() { SetEvent(wakeEvent); }

} // namespace tarn
