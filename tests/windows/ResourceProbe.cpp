#include <cstddef>

#include "platform/ModuleInstance.h"
#include "platform/Resource.h"
#include "platform/platform.h"

// A DLL with the module entry and a "PNG" resource of its own: the lookups seen from inside a module.
extern "C" TARN_EXPORT void* probeModuleInstance() { return tarn::moduleInstance; }

extern "C" TARN_EXPORT const unsigned char* probePng(int number, std::size_t* size) {
    const tarn::ResourceBytes found = tarn::findPngResource(number);
    *size = found.size;
    return found.data;
}
