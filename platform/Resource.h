#pragma once
#include <cstddef>

namespace tarn {

// Bytes embedded in the module. They live as long as the module; nothing to free.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The module's own resource of type "PNG" with this number (the module is `moduleInstance`).
// Empty when there is none.
ResourceBytes findPngResource(int number);

} // namespace tarn
