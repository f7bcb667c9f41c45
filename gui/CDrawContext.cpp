#include "gui/CDrawContext.h"

namespace VSTGUI {

CDrawContext::CDrawContext(const CRect& surfaceRect) : surfaceRect(surfaceRect), clipRect(surfaceRect) {}

void CDrawContext::setFont(const CFontRef newFont, const CCoord& size, const int32_t& style) {
    if (!newFont) return;
    if (size <= 0 && style < 0) {
        font = SharedPointer<CFontDesc>(newFont);
        return;
    }
    font = owned(new CFontDesc(newFont->getName(), size > 0 ? size : newFont->getSize(),
                               style >= 0 ? style : newFont->getStyle()));
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipRect.bound(surfaceRect);
}

} // namespace VSTGUI
