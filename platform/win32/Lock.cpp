#include "platform/Lock.h"

#include <new>
#include <windows.h>

namespace tarn {

namespace {

// A slow side's sleeps are bounded, in milliseconds, so that a wake-up set before the sleep
// began and taken by an earlier one costs at most this.
constexpr DWORD kLongestSleepMs = 1;

} // namespace

struct Lock::Gate {
    Gate() : wakeEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        if (!wakeEvent) throw std::bad_alloc();
    }
    ~Gate() { CloseHandle(wakeEvent); }
    SRWLOCK lock = SRWLOCK_INIT;
    // An auto-reset event that the fast side sets for a sleeping slow side.
    HANDLE wakeEvent;
};

Lock::Lock() : fenceFastSide(!processBarrierAvailable()), gate(std::make_unique<Gate>()) {}

Lock::~Lock() = default;

bool Lock::processBarrierAvailable() {
    // wine has FlushProcessWriteBuffers as a stub that does nothing.
    static const bool available = !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    return available;
}

void Lock::processBarrier() { FlushProcessWriteBuffers(); }

void Lock::lockGate() { AcquireSRWLockExclusive(&gate->lock); }

bool Lock::tryLockGate() { return TryAcquireSRWLockExclusive(&gate->lock) != 0; }

void Lock::unlockGate() { ReleaseSRWLockExclusive(&gate->lock); }

void Lock::sleepWhileFastInside() {
    if (fastInside.load(std::memory_order_acquire) != 0) WaitForSingleObject(gate->wakeEvent, kLongestSleepMs);
}

void Lock::wakeSlow() { SetEvent(gate->wakeEvent); }

} // namespace tarn
