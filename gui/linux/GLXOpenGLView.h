#pragma once
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "gui/IPlatformOpenGLView.h"

namespace VSTGUI {

class X11Frame;

// An OpenGL surface: a child window of the frame's window with a GLX context of its own.
class GLXOpenGLView : public IPlatformOpenGLView {
public:
    explicit GLXOpenGLView(X11Frame& frame) : frame(frame) {}
    ~GLXOpenGLView() override;
    GLXOpenGLView(const GLXOpenGLView&) = delete;
    GLXOpenGLView& operator=(const GLXOpenGLView&) = delete;

    bool init(IOpenGLView* view, PixelFormat* pixelFormat = nullptr) override;
    void viewSizeChanged(const CRect& visibleSize) override;
    void invalidRect(const CRect& rect) override;
    bool makeContextCurrent() override;
    void swapBuffers() override;

    Window getWindow() const { return window; }

private:
    void paint(const CRect& rect);

    X11Frame& frame;
    IOpenGLView* view = nullptr;
    XVisualInfo* visualInfo = nullptr;
    Colormap colormap = 0;
    Window window = 0;
    GLXContext context = nullptr;
    CRect placement;
    bool mapped = false;
};

} // namespace VSTGUI
