#pragma once

namespace tarn {

struct CompressorEngine;

// Applies normalised value v of parameter index to the engine's parameter fields; indices other
// than 0 to 6 change nothing. The knee starts below the threshold, so parameters 1 and 2 both
// set it from threshold and knee, the current normalised values of both (v among them).
// Any thread, without the engine lock: each field is one atomic store. Allocates nothing.
// A mapping that is not a number leaves its field as it was; anything else is kept finite.
void applyParameter(CompressorEngine& engine, int index, float v, float threshold, float knee);

} // namespace tarn
