#pragma once
#include <cairo.h>

#include "gui/COffscreenContext.h"

namespace VSTGUI {

// Draws with cairo into a bitmap's image surface, text with pango. Every primitive is
// clipped to the clip rectangle; odd line widths are centred on pixel centres so that
// 1-pixel lines cover whole pixels.
class CairoContext : public COffscreenContext {
public:
    explicit CairoContext(CBitmap* bitmap);
    ~CairoContext() override;

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
    void beginPrimitive();
    void endPrimitive() { cairo_restore(cr); }
    void setSource(const CColor& color);

    cairo_t* cr;
};

} // namespace VSTGUI
