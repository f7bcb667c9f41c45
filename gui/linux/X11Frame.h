#pragma once
#include <X11/Xlib.h>
#include <functional>
#include <map>

#include "gui/COffscreenContext.h"
#include "gui/IPlatformFrame.h"
#include "gui/SharedPointer.h"

namespace VSTGUI {

// The frame's X11 window: a child of the host's window on a display connection of its own.
// Views are drawn with cairo into an image buffer that is then copied to the window, so
// nothing flickers. Everything runs on the thread that calls the frame's idle.
class X11Frame : public IPlatformFrame {
public:
    X11Frame(IPlatformFrameCallback* callback, const CRect& size, Window parent);
    ~X11Frame() override;
    X11Frame(const X11Frame&) = delete;
    X11Frame& operator=(const X11Frame&) = delete;

    // False when the display or the window could not be opened.
    bool isOpen() const { return window != 0; }

    bool setSize(const CRect& newSize) override;
    // Draws rect into the buffer at once and shows it.
    bool invalidRect(const CRect& rect) override;
    bool getCurrentMousePosition(CPoint& where) const override;
    bool getCurrentMouseButtons(CButtonState& buttons) const override;
    void processEvents() override;
    std::unique_ptr<IPlatformOpenGLView> createPlatformOpenGLView() override;

    Display* getDisplay() const { return display; }
    Window getWindow() const { return window; }
    // Paint requests of a child window (an OpenGL surface) go to onExpose.
    void addChildWindow(Window child, std::function<void(const CRect&)> onExpose);
    void removeChildWindow(Window child);

private:
    X11Frame(IPlatformFrameCallback* callback, const CRect& size);
    void handleEvent(XEvent& event);
    // The pointer's position in the window and the button and modifier mask.
    bool queryPointer(CPoint& where, unsigned int& mask) const;
    // Copies area of the buffer to the window.
    void show(const CRect& area);
    bool createBuffer();
    void releaseBuffer();

    IPlatformFrameCallback* callback;
    Display* display = nullptr;
    Window window = 0;
    CRect size;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    SharedPointer<COffscreenContext> buffer;
    std::map<Window, std::function<void(const CRect&)>> childWindows;
};

} // namespace VSTGUI
