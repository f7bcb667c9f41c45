#include "platform/Thread.h"

#include <windows.h>

namespace tarn {

// The Windows thread id rather than the runtime's pthread_self, which allocates on the first call
// from a thread the runtime did not start (a host's audio thread).
std::uint64_t currentThreadId() { return GetCurrentThreadId(); }

} // namespace tarn
