#include "gui/CAnimKnob.h"

#include <cmath>

namespace VSTGUI {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                     const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset), subPixmaps(0), heightOfOneImage(size.getHeight()) {
    if (background && heightOfOneImage > 0)
        subPixmaps = static_cast<int32_t>(background->getHeight() / heightOfOneImage);
    setInsetValue(0);
}

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage) {
    setInsetValue(0);
}

int32_t CAnimKnob::getFrameIndex() const {
    if (subPixmaps < 1) return 0;
    const auto index = static_cast<int32_t>(std::floor(getValue() * static_cast<float>(subPixmaps - 1)));
    return index < 0 ? 0 : (index >= subPixmaps ? subPixmaps - 1 : index);
}

void CAnimKnob::draw(CDrawContext* context) {
    CBitmap* strip = getBackground();
    if (!strip || subPixmaps < 1) return;
    strip->draw(context, size, CPoint(offset.x, offset.y + getFrameIndex() * heightOfOneImage));
}

} // namespace VSTGUI
