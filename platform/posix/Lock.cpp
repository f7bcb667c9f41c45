#include "platform/Lock.h"

#include <mutex>

namespace tarn {

struct Lock::Impl {
    std::recursive_mutex mutex;
};

Lock::Lock() : impl(std::make_unique<Impl>()) {}
Lock::~Lock() = default;

void Lock::enter() { impl->mutex.lock(); }
void Lock::leave() { impl->mutex.unlock(); }

} // namespace tarn
