#include "gui/linux/X11Errors.h"

#include <map>
#include <mutex>

namespace VSTGUI {

namespace X11Errors {

namespace {

std::mutex mutex;
std::map<Display*, unsigned long> displays;
// The handler ours forwards to, while ours is installed or sits under a later one that forwards
// to it (another module's copy of this toolkit, say); null while ours is out of the chain.
XErrorHandler previousHandler = nullptr;

int handleError(Display* display, XErrorEvent* event) {
    XErrorHandler forward = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = displays.find(display);
        if (it != displays.end()) ++it->second;
        else forward = previousHandler;
    }
    return forward ? forward(display, event) : 0;
}

} // namespace

void attach(Display* display) {
    std::lock_guard<std::mutex> lock(mutex);
    // Still in the chain, ours is reached as it is; installing it again would make a loop.
    if (!previousHandler) previousHandler = XSetErrorHandler(handleError);
    displays[display] = 0;
}

void detach(Display* display) {
    std::lock_guard<std::mutex> lock(mutex);
    displays.erase(display);
    if (!displays.empty()) return;
    XErrorHandler current = XSetErrorHandler(previousHandler);
    if (current == handleError) {
        previousHandler = nullptr;
        return;
    }
    // Someone installed a handler after ours, which may forward to ours: theirs stays, and ours
    // keeps forwarding every error to the one before it.
    XSetErrorHandler(current);
}

unsigned long count(Display* display) {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = displays.find(display);
    return it == displays.end() ? 0 : it->second;
}

} // namespace X11Errors

} // namespace VSTGUI
