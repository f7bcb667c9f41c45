#include "gui/linux/X11Errors.h"

#include <map>
#include <mutex>

namespace VSTGUI {

namespace X11Errors {

namespace {

std::mutex mutex;
std::map<Display*, unsigned long> displays;
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
    if (displays.empty()) previousHandler = XSetErrorHandler(handleError);
    displays[display] = 0;
}

void detach(Display* display) {
    std::lock_guard<std::mutex> lock(mutex);
    displays.erase(display);
    if (!displays.empty()) return;
    // Someone may have installed a handler after ours: theirs stays.
    XErrorHandler current = XSetErrorHandler(previousHandler);
    if (current != handleError) XSetErrorHandler(current);
    previousHandler = nullptr;
}

unsigned long count(Display* display) {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = displays.find(display);
    return it == displays.end() ? 0 : it->second;
}

} // namespace X11Errors

} // namespace VSTGUI
