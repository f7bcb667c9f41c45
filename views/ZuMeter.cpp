#include "views/ZuMeter.h"

#include <cmath>
#include <limits>

#include "gui/COffscreenContext.h"
#include "gui/SharedPointer.h"

using namespace VSTGUI;

namespace {

// Height of the rectangle that each line of text is centred in.
constexpr double kLineHeight = 16;

} // namespace

ZuMeter::ZuMeter(const CRect& size, CControlListener* listener, double scale)
    : CControl(size, listener, 8, nullptr), viewWidth(size.getWidth()), lineHeight(kLineHeight * scale),
      font(owned(new CFontDesc(kSystemFont->getName(), kSystemFont->getSize() * scale))),
      viewHeight(size.getHeight()) {
    setTransparency(true);
    placeLabels(viewHeight * 0.125);
}

void ZuMeter::setDisplayRange(float range) {
    placeLabels(range != 0.f ? viewHeight / range : std::numeric_limits<double>::infinity());
    setDirty(true);
}

void ZuMeter::placeLabels(double pixelsPerDoubling) {
    dbPerDoubling = 20.0 * std::log10(2.0);
    for (int k = 1; k <= 7; ++k) labelY[k - 1] = (6.0 * k / dbPerDoubling) * pixelsPerDoubling;
}

void ZuMeter::draw(CDrawContext* context) {
    // Null for an empty view or one without a frame: nothing is drawn.
    auto offscreen = owned(COffscreenContext::create(getFrame(), viewWidth, viewHeight));
    if (!offscreen || !context) return;
    offscreen->beginDraw();
    offscreen->setFont(font.get());
    for (int k = 0; k < 7; ++k) {
        if (!std::isfinite(labelY[k])) continue;
        offscreen->drawString(labelTexts[k], CRect(0, labelY[k] - lineHeight / 2, viewWidth, labelY[k] + lineHeight / 2),
                              kLeftText, true);
    }
    offscreen->drawString(labelTexts[7], CRect(0, viewHeight - lineHeight, viewWidth, viewHeight), kRightText, true);
    offscreen->endDraw();
    offscreen->copyFrom(context, CRect(size.left, size.top, size.left + viewWidth, size.top + viewHeight));
    setDirty(false);
}
