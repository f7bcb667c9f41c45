#pragma once

namespace VSTGUI {

using CCoord = double;

// A position in pixels, x to the right and y downwards.
struct CPoint {
    CPoint(CCoord x = 0, CCoord y = 0) : x(x), y(y) {}

    CPoint& offset(CCoord dx, CCoord dy) {
        x += dx;
        y += dy;
        return *this;
    }
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const CPoint& other) const { return !(*this == other); }

    CCoord x;
    CCoord y;
};

} // namespace VSTGUI
