#pragma once
#include "tools/imagegen/Image.h"

namespace tarn {

// The editor's 550 x 375 background: the shaded band behind the knobs, the brushed blue panel
// and the bevelled well behind the graph.
RgbImage drawBackground();

} // namespace tarn
