#pragma once
#include <windows.h>

#include "gui/COffscreenContext.h"
#include "gui/IPlatformFrame.h"
#include "gui/SharedPointer.h"
#include "gui/win32/Win32Module.h"

namespace VSTGUI {

// The frame's window: a child of the host's window. Views are drawn with GDI+ into a bitmap
// when invalidated (everything at the first paint), and WM_PAINT copies the bitmap to the
// window, so nothing flickers. Mouse input is captured
// from a press until the last button is released. Runs on the host's user-interface thread,
// whose message loop delivers everything.
class Win32Frame : public IPlatformFrame {
public:
    Win32Frame(IPlatformFrameCallback* callback, const CRect& size, HWND parent);
    ~Win32Frame() override;
    Win32Frame(const Win32Frame&) = delete;
    Win32Frame& operator=(const Win32Frame&) = delete;

    // False when the window could not be opened.
    bool isOpen() const { return window != nullptr; }

    bool setSize(const CRect& newSize) override;
    // Draws rect into the buffer now and has the next WM_PAINT show it.
    bool invalidRect(const CRect& rect) override;
    bool getCurrentMousePosition(CPoint& where) const override;
    bool getCurrentMouseButtons(CButtonState& buttons) const override;
    // The host's message loop delivers events and timers: nothing to do here.
    void processEvents() override {}
    std::unique_ptr<IPlatformOpenGLView> createPlatformOpenGLView() override;

    HWND getWindow() const { return window; }
    // Has the frame draw rect into its buffer now, without showing it.
    void drawBuffer(const CRect& rect);
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void paint();
    bool createBuffer();
    void mouseDown(int32_t button, WPARAM wParam, LPARAM lParam);
    void mouseUp(int32_t button, WPARAM wParam, LPARAM lParam);

    Win32ModuleReference module;
    IPlatformFrameCallback* callback;
    HWND window = nullptr;
    CRect size;
    SharedPointer<COffscreenContext> buffer;
    bool bufferDrawn = false;
    bool drawing = false;
};

} // namespace VSTGUI
