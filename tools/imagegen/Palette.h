#pragma once
#include "tools/imagegen/Image.h"

namespace tarn {

// Reduces an image to at most 256 colours. An image with that few colours keeps them exactly;
// otherwise median cut picks the palette, always splitting the box with the widest range of
// one channel, so that thin gradients keep their steps however few pixels they cover.
PalettedImage toPalette(const RgbImage& image);

} // namespace tarn
