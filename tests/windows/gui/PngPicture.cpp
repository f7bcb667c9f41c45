#include "tests/windows/gui/PngPicture.h"

namespace tarn {

using namespace Gdiplus::DllExports;

PngPicture::PngPicture(const std::string& path) {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    const std::wstring wide(path.begin(), path.end());
    if (GdipCreateBitmapFromFile(wide.c_str(), &bitmap) != Gdiplus::Ok) bitmap = nullptr;
}

PngPicture::~PngPicture() {
    if (bitmap) GdipDisposeImage(bitmap);
    Gdiplus::GdiplusShutdown(token);
}

int PngPicture::width() const {
    UINT value = 0;
    GdipGetImageWidth(bitmap, &value);
    return static_cast<int>(value);
}

int PngPicture::height() const {
    UINT value = 0;
    GdipGetImageHeight(bitmap, &value);
    return static_cast<int>(value);
}

uint32_t PngPicture::pixel(int x, int y) const {
    Gdiplus::ARGB colour = 0;
    GdipBitmapGetPixel(bitmap, x, y, &colour);
    return colour & 0xffffffu;
}

int PngPicture::lightPixels(int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const uint32_t p = pixel(x, y);
            count += (p >> 16 & 0xff) > 170 && (p >> 8 & 0xff) > 170 && (p & 0xff) > 170 ? 1 : 0;
        }
    }
    return count;
}

} // namespace tarn
