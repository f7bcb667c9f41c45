#include "platform/Lock.h"

#include <new>
#include <windows.h>

namespace tarn {

namespace {

// A waiter's sleeps are bounded, in milliseconds: see sleepUntilTaken.
constexpr DWORD kLongestSleepMs = 1;

} // namespace

Lock::Lock() : wakeEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (!wakeEvent) throw std::bad_alloc();
}

Lock::~Lock() { CloseHandle(wakeEvent); }

void Lock::sleepUntilTaken() {
    while (held.exchange(1, std::memory_order_acquire) != 0) {
        // leave() stores `held` and then loads `waiters` with no fence between, so its load
        // could be served before its store is seen, and miss the count raised before this call.
        // This call runs a full fence on every thread of the process, so either the holder's
        // store is visible to the check below, or the holder's load comes after our count is
        // raised and it sets the event, which stays set until we wait on it. That keeps the
        // fence, and its cost, off the audio thread's leave(). Wine has the call as a stub, so
        // there a wake-up can be missed: the bounded sleep covers that case.
        FlushProcessWriteBuffers();
        if (held.load(std::memory_order_relaxed) != 0) WaitForSingleObject(wakeEvent, kLongestSleepMs);
    }
}

void Lock::wakeWaiter() { SetEvent(wakeEvent); }

} // namespace tarn
