#pragma once
#include <string>

#include "tools/imagegen/Image.h"

namespace tarn {

// Writes a picture of the editor's static parts as the editor lays them out: the background,
// the seven knobs at their default values and their texts. For judging the images by eye.
bool writePreview(const std::string& path, const PalettedImage& background, const RgbaImage& knobStrip);

} // namespace tarn
