#include "gui/CView.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace VSTGUI {

uint32_t CView::idleRate = 30;

CView::CView(const CRect& size) : size(size) {}

void CView::draw(CDrawContext* context) {
    if (background) background->draw(context, size);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) { draw(context); }

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, const float&, const CButtonState&) { return false; }
int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

void CView::setWantsIdle(bool state) {
    if (wantsIdleCalls == state) return;
    wantsIdleCalls = state;
    if (CFrame* f = frame) {
        if (state) f->addIdleView(this);
        else f->removeIdleView(this);
    }
}

void CView::setVisible(bool state) {
    if (visible == state) return;
    visible = state;
    // The frame repaints the area, now without or with the view.
    setDirty(true);
}

bool CView::hitTest(const CPoint& where, const CButtonState&) { return size.pointInside(where); }

bool CView::attached(CView* parent) {
    if (!parent || isAttached()) return false;
    frame = parent->getFrame();
    if (wantsIdleCalls && frame) frame->addIdleView(this);
    return true;
}

bool CView::removed(CView* /*parent*/) {
    if (!isAttached()) return false;
    if (wantsIdleCalls) frame->removeIdleView(this);
    frame = nullptr;
    return true;
}

void CView::setViewSize(const CRect& rect, bool invalidate) {
    // The old area must be repainted too when the view moves.
    if (invalidate && frame && rect != size) frame->invalidRect(size);
    size = rect;
    if (invalidate) setDirty(true);
}

void CView::setBackground(CBitmap* bitmap) {
    background = SharedPointer<CBitmap>(bitmap);
    setDirty(true);
}

} // namespace VSTGUI
