#include "TestWindow.h"

#include <X11/Xutil.h>
#include <poll.h>

#include "gui/CFrame.h"
#include "gui/linux/X11Display.h"
#include "gui/linux/X11Frame.h"

#include <cstdint>
#include <stdexcept>

TestWindow::TestWindow(int width, int height) : connection(VSTGUI::openX11Display()) {
    if (!connection) throw std::runtime_error("no X display (run the tests under xvfb-run)");
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(connection, DefaultScreen(connection));
    window = XCreateWindow(connection, DefaultRootWindow(connection), 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWBackPixel, &attributes);
    XMapWindow(connection, window);
    XSync(connection, False);
}

TestWindow::~TestWindow() {
    XDestroyWindow(connection, window);
    XCloseDisplay(connection);
}

std::vector<Window> TestWindow::children() const {
    XSync(connection, False);
    Window root = 0;
    Window parent = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(connection, window, &root, &parent, &list, &count)) {
        result.assign(list, list + count);
        if (list) XFree(list);
    }
    return result;
}

VSTGUI::CColor TestWindow::pixel(int x, int y) const {
    XSync(connection, False);
    XImage* image = XGetImage(connection, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return VSTGUI::CColor(0, 0, 0, 0);
    const unsigned long value = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return VSTGUI::CColor(static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                          static_cast<uint8_t>(value), 255);
}

void TestWindow::send(Window w, XEvent& event) const {
    event.xany.display = connection;
    event.xany.window = w;
    XSendEvent(connection, w, False, NoEventMask, &event);
    XSync(connection, False);
}

XEvent TestWindow::pointerEvent(int type, unsigned int button, unsigned int state, int x, int y) {
    XEvent event{};
    event.type = type;
    event.xbutton.button = button;
    event.xbutton.state = state;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.same_screen = True;
    return event;
}

void idleAndWaitForEvents(VSTGUI::CFrame* frame) {
    frame->idle();
    const auto* platform = dynamic_cast<VSTGUI::X11Frame*>(frame->getPlatformFrame());
    Display* display = platform ? platform->getDisplay() : nullptr;
    pollfd events{-1, POLLIN, 0};
    if (display) {
        // What the idle drew must reach the server before the wait for its answer.
        XFlush(display);
        events.fd = ConnectionNumber(display);
    }
    poll(&events, 1, 10);
}
