#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <string>

#include "gui/CFontDesc.h"

namespace VSTGUI {

// A GDI+ font for a font description, sized in pixels; a family the system lacks falls back
// to a metric-compatible one or the generic sans serif. Text is laid out typographically (no padding), so widths and
// positions match the glyphs.
class GdiplusFont {
public:
    explicit GdiplusFont(const CFontDesc& description);
    ~GdiplusFont();
    GdiplusFont(const GdiplusFont&) = delete;
    GdiplusFont& operator=(const GdiplusFont&) = delete;

    bool isValid() const { return font != nullptr; }
    double measure(Gdiplus::GpGraphics* graphics, const std::wstring& text) const;
    // Draws text with its left end at x and its baseline at baseline.
    void draw(Gdiplus::GpGraphics* graphics, const std::wstring& text, double x, double baseline,
              Gdiplus::GpBrush* brush) const;

private:
    Gdiplus::GpFontFamily* family = nullptr;
    Gdiplus::GpFont* font = nullptr;
    Gdiplus::GpStringFormat* format = nullptr;
    double ascent = 0;
};

} // namespace VSTGUI
