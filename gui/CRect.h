#pragma once
#include <algorithm>

#include "gui/CPoint.h"

namespace VSTGUI {

// A rectangle in pixels: left and top inside, right and bottom just outside.
struct CRect {
    CRect(CCoord left = 0, CCoord top = 0, CCoord right = 0, CCoord bottom = 0)
        : left(left), top(top), right(right), bottom(bottom) {}
    CRect(const CPoint& origin, const CPoint& size)
        : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y) {}

    CCoord getWidth() const { return right - left; }
    CCoord getHeight() const { return bottom - top; }
    CRect& setWidth(CCoord width) {
        right = left + width;
        return *this;
    }
    CRect& setHeight(CCoord height) {
        bottom = top + height;
        return *this;
    }
    CPoint getTopLeft() const { return CPoint(left, top); }
    CPoint getSize() const { return CPoint(getWidth(), getHeight()); }
    CPoint getCenter() const { return CPoint(left + getWidth() / 2, top + getHeight() / 2); }
    bool isEmpty() const { return right <= left || bottom <= top; }

    CRect& offset(CCoord dx, CCoord dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
    CRect& inset(CCoord dx, CCoord dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
        return *this;
    }
    bool pointInside(const CPoint& where) const {
        return where.x >= left && where.x < right && where.y >= top && where.y < bottom;
    }
    bool rectOverlap(const CRect& other) const {
        return right > other.left && left < other.right && bottom > other.top && top < other.bottom;
    }
    bool rectInside(const CRect& other) const {
        return other.left >= left && other.right <= right && other.top >= top && other.bottom <= bottom;
    }
    // Shrinks this rectangle to its overlap with other (empty when they do not meet).
    CRect& bound(const CRect& other) {
        left = std::max(left, other.left);
        top = std::max(top, other.top);
        right = std::max(left, std::min(right, other.right));
        bottom = std::max(top, std::min(bottom, other.bottom));
        return *this;
    }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }

    CCoord left;
    CCoord top;
    CCoord right;
    CCoord bottom;
};

} // namespace VSTGUI
