#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

#include "gui/IPlatformFrame.h"
#include "gui/linux/X11Display.h"

namespace VSTGUI {

namespace {

// GDK_SCALE, the whole-number scale that GTK applications take; 0 when unset or not one.
double gdkScale() {
    const char* text = std::getenv("GDK_SCALE");
    if (!text || !*text) return 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return *end == '\0' && value >= 1 && value <= 16 ? static_cast<double>(value) : 0;
}

// The server's Xft.dpi resource (what desktops set for their scaling) over 96; 0 without one.
double xftScale() {
    Display* display = openX11Display();
    if (!display) return 0;
    double scale = 0;
    if (const char* resources = XResourceManagerString(display)) {
        // One "name:\tvalue" line per resource.
        for (const char* line = resources; line;) {
            if (std::strncmp(line, "Xft.dpi:", 8) == 0) {
                const double dpi = std::strtod(line + 8, nullptr);
                if (dpi >= 48 && dpi <= 1536) scale = dpi / 96;
                break;
            }
            line = std::strchr(line, '\n');
            if (line) ++line;
        }
    }
    XCloseDisplay(display);
    return scale;
}

} // namespace

double IPlatformFrame::systemScaleFactor(void* /*parent*/) {
    const double gdk = gdkScale();
    return gdk > 0 ? gdk : xftScale();
}

} // namespace VSTGUI
