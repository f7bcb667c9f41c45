#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "gui/COffscreenContext.h"
#include "gui/win32/Win32Module.h"

namespace VSTGUI {

// Draws with GDI+ into a bitmap. Pixel x spans coordinates x to x + 1, as in the Linux
// drawing, and odd line widths are centred on them so that 1-pixel lines cover whole
// pixels. Every primitive is clipped to the clip rectangle; text is antialiased in grey
// levels, which suits a transparent surface.
class GdiplusContext : public COffscreenContext {
public:
    explicit GdiplusContext(CBitmap* bitmap);
    ~GdiplusContext() override;
    GdiplusContext(const GdiplusContext&) = delete;
    GdiplusContext& operator=(const GdiplusContext&) = delete;

    bool isValid() const { return graphics != nullptr; }

    void endDraw() override;
    void drawLine(const CPoint& start, const CPoint& end) override;
    void drawRect(const CRect& rect, CDrawStyle drawStyle = kDrawStroked) override;
    void clearRect(const CRect& rect) override;
    void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(0, 0),
                    float alpha = 1.f) override;
    void drawString(UTF8StringPtr string, const CRect& rect, CHoriTxtAlign hAlign = kCenterText,
                    bool antialias = true) override;
    CCoord getStringWidth(UTF8StringPtr string) override;

private:
    void applyClip(const CRect* within = nullptr);

    Win32ModuleReference module;
    Gdiplus::GpGraphics* graphics = nullptr;
};

} // namespace VSTGUI
