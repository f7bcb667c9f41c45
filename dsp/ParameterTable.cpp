#include "dsp/ParameterTable.h"

#include <cmath>
#include <initializer_list>

namespace tarn {

float defaultValue(std::int32_t index) {
    return index >= 0 && index < kNumControls ? kParameters[index].defaultValue : 0.0f;
}

float toNormalised(int index, float natural) {
    const ParameterInfo& p = kParameters[index];
    const float v = (natural - p.minimum) / (p.maximum - p.minimum);
    // The quotient's rounding can miss the one value that maps back exactly; it lies next to it.
    for (const float candidate : {v, std::nextafter(v, -INFINITY), std::nextafter(v, INFINITY)})
        if (toNatural(index, candidate) == natural) return candidate;
    return v;
}

} // namespace tarn
