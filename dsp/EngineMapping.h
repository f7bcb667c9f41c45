#pragma once

namespace tarn {

struct CompressorEngine;

// Applies normalised value v of parameter index to the engine's settings; indices other than
// 0 to 6 change nothing. Any thread, without the engine lock: each setting is one atomic store,
// and the engine makes what depends on several of them (the knee's start from threshold and
// knee) itself. Allocates nothing. Values are taken within the parameter's range; a mapping that
// is not a number leaves its setting as it was.
void applyParameter(CompressorEngine& engine, int index, float v);

} // namespace tarn
