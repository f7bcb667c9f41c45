#pragma once
#include <cstdint>

namespace VSTGUI {

struct ResourceBytes {
    const void* data = nullptr;
    uint32_t size = 0;
};

// The module's embedded PNG image with this number, or empty bytes when there is none.
// Each platform supplies it: a table registered at start-up on Linux, the module's "PNG"
// resources on Windows.
ResourceBytes findPNGResource(int32_t id);

} // namespace VSTGUI
