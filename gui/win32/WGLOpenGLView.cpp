#include "gui/win32/WGLOpenGLView.h"

#include <GL/gl.h>

#include "gui/IOpenGLView.h"
#include "gui/win32/OpenGLReadback.h"
#include "gui/win32/Win32Frame.h"
#include "gui/win32/Win32Module.h"
#include "gui/win32/WindowProcedures.h"

namespace VSTGUI {

bool WGLOpenGLView::init(IOpenGLView* openGLView, PixelFormat* pixelFormat) {
    if (!openGLView || !frame.getWindow() || window) return false;
    view = openGLView;
    readbackMessage = RegisterWindowMessageW(kOpenGLReadbackMessage);
    window = CreateWindowExW(0, Win32Module::openGLClass(), L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 1, 1, frame.getWindow(),
                             nullptr, Win32Module::instance(), this);
    if (!window) return false;
    // The class keeps one device context per window: it holds the pixel format for good.
    dc = GetDC(window);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cAlphaBits = 8;
    format.cDepthBits = static_cast<BYTE>(pixelFormat ? pixelFormat->depthBufferSize : 0);
    format.cStencilBits = static_cast<BYTE>(pixelFormat ? pixelFormat->stencilBufferSize : 0);
    format.iLayerType = PFD_MAIN_PLANE;
    const int chosen = dc ? ChoosePixelFormat(dc, &format) : 0;
    if (!chosen || !SetPixelFormat(dc, chosen, &format)) return false;
    context = wglCreateContext(dc);
    return context != nullptr;
}

WGLOpenGLView::~WGLOpenGLView() {
    if (context) {
        if (wglGetCurrentContext() == context) wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
    }
    if (window) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
}

void WGLOpenGLView::viewSizeChanged(const CRect& visibleSize) {
    if (!window) return;
    if (visibleSize.isEmpty()) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    const bool resized = visibleSize.getWidth() != placement.getWidth() || visibleSize.getHeight() != placement.getHeight();
    placement = visibleSize;
    SetWindowPos(window, nullptr, static_cast<int>(visibleSize.left), static_cast<int>(visibleSize.top),
                 static_cast<int>(visibleSize.getWidth()), static_cast<int>(visibleSize.getHeight()),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // A context takes the surface's size as its viewport when first made current, but wine
    // may not have resized its drawable by then: the viewport follows the window here.
    if (resized && makeContextCurrent()) {
        glViewport(0, 0, static_cast<GLsizei>(visibleSize.getWidth()), static_cast<GLsizei>(visibleSize.getHeight()));
        wglMakeCurrent(nullptr, nullptr);
    }
}

void WGLOpenGLView::invalidRect(const CRect& rect) {
    if (!window || !IsWindowVisible(window)) return;
    CRect local = rect;
    local.bound(placement).offset(-placement.left, -placement.top);
    if (local.isEmpty()) return;
    const RECT area{static_cast<LONG>(local.left), static_cast<LONG>(local.top), static_cast<LONG>(local.right),
                    static_cast<LONG>(local.bottom)};
    InvalidateRect(window, &area, FALSE);
}

bool WGLOpenGLView::makeContextCurrent() { return context && window && wglMakeCurrent(dc, context); }

void WGLOpenGLView::swapBuffers() {
    if (!context || !window) return;
    if (readback) {
        GLint alignment = 4;
        glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, readback->width, readback->height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, readback->pixels);
        glPixelStorei(GL_PACK_ALIGNMENT, alignment);
        readback = nullptr;
    }
    SwapBuffers(dc);
    wglMakeCurrent(nullptr, nullptr);
}

void WGLOpenGLView::paint(const CRect& rect) {
    if (makeContextCurrent()) view->drawOpenGL(rect);
}

LRESULT WGLOpenGLView::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == readbackMessage && lParam) return answerReadback(*reinterpret_cast<OpenGLReadback*>(lParam));
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paintStruct;
        BeginPaint(hwnd, &paintStruct);
        const RECT& r = paintStruct.rcPaint;
        EndPaint(hwnd, &paintStruct);
        paint(CRect(r.left, r.top, r.right, r.bottom));
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    // Mouse input goes to the frame's window below.
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_DESTROY:
        // Destroyed with the host's window: the context stays until the view lets it go.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window = nullptr;
        return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT WGLOpenGLView::answerReadback(OpenGLReadback& request) {
    RECT client{};
    GetClientRect(window, &client);
    if (request.width != client.right || request.height != client.bottom || !request.pixels) return 0;
    readback = &request;
    paint(CRect(0, 0, client.right, client.bottom));
    // A view that draws from the frame's painting rather than from drawOpenGL draws now.
    if (readback) frame.drawBuffer(placement);
    // swapBuffers took the pixels if the view drew.
    const bool done = readback == nullptr;
    readback = nullptr;
    return done ? 1 : 0;
}

LRESULT CALLBACK openGLWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = windowObject<WGLOpenGLView>(window, message, lParam);
    if (!view) return DefWindowProcW(window, message, wParam, lParam);
    // The host's message loop calls this: nothing may throw into it.
    try {
        return view->handleMessage(window, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace VSTGUI
