#include "gui/CFrame.h"

#include <algorithm>

#include "gui/CDrawContext.h"

namespace VSTGUI {

CFrame::CFrame(const CRect& size, void* pSystemWindow, VSTGUIEditorInterface* pEditor)
    : CView(size), editor(pEditor) {
    if (pSystemWindow) platformFrame = IPlatformFrame::create(this, size, pSystemWindow);
}

CFrame::~CFrame() {
    // The idle timer stops before the views go: a host may close the editor on another thread
    // than the one the timer fires on, and stopping waits for a tick in progress there.
    if (idleTimer) idleTimer->stop();
    // Views go next: their platform surfaces live inside the frame's window.
    removeAll(true);
    idleTimer = SharedPointer<CVSTGUITimer>();
    platformFrame.reset();
}

bool CFrame::addView(CView* view) {
    if (!view || view == this || view->isAttached()) return false;
    views.push_back(SharedPointer<CView>::adopt(view));
    view->attached(this);
    view->setDirty(true);
    return true;
}

bool CFrame::removeView(CView* view, bool withForget) {
    auto it = std::find_if(views.begin(), views.end(), [view](const auto& v) { return v.get() == view; });
    if (it == views.end()) return false;
    if (mouseDownView == view) mouseDownView = nullptr;
    if (focusView == view) focusView = nullptr;
    // The area it covered shows what lies behind it from now on.
    const CRect area = view->getViewSize();
    view->removed(this);
    if (!withForget) view->remember();
    views.erase(it);
    invalidRect(area);
    return true;
}

void CFrame::removeAll(bool withForget) {
    mouseDownView = nullptr;
    focusView = nullptr;
    while (!views.empty()) {
        SharedPointer<CView> view = views.back();
        views.pop_back();
        view->removed(this);
        if (!withForget) view->remember();
    }
}

CView* CFrame::getView(int32_t index) const {
    return index >= 0 && index < getNbViews() ? views[static_cast<size_t>(index)].get() : nullptr;
}

CView* CFrame::getViewAt(const CPoint& where) const {
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* view = it->get();
        if (view->isVisible() && view->getMouseEnabled() && view->hitTest(where)) return view;
    }
    return nullptr;
}

void CFrame::idle() {
    if (platformFrame) platformFrame->processEvents();
    for (size_t i = 0; i < views.size(); ++i) {
        CView* view = views[i].get();
        if (!view->isDirty()) continue;
        view->setDirty(false);
        invalidRect(view->getViewSize());
    }
}

void CFrame::invalidRect(const CRect& rect) {
    CRect area = rect;
    area.bound(CRect(0, 0, size.getWidth(), size.getHeight()));
    if (platformFrame && !area.isEmpty()) platformFrame->invalidRect(area);
}

bool CFrame::setSize(CCoord width, CCoord height) {
    CRect newSize(size.left, size.top, size.left + width, size.top + height);
    if (newSize == size) return true;
    if (editor && !editor->beforeSizeChange(newSize, size)) return false;
    if (platformFrame && !platformFrame->setSize(newSize)) return false;
    size = newSize;
    invalidRect(size);
    return true;
}

void CFrame::beginEdit(int32_t index) {
    if (editor) editor->beginEdit(index);
}

void CFrame::endEdit(int32_t index) {
    if (editor) editor->endEdit(index);
}

int32_t CFrame::getKnobMode() const { return editor ? editor->getKnobMode() : -1; }

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
    return platformFrame && platformFrame->getCurrentMousePosition(where);
}

CButtonState CFrame::getCurrentMouseButtons() const {
    CButtonState buttons;
    if (platformFrame) platformFrame->getCurrentMouseButtons(buttons);
    return buttons;
}

void CFrame::addIdleView(CView* view) {
    if (std::find(idleViews.begin(), idleViews.end(), view) != idleViews.end()) return;
    idleViews.push_back(view);
    if (!idleTimer) {
        const uint32_t rate = CView::idleRate > 0 ? CView::idleRate : 1;
        idleTimer = owned(new CVSTGUITimer([this](CVSTGUITimer*) { fireIdleViews(); }, 1000 / rate));
    }
}

void CFrame::removeIdleView(CView* view) {
    idleViews.erase(std::remove(idleViews.begin(), idleViews.end(), view), idleViews.end());
    if (idleViews.empty()) idleTimer = SharedPointer<CVSTGUITimer>();
}

