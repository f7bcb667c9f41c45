#include "platform/ModuleInstance.h"

namespace tarn {

void* moduleInstance = nullptr;

} // namespace tarn
