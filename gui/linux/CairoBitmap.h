#pragma once
#include <cairo.h>

#include "gui/IPlatformBitmap.h"

namespace VSTGUI {

// A bitmap kept as a cairo image surface (32-bit, premultiplied alpha).
class CairoBitmap : public IPlatformBitmap {
public:
    // Takes over the surface's reference.
    explicit CairoBitmap(cairo_surface_t* surface) : surface(surface) {}
    ~CairoBitmap() override { cairo_surface_destroy(surface); }
    CairoBitmap(const CairoBitmap&) = delete;
    CairoBitmap& operator=(const CairoBitmap&) = delete;

    CPoint getSize() const override;
    std::unique_ptr<IPlatformBitmap> createScaledCopy(const CPoint& size) const override;
    cairo_surface_t* getSurface() const { return surface; }

private:
    cairo_surface_t* surface;
};

} // namespace VSTGUI
