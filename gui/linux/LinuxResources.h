#pragma once
#include <cstdint>

namespace VSTGUI {

// Makes an embedded PNG image findable under its resource number; the bytes must live as
// long as the module. Called from generated files at start-up; a later registration of the
// same number replaces the earlier one.
void registerPNGResource(int32_t id, const unsigned char* data, uint32_t size);

} // namespace VSTGUI
