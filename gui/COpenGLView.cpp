#include "gui/COpenGLView.h"

#include "gui/CFrame.h"

namespace VSTGUI {

COpenGLView::COpenGLView(const CRect& size) : CView(size) {}

COpenGLView::~COpenGLView() { destroyPlatformOpenGLView(); }

bool COpenGLView::attached(CView* parent) {
    if (!CView::attached(parent)) return false;
    if (createPlatformOpenGLView()) {
        platformOpenGLViewCreated();
        updatePlatformOpenGLViewSize(true);
    }
    return true;
}

bool COpenGLView::removed(CView* parent) {
    destroyPlatformOpenGLView();
    return CView::removed(parent);
}

bool COpenGLView::createPlatformOpenGLView() {
    CFrame* frame = getFrame();
    IPlatformFrame* window = frame ? frame->getPlatformFrame() : nullptr;
    if (!window) return false;
    platformOpenGLView = window->createPlatformOpenGLView();
    if (platformOpenGLView && !platformOpenGLView->init(this, getPixelFormat())) platformOpenGLView.reset();
    return platformOpenGLView != nullptr;
}

void COpenGLView::destroyPlatformOpenGLView() {
    if (!platformOpenGLView) return;
    platformOpenGLViewWillDestroy();
    platformOpenGLView.reset();
}

void COpenGLView::setViewSize(const CRect& rect, bool invalid) {
    // The surface repaints itself: the frame need not redraw the view for a new size.
    if (rect != getViewSize()) CView::setViewSize(rect, invalid);
    updatePlatformOpenGLViewSize(invalid);
}

void COpenGLView::setVisible(bool state) {
    CView::setVisible(state);
    updatePlatformOpenGLViewSize(true);
}

void COpenGLView::updatePlatformOpenGLViewSize(bool invalidate) {
    if (!platformOpenGLView) return;
    CRect visible = isVisible() ? getViewSize() : CRect();
    if (const CFrame* frame = getFrame()) visible.bound(CRect(0, 0, frame->getWidth(), frame->getHeight()));
    platformOpenGLView->viewSizeChanged(visible);
    if (invalidate) platformOpenGLView->invalidRect(visible);
    if (platformOpenGLView->makeContextCurrent()) platformOpenGLViewSizeChanged();
}

void COpenGLView::draw(CDrawContext* context) {
    if (!platformOpenGLView) CView::draw(context);
}

} // namespace VSTGUI
