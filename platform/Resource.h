#pragma once
#include <cstddef>

#include "platform/platform.h"

namespace tarn {

// Bytes embedded in the module. They live as long as the module; nothing to free.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The module's own embedded image of type "PNG" with this number, or empty bytes when there is
// none. On Windows these are the module's resources (the module is `moduleInstance`); elsewhere
// they are the images registered at start-up by generated code (tools/EmbedPNG.cmake).
ResourceBytes findPngResource(int number);

#if !defined(TARN_WINDOWS)
// Makes an embedded PNG image findable under its number; the bytes must live as long as the
// module. A later registration of the same number replaces the earlier one.
void registerPngResource(int number, const unsigned char* data, std::size_t size);
#endif

} // namespace tarn
