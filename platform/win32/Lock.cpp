#include "platform/Lock.h"

#include <new>
#include <windows.h>

namespace tarn {

static_assert(sizeof(CRITICAL_SECTION) <= 64, "the critical section fits the lock's storage");

namespace {
CRITICAL_SECTION* sectionIn(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
} // namespace

Lock::Lock() { InitializeCriticalSection(new (storage) CRITICAL_SECTION); }
Lock::~Lock() { DeleteCriticalSection(sectionIn(storage)); }

void Lock::enter() { EnterCriticalSection(sectionIn(storage)); }
void Lock::leave() { LeaveCriticalSection(sectionIn(storage)); }

} // namespace tarn
