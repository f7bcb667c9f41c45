#include "gui/linux/X11Display.h"

#include <chrono>
#include <thread>

namespace VSTGUI {

Display* openX11Display() {
    constexpr int kAttempts = 10;
    for (int attempt = 1;; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) return display;
        if (attempt == kAttempts) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace VSTGUI
