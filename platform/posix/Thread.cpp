#include "platform/Thread.h"

#include <pthread.h>

namespace tarn {

std::uint64_t currentThreadId() { return static_cast<std::uint64_t>(pthread_self()); }

} // namespace tarn
