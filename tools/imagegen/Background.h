#pragma once
#include "tools/imagegen/Image.h"

namespace tarn {

// The editor's 550 x 375 background: the shaded band behind the knobs, the brushed blue panel
// and the bevelled well behind the graph. At scale 2 it has twice the pixels each way: edges as
// sharp, gradients and the brushing as smooth.
RgbImage drawBackground(int scale = 1);

} // namespace tarn