void CFrame::fireIdleViews() {
    // A view may stop wanting idle calls from its onIdle; work on a copy.
    const std::vector<CView*> current = idleViews;
    for (CView* view : current) {
        if (std::find(idleViews.begin(), idleViews.end(), view) != idleViews.end()) view->onIdle();
    }
}

void CFrame::draw(CDrawContext* context) { drawRect(context, size); }

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect area = updateRect;
    area.bound(oldClip);

    // Everything under the area is drawn again, from the background up: a view may look
    // opaque and still leave pixels uncovered (a film strip's transparent corners, a label's
    // clear background), and drawing it over its own old picture would thicken its edges.
    context->setClipRect(area);
    if (CBitmap* background = getBackground()) {
        background->draw(context, CRect(0, 0, size.getWidth(), size.getHeight()));
    } else {
        context->setFillColor(kBlackCColor);
        context->drawRect(area, kDrawFilled);
    }
    for (size_t i = 0; i < views.size(); ++i) {
        CView* view = views[i].get();
        if (!view->isVisible() || !view->checkUpdate(area)) continue;
        CRect viewArea = view->getViewSize();
        viewArea.bound(area);
        context->setClipRect(viewArea);
        view->drawRect(context, viewArea);
    }
    context->setClipRect(oldClip);
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (mouseDownView) {
        CPoint p = where;
        return mouseDownView->onMouseDown(p, buttons);
    }
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* view = it->get();
        if (!view->isVisible() || !view->getMouseEnabled() || !view->hitTest(where, buttons)) continue;
        if (view->wantsFocus()) focusView = view;
        CPoint p = where;
        const CMouseEventResult result = view->onMouseDown(p, buttons);
        if (result == kMouseEventHandled) mouseDownView = view;
        if (result == kMouseEventHandled || result == kMouseDownEventHandledButDontNeedMovedOrUpEvents) return result;
        // A transparent view lets the press through to what lies behind it.
        if (!view->getTransparency()) return result;
    }
    // A copy: an observer may unregister.
    const std::vector<IMouseObserver*> observers = mouseObservers;
    for (IMouseObserver* observer : observers) {
        const CMouseEventResult result = observer->onMouseDown(this, where, buttons);
        if (result != kMouseEventNotHandled) return result;
    }
    return kMouseEventNotHandled;
}

void CFrame::registerMouseObserver(IMouseObserver* observer) {
    if (observer && std::find(mouseObservers.begin(), mouseObservers.end(), observer) == mouseObservers.end())
        mouseObservers.push_back(observer);
}

void CFrame::unregisterMouseObserver(IMouseObserver* observer) {
    mouseObservers.erase(std::remove(mouseObservers.begin(), mouseObservers.end(), observer), mouseObservers.end());
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
    CView* view = mouseDownView;
    if (!view) return kMouseEventNotHandled;
    mouseDownView = nullptr;
    CPoint p = where;
    return view->onMouseUp(p, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    CView* view = mouseDownView ? mouseDownView : getViewAt(where);
    if (!view) return kMouseEventNotHandled;
    CPoint p = where;
    return view->onMouseMoved(p, buttons);
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* view = it->get();
        if (!view->isVisible() || !view->getMouseEnabled() || !view->hitTest(where, buttons)) continue;
        if (view->onWheel(where, distance, buttons)) return true;
    }
    return false;
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode) { return focusView ? focusView->onKeyDown(keyCode) : -1; }

int32_t CFrame::onKeyUp(VstKeyCode& keyCode) { return focusView ? focusView->onKeyUp(keyCode) : -1; }

void CFrame::platformDrawRect(CDrawContext* context, const CRect& rect) { drawRect(context, rect); }

CMouseEventResult CFrame::platformOnMouseDown(CPoint& where, const CButtonState& buttons) {
    return onMouseDown(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint& where, const CButtonState& buttons) {
    return onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint& where, const CButtonState& buttons) {
    return onMouseUp(where, buttons);
}

bool CFrame::platformOnMouseWheel(const CPoint& where, float distance, const CButtonState& buttons) {
    return onWheel(where, distance, buttons);
}

bool CFrame::platformOnKeyDown(VstKeyCode& keyCode) { return onKeyDown(keyCode) == 1; }

bool CFrame::platformOnKeyUp(VstKeyCode& keyCode) { return onKeyUp(keyCode) == 1; }

void CFrame::platformOnScaleFactorChanged(double factor) {
    if (editor) editor->systemScaleFactorChanged(factor);
}

} // namespace VSTGUI
