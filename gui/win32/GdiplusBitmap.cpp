#include "gui/win32/GdiplusBitmap.h"

#include <shlwapi.h>

namespace VSTGUI {

using namespace Gdiplus::DllExports;

GdiplusBitmap::GdiplusBitmap(int width, int height) : width(width), height(height) {
    if (!module.held() || width < 1 || height < 1 || width > 32768 || height > 32768) return;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != Gdiplus::Ok)
        bitmap = nullptr;
}

GdiplusBitmap::~GdiplusBitmap() {
    if (bitmap) GdipDisposeImage(bitmap);
}

std::unique_ptr<IPlatformBitmap> GdiplusBitmap::createScaledCopy(const CPoint& size) const {
    auto copy = std::make_unique<GdiplusBitmap>(static_cast<int>(size.x), static_cast<int>(size.y));
    Gdiplus::GpGraphics* graphics = nullptr;
    if (!bitmap || !copy->isValid() || GdipGetImageGraphicsContext(copy->getBitmap(), &graphics) != Gdiplus::Ok)
        return nullptr;
    GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
    GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighQuality);
    GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
    // Mirrored beyond the edges, so that the filter does not fade the edges' pixels.
    Gdiplus::GpImageAttributes* attributes = nullptr;
    if (GdipCreateImageAttributes(&attributes) == Gdiplus::Ok)
        GdipSetImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
    const Gdiplus::Status status =
        GdipDrawImageRectRectI(graphics, bitmap, 0, 0, static_cast<INT>(size.x), static_cast<INT>(size.y), 0, 0, width,
                               height, Gdiplus::UnitPixel, attributes, nullptr, nullptr);
    if (attributes) GdipDisposeImageAttributes(attributes);
    GdipDeleteGraphics(graphics);
    if (status != Gdiplus::Ok) return nullptr;
    return copy;
}

std::unique_ptr<IPlatformBitmap> IPlatformBitmap::create(const CPoint& size) {
    auto bitmap = std::make_unique<GdiplusBitmap>(static_cast<int>(size.x), static_cast<int>(size.y));
    if (!bitmap->isValid()) return nullptr;
    return bitmap;
}

std::unique_ptr<IPlatformBitmap> IPlatformBitmap::createFromMemory(const void* data, uint32_t size) {
    if (!data || size == 0) return nullptr;
    // Holding the module while decoding keeps GDI+ running even when no editor is open.
    Win32ModuleReference module;
    if (!module.held()) return nullptr;
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(data), size);
    if (!stream) return nullptr;
    Gdiplus::GpBitmap* decoded = nullptr;
    std::unique_ptr<GdiplusBitmap> bitmap;
    UINT width = 0;
    UINT height = 0;
    if (GdipCreateBitmapFromStream(stream, &decoded) == Gdiplus::Ok && GdipGetImageWidth(decoded, &width) == Gdiplus::Ok &&
        GdipGetImageHeight(decoded, &height) == Gdiplus::Ok) {
        bitmap = std::make_unique<GdiplusBitmap>(static_cast<int>(width), static_cast<int>(height));
        // The decoder converts straight into our pixels.
        Gdiplus::Rect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        Gdiplus::BitmapData lock{};
        lock.Width = width;
        lock.Height = height;
        lock.Stride = static_cast<INT>(width * 4);
        lock.PixelFormat = PixelFormat32bppPARGB;
        lock.Scan0 = bitmap->isValid() ? bitmap->getPixels() : nullptr;
        if (!lock.Scan0 ||
            GdipBitmapLockBits(decoded, &area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                               PixelFormat32bppPARGB, &lock) != Gdiplus::Ok)
            bitmap.reset();
        else
            GdipBitmapUnlockBits(decoded, &lock);
    }
    if (decoded) GdipDisposeImage(decoded);
    stream->Release();
    return bitmap;
}

} // namespace VSTGUI
