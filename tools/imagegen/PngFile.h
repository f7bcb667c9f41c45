#pragma once
#include <string>

#include "tools/imagegen/Image.h"

namespace tarn {

// Write 8-bit PNG files: a palette image with no transparency, or RGBA. They carry no time
// or text chunks, so the same pixels always give the same file. Answer false on failure.
bool writePng(const std::string& path, const PalettedImage& image);
bool writePng(const std::string& path, const RgbaImage& image);

} // namespace tarn
