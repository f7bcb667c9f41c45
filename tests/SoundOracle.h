#pragma once
// What any compressor must do to every sample, whatever its settings and the signal: it never
// makes a sample louder than the input through the input and output gain stages, and never
// turns its sign. The same oracle serves the sound tests and the fuzzers.
#include <algorithm>
#include <cmath>

namespace tarn::oracle {

// The amplitude of a gain stage set to `db`, taken within the knob's range of -24 to +24 dB.
inline double gainOfDb(double db) { return std::pow(10.0, std::clamp(db, -24.0, 24.0) / 20.0); }
// The same for a normalised parameter value (0 is -24 dB, 1 is +24 dB).
inline double gainOfNormalised(double v) { return gainOfDb(v * 48.0 - 24.0); }

// Whether `out` can be what a compressor with gain stages `gains` (input gain times output
// gain) makes of `in`. Non-finite input counts as silence and input beyond 1e30 as 1e30, as
// the plug-in documents; rounding may add a part in a million.
inline bool keepsGainAndSign(double in, double out, double gains) {
    if (!std::isfinite(in)) return out == 0.0;
    if (out != 0.0 && (out > 0.0) != (in > 0.0)) return false;
    return std::fabs(out) <= std::min(std::fabs(in), 1e30) * gains * (1.0 + 1e-6);
}

} // namespace tarn::oracle
