#pragma once
#include <cstdint>

#include "gui/CRect.h"

namespace VSTGUI {

class IOpenGLView;

// What the view asks of its OpenGL surface; null fields take the platform's default.
struct PixelFormat {
    uint32_t depthBufferSize = 0;
    uint32_t stencilBufferSize = 0;
};

// A platform OpenGL surface with its own context, placed over a view inside the frame's
// window. It answers its own paint requests by making the context current and calling the
// view's drawOpenGL. User-interface thread only.
class IPlatformOpenGLView {
public:
    virtual ~IPlatformOpenGLView() = default;

    // Creates the surface and its context; false when the platform cannot.
    virtual bool init(IOpenGLView* view, PixelFormat* pixelFormat = nullptr) = 0;
    // Places the surface over visibleSize (frame coordinates).
    virtual void viewSizeChanged(const CRect& visibleSize) = 0;
    // Asks for a paint of rect (frame coordinates).
    virtual void invalidRect(const CRect& rect) = 0;
    virtual bool makeContextCurrent() = 0;
    // Shows what was drawn and leaves no context current on the calling thread.
    virtual void swapBuffers() = 0;
};

} // namespace VSTGUI
