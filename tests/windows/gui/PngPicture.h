#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>

namespace tarn {

// A PNG file decoded by GDI+, read pixel by pixel as 0xRRGGBB.
class PngPicture {
public:
    explicit PngPicture(const std::string& path);
    ~PngPicture();
    PngPicture(const PngPicture&) = delete;
    PngPicture& operator=(const PngPicture&) = delete;

    bool loaded() const { return bitmap != nullptr; }
    int width() const;
    int height() const;
    uint32_t pixel(int x, int y) const;
    // How many pixels of the rectangle have every channel above 170: text on the dark panels.
    int lightPixels(int left, int top, int right, int bottom) const;

private:
    ULONG_PTR token = 0;
    Gdiplus::GpBitmap* bitmap = nullptr;
};

} // namespace tarn
