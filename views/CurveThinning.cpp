#include "views/CurveThinning.h"

#include <algorithm>

namespace tarn {

int thinCurve(const float* xy, int count, float* out) {
    int kept = 0;
    const auto keep = [&](int i) {
        out[2 * kept] = xy[2 * i];
        out[2 * kept + 1] = xy[2 * i + 1];
        ++kept;
    };
    const auto columnOf = [&](int i) { return static_cast<int>(xy[2 * i]); };
    for (int first = 0; first < count;) {
        const int column = columnOf(first);
        int low = first, high = first, last = first;
        while (last + 1 < count && columnOf(last + 1) == column) {
            ++last;
            if (xy[2 * last + 1] < xy[2 * low + 1]) low = last;
            if (xy[2 * last + 1] > xy[2 * high + 1]) high = last;
        }
        const int earlier = std::min(low, high), later = std::max(low, high);
        keep(first);
        if (earlier != first && earlier != last) keep(earlier);
        if (later != earlier && later != first && later != last) keep(later);
        if (last != first) keep(last);
        first = last + 1;
    }
    return kept;
}

} // namespace tarn
