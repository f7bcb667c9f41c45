#pragma once
#include "dsp/ParameterTable.h"
#include "gui/vst3/Base.h"

namespace tarn::vst3 {

// The plug-in's state in the host's stream: the four bytes "tCmp", a 32-bit version (1), the
// number of values (7), then the seven normalised values as 32-bit floats, all little-endian.
// 40 bytes. A later version that keeps this layout in front would still be refused: a state
// is read only by the version that understands all of it.
constexpr std::uint32_t kStateVersion = 1;
constexpr int kStateBytes = 12 + 4 * kNumControls;

// False when the stream takes fewer bytes.
bool writeState(IBStream& stream, const float (&values)[kNumControls]);
// Reads a whole state into values; false, with values untouched, for a short, foreign,
// later-version or out-of-range state.
bool readState(IBStream& stream, float (&values)[kNumControls]);

} // namespace tarn::vst3
