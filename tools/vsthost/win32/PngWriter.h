#pragma once
#include <cstdint>
#include <string>

namespace tarn {

// Writes 32-bit pixels (0x00RRGGBB, top row first, width pixels a row) as a PNG file with
// GDI+'s encoder. False with a one-line reason when it cannot.
bool writePng(const std::string& path, const uint32_t* pixels, int width, int height, std::string& error);

} // namespace tarn
