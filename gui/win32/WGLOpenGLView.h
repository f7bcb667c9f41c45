#pragma once
#include <windows.h>

#include "gui/IPlatformOpenGLView.h"
#include "gui/win32/OpenGLReadback.h"

namespace VSTGUI {

class Win32Frame;

// An OpenGL surface: a child window of the frame's window with a pixel format and a WGL
// context of its own. It passes the mouse through to the frame, paints on WM_PAINT and
// answers the readback request (OpenGLReadback.h).
class WGLOpenGLView : public IPlatformOpenGLView {
public:
    explicit WGLOpenGLView(Win32Frame& frame) : frame(frame) {}
    ~WGLOpenGLView() override;
    WGLOpenGLView(const WGLOpenGLView&) = delete;
    WGLOpenGLView& operator=(const WGLOpenGLView&) = delete;

    bool init(IOpenGLView* view, PixelFormat* pixelFormat = nullptr) override;
    void viewSizeChanged(const CRect& visibleSize) override;
    void invalidRect(const CRect& rect) override;
    bool makeContextCurrent() override;
    void swapBuffers() override;

    HWND getWindow() const { return window; }
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void paint(const CRect& rect);
    LRESULT answerReadback(OpenGLReadback& request);

    Win32Frame& frame;
    IOpenGLView* view = nullptr;
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
    CRect placement;
    UINT readbackMessage = 0;
    OpenGLReadback* readback = nullptr;
};

} // namespace VSTGUI
