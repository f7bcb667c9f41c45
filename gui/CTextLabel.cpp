#include "gui/CTextLabel.h"

namespace VSTGUI {

CTextLabel::CTextLabel(const CRect& size, UTF8StringPtr initialText, CBitmap* background, const int32_t style)
    : CControl(size, nullptr, -1, background), style(style) {
    setText(initialText);
}

void CTextLabel::setText(UTF8StringPtr newText) {
    text = newText ? newText : "";
    setDirty(true);
}

void CTextLabel::setFont(CFontRef newFont) {
    if (!newFont) return;
    font = SharedPointer<CFontDesc>(newFont);
    setDirty(true);
}

void CTextLabel::setFontColor(CColor color) {
    fontColor = color;
    setDirty(true);
}

void CTextLabel::setBackColor(CColor color) {
    backColor = color;
    setDirty(true);
}

void CTextLabel::setFrameColor(CColor color) {
    frameColor = color;
    setDirty(true);
}

void CTextLabel::setFrameWidth(CCoord width) {
    frameWidth = width;
    setDirty(true);
}

void CTextLabel::setHoriAlign(CHoriTxtAlign align) {
    horiAlign = align;
    setDirty(true);
}

void CTextLabel::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        bitmap->draw(context, size);
    } else {
        context->setFillColor(backColor);
        context->drawRect(size, kDrawFilled);
        context->setFrameColor(frameColor);
        context->setLineWidth(frameWidth);
        context->drawRect(size, kDrawStroked);
    }

    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = size;
    context->setClipRect(clip.bound(oldClip));
    context->setFont(font.get());
    context->setFontColor(fontColor);
    context->drawString(text.c_str(), size, horiAlign, antialias);
    context->setClipRect(oldClip);
}

} // namespace VSTGUI
