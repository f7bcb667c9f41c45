#include "tools/vsthost/win32/PngWriter.h"

#include <windows.h>
#include <gdiplus.h>

#include <vector>

#include "tools/vsthost/win32/WideText.h"

namespace tarn {

using namespace Gdiplus::DllExports;

namespace {

bool pngEncoder(CLSID& encoder) {
    UINT count = 0;
    UINT bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
    std::vector<unsigned char> storage(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
    if (GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wstring(codecs[i].MimeType) == L"image/png") {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

} // namespace

bool writePng(const std::string& path, const uint32_t* pixels, int width, int height, std::string& error) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        error = "cannot start GDI+";
        return false;
    }
    CLSID encoder{};
    Gdiplus::GpBitmap* bitmap = nullptr;
    bool written = false;
    if (!pngEncoder(encoder)) {
        error = "GDI+ has no PNG encoder";
    } else if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB,
                                         reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)),
                                         &bitmap) != Gdiplus::Ok) {
        error = "cannot make a bitmap of the pixels";
        bitmap = nullptr;
    } else if (GdipSaveImageToFile(bitmap, widen(path).c_str(), &encoder, nullptr) != Gdiplus::Ok) {
        error = "cannot write '" + path + "'";
    } else {
        written = true;
    }
    if (bitmap) GdipDisposeImage(bitmap);
    Gdiplus::GdiplusShutdown(token);
    return written;
}

} // namespace tarn
