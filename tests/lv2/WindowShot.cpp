// window_shot [--seconds N] WIDTHxHEIGHT OUT.png [X,Y,W,H=RRGGBB ...]
// Waits for a window of exactly WIDTH x HEIGHT to be shown on the X display (a plug-in's editor
// inside some host), then reads the screen until, in every rectangle given, some pixel is within
// 24 of the colour in each channel, or N seconds (30 unless given) have passed. Rectangles are
// relative to that window. Writes the top-level window holding it, host and all, to OUT.png,
// prints one line per rectangle and exits 0 when all matched.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

struct Expectation {
    int x, y, width, height;
    std::uint32_t colour;
    bool matched = false;
    std::uint32_t centre = 0; // what was there instead, for the report

};

struct Found {
    Window window = 0;
    Window topLevel = 0;
};

// A viewable window of the size anywhere below parent; topLevel is the root's child holding it.
Found findWindow(Display* display, Window parent, Window topLevel, int width, int height) {
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Found found;
    if (!XQueryTree(display, parent, &root, &parentOfParent, &children, &count)) return found;
    for (unsigned i = 0; i < count && !found.window; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        const Window top = parent == root ? children[i] : topLevel;
        if (attributes.width == width && attributes.height == height) found = {children[i], top};
        else found = findWindow(display, children[i], top, width, height);
    }
    if (children) XFree(children);
    return found;
}

// Prints the sizes of the viewable windows below parent, for a report of what was shown instead.
void listWindows(Display* display, Window parent) {
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOfParent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        std::fprintf(stderr, " %dx%d", attributes.width, attributes.height);
        listWindows(display, children[i]);
    }
    if (children) XFree(children);
}

bool near(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff);
        if (difference > 24 || difference < -24) return false;
    }
    return true;
}

bool parse(const char* text, Expectation& e) {
    unsigned colour = 0;
    char end = 0;
    if (std::sscanf(text, "%d,%d,%d,%d=%6x%c", &e.x, &e.y, &e.width, &e.height, &colour, &end) != 5) return false;
    e.colour = colour;
    return e.width > 0 && e.height > 0;
}

} // namespace

// The host's windows come and go while they are searched: a window that is gone by the time it
// is asked about is skipped (its call fails), not a reason to exit, as Xlib's default handler would.
int ignoreGoneWindows(Display*, XErrorEvent*) { return 0; }

int main(int argc, char** argv) {
    int seconds = 30;
    if (argc > 2 && std::strcmp(argv[1], "--seconds") == 0) {
        seconds = std::atoi(argv[2]);
        argc -= 2;
        argv += 2;
    }
    int width = 0, height = 0;
    std::vector<Expectation> expectations(argc > 3 ? static_cast<std::size_t>(argc - 3) : 0);
    bool good = seconds > 0 && argc >= 3 && std::sscanf(argv[1], "%dx%d", &width, &height) == 2;
    for (std::size_t i = 0; good && i < expectations.size(); ++i) good = parse(argv[i + 3], expectations[i]);
    if (!good) {
        std::fprintf(stderr, "usage: window_shot [--seconds N] WIDTHxHEIGHT OUT.png [X,Y,W,H=RRGGBB ...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    XSetErrorHandler(ignoreGoneWindows);
    if (!display) {
        std::fprintf(stderr, "window_shot: cannot open the display\n");
        return 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    Found found;
    XImage* image = nullptr;
    int offsetX = 0, offsetY = 0;
    XWindowAttributes top{};
    for (bool all = false; !all && std::chrono::steady_clock::now() < deadline;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        found = findWindow(display, DefaultRootWindow(display), 0, width, height);
        if (!found.window || !XGetWindowAttributes(display, found.topLevel, &top)) continue;
        Window child = 0;
        XTranslateCoordinates(display, found.window, found.topLevel, 0, 0, &offsetX, &offsetY, &child);
        if (image) XDestroyImage(image);
        image = XGetImage(display, found.topLevel, 0, 0, static_cast<unsigned>(top.width),
                          static_cast<unsigned>(top.height), AllPlanes, ZPixmap);
        if (!image) continue;
        all = true;
        for (Expectation& e : expectations) {
            e.matched = false;
            for (int y = e.y; y < e.y + e.height && !e.matched; ++y)
                for (int x = e.x; x < e.x + e.width && !e.matched; ++x)
                    e.matched = x + offsetX < top.width && y + offsetY < top.height &&
                                near(static_cast<std::uint32_t>(XGetPixel(image, x + offsetX, y + offsetY)), e.colour);
            const int cx = e.x + e.width / 2 + offsetX, cy = e.y + e.height / 2 + offsetY;
            if (cx < top.width && cy < top.height)
                e.centre = static_cast<std::uint32_t>(XGetPixel(image, cx, cy)) & 0xffffffu;
            all = all && e.matched;
        }
    }
    if (!image) {
        std::fprintf(stderr, "window_shot: no %dx%d window was shown within %d seconds; shown:", width, height,
                     seconds);
        listWindows(display, DefaultRootWindow(display));
        std::fprintf(stderr, "\n");
        XCloseDisplay(display);
        return 1;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, top.width, top.height);
    cairo_surface_flush(surface);
    for (int y = 0; y < top.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                                     y * cairo_image_surface_get_stride(surface));
        for (int x = 0; x < top.width; ++x) row[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xffffffu;
    }
    cairo_surface_mark_dirty(surface);
    const bool written = cairo_surface_write_to_png(surface, argv[2]) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    XDestroyImage(image);
    XCloseDisplay(display);

    int failures = written ? 0 : 1;
    if (!written) std::fprintf(stderr, "window_shot: cannot write '%s'\n", argv[2]);
    std::printf("window %dx%d at %d,%d in a %dx%d top-level window\n", width, height, offsetX, offsetY, top.width,
                top.height);
    for (std::size_t i = 0; i < expectations.size(); ++i) {
        std::printf("%s %s\n", expectations[i].matched ? "found" : "MISSING", argv[i + 3]);
        failures += expectations[i].matched ? 0 : 1;
    }
    return failures ? 1 : 0;
}
