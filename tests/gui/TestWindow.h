#pragma once
// A real top-level X11 window on a connection of the test's own, standing in for a host's
// window, with pixel read-back of what is shown in it.
#include <X11/Xlib.h>

#include <vector>

#include "gui/CColor.h"

namespace VSTGUI {
class CFrame;
}

class TestWindow {
public:
    TestWindow(int width = 400, int height = 300);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    void* handle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }
    Display* display() const { return connection; }
    Window id() const { return window; }
    // The child windows of the window (the frame's, after open).
    std::vector<Window> children() const;
    // What the screen shows at x, y of the window.
    VSTGUI::CColor pixel(int x, int y) const;
    // Sends a synthetic event to window w, as the server would deliver it.
    void send(Window w, XEvent& event) const;
    // A button press or release at x, y with the given button and modifier state.
    static XEvent pointerEvent(int type, unsigned int button, unsigned int state, int x, int y);

private:
    Display* connection;
    Window window;
};

// One step of a wait on a frame: idles it, then waits until its window has an event to read, or
// for at most 10 ms for what comes without one (a timer falling due, a renderer's thread).
void idleAndWaitForEvents(VSTGUI::CFrame* frame);
