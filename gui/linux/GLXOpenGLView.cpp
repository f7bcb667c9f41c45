#include "gui/linux/GLXOpenGLView.h"

#include <vector>

#include "gui/IOpenGLView.h"
#include "gui/linux/X11Errors.h"
#include "gui/linux/X11Frame.h"

namespace VSTGUI {

bool GLXOpenGLView::init(IOpenGLView* openGLView, PixelFormat* pixelFormat) {
    Display* display = frame.getDisplay();
    if (!openGLView || !display || !frame.getWindow() || window) return false;
    view = openGLView;

    std::vector<int> attributes = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8};
    if (pixelFormat && pixelFormat->depthBufferSize) {
        attributes.push_back(GLX_DEPTH_SIZE);
        attributes.push_back(static_cast<int>(pixelFormat->depthBufferSize));
    }
    if (pixelFormat && pixelFormat->stencilBufferSize) {
        attributes.push_back(GLX_STENCIL_SIZE);
        attributes.push_back(static_cast<int>(pixelFormat->stencilBufferSize));
    }
    attributes.push_back(None);
    visualInfo = glXChooseVisual(display, DefaultScreen(display), attributes.data());
    if (!visualInfo) return false;

    const unsigned long errorsBefore = X11Errors::count(display);
    colormap = XCreateColormap(display, frame.getWindow(), visualInfo->visual, AllocNone);
    XSetWindowAttributes windowAttributes{};
    windowAttributes.colormap = colormap;
    windowAttributes.background_pixmap = None;
    windowAttributes.border_pixel = 0;
    // Only paint requests: mouse and key events pass on to the frame's window.
    windowAttributes.event_mask = ExposureMask;
    window = XCreateWindow(display, frame.getWindow(), 0, 0, 1, 1, 0, visualInfo->depth, InputOutput,
                           visualInfo->visual, CWColormap | CWBackPixmap | CWBorderPixel | CWEventMask,
                           &windowAttributes);
    context = glXCreateContext(display, visualInfo, nullptr, True);
    XSync(display, False);
    if (!context || X11Errors::count(display) != errorsBefore) return false;
    frame.addChildWindow(window, [this](const CRect& rect) { paint(rect); });
    return true;
}

GLXOpenGLView::~GLXOpenGLView() {
    Display* display = frame.getDisplay();
    if (!display) return;
    if (window) frame.removeChildWindow(window);
    if (context) {
        if (glXGetCurrentContext() == context) glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
    }
    if (window) XDestroyWindow(display, window);
    if (colormap) XFreeColormap(display, colormap);
    if (visualInfo) XFree(visualInfo);
    XSync(display, False);
}

void GLXOpenGLView::viewSizeChanged(const CRect& visibleSize) {
    if (!window) return;
    Display* display = frame.getDisplay();
    if (visibleSize.isEmpty()) {
        if (mapped) XUnmapWindow(display, window);
        mapped = false;
        return;
    }
    if (visibleSize != placement) {
        XMoveResizeWindow(display, window, static_cast<int>(visibleSize.left), static_cast<int>(visibleSize.top),
                          static_cast<unsigned int>(visibleSize.getWidth()),
                          static_cast<unsigned int>(visibleSize.getHeight()));
        placement = visibleSize;
    }
    if (!mapped) XMapWindow(display, window);
    mapped = true;
}

void GLXOpenGLView::invalidRect(const CRect& rect) {
    if (!window || !mapped) return;
    CRect local = rect;
    local.bound(placement).offset(-placement.left, -placement.top);
    if (local.isEmpty()) return;
    // Asks the server for an Expose event; with no background nothing is cleared.
    XClearArea(frame.getDisplay(), window, static_cast<int>(local.left), static_cast<int>(local.top),
               static_cast<unsigned int>(local.getWidth()), static_cast<unsigned int>(local.getHeight()), True);
}

bool GLXOpenGLView::makeContextCurrent() {
    return context && glXMakeCurrent(frame.getDisplay(), window, context);
}

void GLXOpenGLView::swapBuffers() {
    if (!context) return;
    glXSwapBuffers(frame.getDisplay(), window);
    glXMakeCurrent(frame.getDisplay(), None, nullptr);
}

void GLXOpenGLView::paint(const CRect& rect) {
    if (makeContextCurrent()) view->drawOpenGL(rect);
}

} // namespace VSTGUI
