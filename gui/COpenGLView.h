#pragma once
#include <memory>

#include "gui/CView.h"
#include "gui/IOpenGLView.h"
#include "gui/IPlatformOpenGLView.h"

namespace VSTGUI {

// A view with a platform OpenGL surface and context of its own, created when the view is
// attached to a frame with a window and destroyed when it is removed.
class COpenGLView : public CView, public IOpenGLView {
public:
    explicit COpenGLView(const CRect& size);

    // The surface's format; null takes the platform's default.
    virtual PixelFormat* getPixelFormat() const { return nullptr; }
    virtual void platformOpenGLViewCreated() {}
    virtual void platformOpenGLViewWillDestroy() {}
    // Called with the context current after every setViewSize.
    virtual void platformOpenGLViewSizeChanged() {}
    IPlatformOpenGLView* getPlatformOpenGLView() const { return platformOpenGLView.get(); }

    // Re-places the surface over the view's visible area (invalidating it when asked), then
    // calls platformOpenGLViewSizeChanged with the context current.
    void setViewSize(const CRect& rect, bool invalid = true) override;
    void setVisible(bool state) override;
    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    // Without a surface the base view's drawing; with one the surface paints itself.
    void draw(CDrawContext* context) override;

    CLASS_METHODS_NOCOPY(COpenGLView, CView)

protected:
    ~COpenGLView() override;
    void updatePlatformOpenGLViewSize(bool invalidate);

private:
    bool createPlatformOpenGLView();
    void destroyPlatformOpenGLView();

    std::unique_ptr<IPlatformOpenGLView> platformOpenGLView;
};

} // namespace VSTGUI
