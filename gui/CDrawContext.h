#pragma once
#include "gui/CBaseObject.h"
#include "gui/CColor.h"
#include "gui/CFontDesc.h"
#include "gui/CRect.h"
#include "gui/SharedPointer.h"

namespace VSTGUI {

class CBitmap;

enum CHoriTxtAlign {
    kLeftText = 0,
    kCenterText,
    kRightText,
};

enum CDrawStyle {
    kDrawStroked = 0,
    kDrawFilled,
    kDrawFilledAndStroked,
};

// Draws into a surface: the platform implements the primitives, this class keeps the state
// they use. Coordinates are the surface's pixels. Defaults: font kSystemFont, font colour
// opaque white, fill colour opaque black, frame colour opaque white, line width 1, no clip.
class CDrawContext : public CBaseObject {
public:
    virtual void beginDraw() {}
    virtual void endDraw() {}

    virtual void drawLine(const CPoint& start, const CPoint& end) = 0;
    virtual void drawRect(const CRect& rect, CDrawStyle drawStyle = kDrawStroked) = 0;
    // Makes the pixels of rect fully transparent.
    virtual void clearRect(const CRect& rect) = 0;
    // Draws the part of bitmap that starts at offset into dest, with alpha from 0 to 1.
    virtual void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(0, 0),
                            float alpha = 1.f) = 0;
    // One line of text in rect with the font and font colour, centred vertically.
    virtual void drawString(UTF8StringPtr string, const CRect& rect, CHoriTxtAlign hAlign = kCenterText,
                            bool antialias = true) = 0;
    virtual CCoord getStringWidth(UTF8StringPtr string) = 0;

    // A size above 0 or a style of 0 or more selects a variant of font.
    void setFont(const CFontRef font, const CCoord& size = 0, const int32_t& style = -1);
    CFontRef getFont() const { return font.get(); }
    void setFontColor(const CColor& color) { fontColor = color; }
    CColor getFontColor() const { return fontColor; }
    void setFillColor(const CColor& color) { fillColor = color; }
    CColor getFillColor() const { return fillColor; }
    void setFrameColor(const CColor& color) { frameColor = color; }
    CColor getFrameColor() const { return frameColor; }
    void setLineWidth(CCoord width) { lineWidth = width; }
    CCoord getLineWidth() const { return lineWidth; }

    // Drawing stays inside the clip rectangle, which never reaches outside the surface.
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const {
        clip = clipRect;
        return clip;
    }
    void resetClipRect() { clipRect = surfaceRect; }
    const CRect& getSurfaceRect() const { return surfaceRect; }

protected:
    explicit CDrawContext(const CRect& surfaceRect);

private:
    CRect surfaceRect;
    CRect clipRect;
    SharedPointer<CFontDesc> font{kSystemFont};
    CColor fontColor{kWhiteCColor};
    CColor fillColor{kBlackCColor};
    CColor frameColor{kWhiteCColor};
    CCoord lineWidth = 1;
};

} // namespace VSTGUI
