#pragma once
#include <string>

#include "gui/CColor.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"

namespace VSTGUI {

// A line of text over a filled background inside a frame (1 pixel wide unless set). The text is centred
// vertically and clipped to the label. User-interface thread only.
// The style value is kept; it selects none of the optional drawing features (shadow,
// 3D border, rounded corners), which this toolkit does not draw.
class CTextLabel : public CControl {
public:
    CTextLabel(const CRect& size, UTF8StringPtr text = nullptr, CBitmap* background = nullptr,
               const int32_t style = 0);

    void draw(CDrawContext* context) override;

    virtual void setText(UTF8StringPtr text);
    const std::string& getText() const { return text; }
    void setFont(CFontRef font);
    CFontRef getFont() const { return font.get(); }
    void setFontColor(CColor color);
    CColor getFontColor() const { return fontColor; }
    void setBackColor(CColor color);
    CColor getBackColor() const { return backColor; }
    void setFrameColor(CColor color);
    CColor getFrameColor() const { return frameColor; }
    void setFrameWidth(CCoord width);
    CCoord getFrameWidth() const { return frameWidth; }
    void setHoriAlign(CHoriTxtAlign align);
    CHoriTxtAlign getHoriAlign() const { return horiAlign; }
    void setStyle(int32_t value) { style = value; }
    int32_t getStyle() const { return style; }
    void setAntialias(bool state) { antialias = state; }

    CLASS_METHODS(CTextLabel, CControl)

protected:
    ~CTextLabel() override = default;

private:
    std::string text;
    SharedPointer<CFontDesc> font{kSystemFont};
    CColor fontColor{kWhiteCColor};
    CColor backColor{kBlackCColor};
    CColor frameColor{kBlackCColor};
    CCoord frameWidth = 1;
    CHoriTxtAlign horiAlign = kCenterText;
    int32_t style;
    bool antialias = true;
};

} // namespace VSTGUI
