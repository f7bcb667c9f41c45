#pragma once
#include <cstdint>

namespace VSTGUI {

// Names an embedded resource of the module by its number.
struct CResourceDescription {
    CResourceDescription(int32_t id = 0) : id(id) {}
    int32_t id;
};

} // namespace VSTGUI
