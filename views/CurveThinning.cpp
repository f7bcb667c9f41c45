#include "views/CurveThinning.h"

#include <algorithm>

namespace tarn {

int thinCurve(const float* xy, int count, float* out, float columnWidth) {
    int kept = 0;
    const auto keep = [&](int i) {
        out[2 * kept] = xy[2 * i];
        out[2 * kept + 1] = xy[2 * i + 1];
        ++kept;
    };
    const auto columnOf = [&](int i) { return static_cast<int>(xy[2 * i] / columnWidth); };
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

int straightenCurve(const float* xy, int count, float tolerance, float* out) {
    if (count <= 0) return 0;
    int kept = 0;
    int from = 0;
    float fromX = 0.f, fromY = 0.f;
    // Reads the point before writing it: `out` may be `xy`, and never gets ahead of the reading.
    const auto keep = [&](int i) {
        fromX = xy[2 * i];
        fromY = xy[2 * i + 1];
        out[2 * kept] = fromX;
        out[2 * kept + 1] = fromY;
        ++kept;
        from = i;
    };
    keep(0);
    // The slopes from the last kept point that pass within tolerance of every point since.
    constexpr float kOpen = 1e30f;
    float low = -kOpen, high = kOpen;
    const auto reaches = [&](float x, float y) {
        const float dx = x - fromX;
        if (!(dx > 0.f)) return false;
        const float slope = (y - fromY) / dx;
        return slope >= low && slope <= high;
    };
    for (int i = 1; i < count; ++i) {
        const float x = xy[2 * i], y = xy[2 * i + 1];
        if (i > from + 1 && !reaches(x, y)) {
            // No segment from the last kept point reaches this one: it ends at the point before.
            keep(i - 1);
            low = -kOpen;
            high = kOpen;
        }
        const float dx = x - fromX;
        if (!(dx > 0.f)) {
            // A step straight up or down keeps both its ends.
            keep(i);
            continue;
        }
        low = std::max(low, (y - tolerance - fromY) / dx);
        high = std::min(high, (y + tolerance - fromY) / dx);
    }
    if (from != count - 1) keep(count - 1);
    return kept;
}

} // namespace tarn
