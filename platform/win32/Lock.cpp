#include "platform/Lock.h"

#include <windows.h>

namespace tarn {

struct Lock::Impl {
    CRITICAL_SECTION section;
};

Lock::Lock() : impl(std::make_unique<Impl>()) { InitializeCriticalSection(&impl->section); }
Lock::~Lock() { DeleteCriticalSection(&impl->section); }

void Lock::enter() { EnterCriticalSection(&impl->section); }
void Lock::leave() { LeaveCriticalSection(&impl->section); }

} // namespace tarn
