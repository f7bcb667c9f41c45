#pragma once
#include "tools/imagegen/Image.h"

namespace tarn {

constexpr int knobSize = 56;
constexpr int knobFrames = 100;
// The lit ring sweeps clockwise from the lower left (7:30) over the top to the lower right
// (4:30). Angles in degrees, clockwise from 3 o'clock, as on screen with y pointing down.
constexpr double sweepStart = 135;
constexpr double sweepLength = 270;

// The knob film strip: knobFrames frames of knobSize x knobSize, value 0 at the top; frame k
// is lit over k / (knobFrames - 1) of the sweep. Corners transparent. At scale 2 every length
// is twice as long, for screens with twice the pixels.
RgbaImage drawKnobStrip(int scale = 1);

} // namespace tarn
