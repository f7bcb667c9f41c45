#pragma once
// Reading back pixels of the toolkit's Windows drawing surfaces.
#include "gui/CBitmap.h"
#include "gui/CColor.h"
#include "gui/win32/GdiplusBitmap.h"

// The pixel at x, y of a bitmap, un-premultiplied.
inline VSTGUI::CColor pixelAt(VSTGUI::CBitmap* bitmap, int x, int y) {
    auto* platform = static_cast<VSTGUI::GdiplusBitmap*>(bitmap->getPlatformBitmap());
    const uint32_t argb = platform->getPixels()[y * static_cast<int>(platform->getSize().x) + x];
    const unsigned alpha = argb >> 24;
    auto channel = [&](int shift) {
        const unsigned value = (argb >> shift) & 0xff;
        return static_cast<uint8_t>(alpha ? (value * 255 + alpha / 2) / alpha : 0);
    };
    return VSTGUI::CColor(channel(16), channel(8), channel(0), static_cast<uint8_t>(alpha));
}
