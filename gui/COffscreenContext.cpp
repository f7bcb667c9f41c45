#include "gui/COffscreenContext.h"

namespace VSTGUI {

COffscreenContext::COffscreenContext(CBitmap* bitmap)
    : CDrawContext(CRect(0, 0, bitmap->getWidth(), bitmap->getHeight())), bitmap(bitmap) {}

COffscreenContext* COffscreenContext::create(CFrame* frame, CCoord width, CCoord height) {
    if (!frame || width < 1 || height < 1) return nullptr;
    auto surface = owned(new CBitmap(width, height));
    return create(surface.get());
}

void COffscreenContext::copyFrom(CDrawContext* context, const CRect& destRect, const CPoint& srcOffset) {
    if (context) context->drawBitmap(bitmap.get(), destRect, srcOffset);
}

} // namespace VSTGUI
