#include "platform/Lock.h"

#include <new>
#include <windows.h>

namespace tarn {

namespace {

// A slow side's sleeps are bounded, in milliseconds, so that a wake-up set before the sleep
// began and taken by an earlier one costs at most this.
constexpr DWORD kLongestSleepMs = 1;

bool underWine() {
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

// wine (before 9) has FlushProcessWriteBuffers as a stub that does nothing. There the barrier
// is a page of our own, written (so that processors hold it in their address caches) and then
// taken out of reach: the system must drop it from the cache of every processor that runs one
// of our threads, and does so by interrupting each, and an interrupt orders the interrupted
// processor's memory accesses as a full fence does. One page for the process, one user at a time.
class BarrierPage {
public:
    BarrierPage() : page(VirtualAlloc(nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS)) {}
    ~BarrierPage() {
        if (page) VirtualFree(page, 0, MEM_RELEASE);
    }
    BarrierPage(const BarrierPage&) = delete;
    BarrierPage& operator=(const BarrierPage&) = delete;

    bool usable() const { return page != nullptr; }

    void run() {
        AcquireSRWLockExclusive(&turn);
        DWORD old;
        VirtualProtect(page, kSize, PAGE_READWRITE, &old);
        *static_cast<volatile char*>(page) = 1;
        VirtualProtect(page, kSize, PAGE_NOACCESS, &old);
        ReleaseSRWLockExclusive(&turn);
    }

private:
    static constexpr SIZE_T kSize = 4096;
    void* page;
    SRWLOCK turn = SRWLOCK_INIT;
};

BarrierPage& barrierPage() {
    static BarrierPage page;
    return page;
}

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

bool Lock::processBarrierAvailable() { return !underWine() || barrierPage().usable(); }

void Lock::processBarrier() {
    if (underWine()) barrierPage().run();
    else FlushProcessWriteBuffers();
}

void Lock::lockGate() { AcquireSRWLockExclusive(&gate->lock); }

bool Lock::tryLockGate() { return TryAcquireSRWLockExclusive(&gate->lock) != 0; }

void Lock::unlockGate() { ReleaseSRWLockExclusive(&gate->lock); }

void Lock::sleepWhileFastInside() {
    if (fastInside.load(std::memory_order_acquire) != 0) WaitForSingleObject(gate->wakeEvent, kLongestSleepMs);
}

void Lock::wakeSlow() { SetEvent(gate->wakeEvent); }

} // namespace tarn
