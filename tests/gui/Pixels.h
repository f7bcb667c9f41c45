#pragma once
// Reading back pixels of the toolkit's Linux drawing surfaces.
#include <cairo.h>

#include "gui/CBitmap.h"
#include "gui/CColor.h"
#include "gui/linux/CairoBitmap.h"

// The pixel at x, y of a bitmap, un-premultiplied.
inline VSTGUI::CColor pixelAt(VSTGUI::CBitmap* bitmap, int x, int y) {
    cairo_surface_t* surface = static_cast<VSTGUI::CairoBitmap*>(bitmap->getPlatformBitmap())->getSurface();
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    const uint32_t argb = reinterpret_cast<const uint32_t*>(row)[x];
    const unsigned alpha = argb >> 24;
    auto channel = [&](int shift) {
        const unsigned value = (argb >> shift) & 0xff;
        return static_cast<uint8_t>(alpha ? (value * 255 + alpha / 2) / alpha : 0);
    };
    return VSTGUI::CColor(channel(16), channel(8), channel(0), static_cast<uint8_t>(alpha));
}
