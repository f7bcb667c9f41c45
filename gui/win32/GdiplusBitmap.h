#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "gui/IPlatformBitmap.h"
#include "gui/win32/Win32Module.h"

namespace VSTGUI {

// A bitmap whose pixels live in our own memory, top row first, 32 bits with premultiplied
// alpha (GDI+'s PARGB, which is also a top-down 32-bit DIB's layout): GDI+ draws into them
// and the frame copies them to its window as they are.
class GdiplusBitmap : public IPlatformBitmap {
public:
    // A fully transparent bitmap; check isValid().
    GdiplusBitmap(int width, int height);
    ~GdiplusBitmap() override;
    GdiplusBitmap(const GdiplusBitmap&) = delete;
    GdiplusBitmap& operator=(const GdiplusBitmap&) = delete;

    bool isValid() const { return bitmap != nullptr; }
    CPoint getSize() const override { return CPoint(width, height); }
    std::unique_ptr<IPlatformBitmap> createScaledCopy(const CPoint& size) const override;
    Gdiplus::GpBitmap* getBitmap() const { return bitmap; }
    uint32_t* getPixels() { return pixels.data(); }
    const uint32_t* getPixels() const { return pixels.data(); }

private:
    Win32ModuleReference module;
    int width;
    int height;
    std::vector<uint32_t> pixels;
    Gdiplus::GpBitmap* bitmap = nullptr;
};

} // namespace VSTGUI
