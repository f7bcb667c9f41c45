#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "tools/vsthost/HostWindow.h"

namespace tarn {

namespace {

// Asks the window manager to keep the window at this size.
void setFixedSize(Display* display, Window window, int width, int height) {
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, window, &hints);
}

// An X11 top-level window on a display connection of its own.
class X11HostWindow : public HostWindow {
public:
    X11HostWindow(Display* display, Window window, int width, int height)
        : display(display), window(window), width(width), height(height) {}
    ~X11HostWindow() override {
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    void* handle() const override { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

    void processEvents() override {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }

    bool resize(int newWidth, int newHeight) override {
        std::string error;
        if (!usableSize(newWidth, newHeight, error)) return false;
        width = newWidth;
        height = newHeight;
        setFixedSize(display, window, width, height);
        XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XSync(display, False);
        return true;
    }

    bool saveScreenshot(const std::string& path, std::string& error) override {
        XSync(display, False);
        XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap);
        if (!image) {
            error = "cannot read the window's pixels";
            return false;
        }
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_surface_flush(surface);
        unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < width; ++x) row[x] = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xffffffu;
        }
        XDestroyImage(image);
        cairo_surface_mark_dirty(surface);
        const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
        cairo_surface_destroy(surface);
        if (status != CAIRO_STATUS_SUCCESS) {
            error = "cannot write '" + path + "': " + cairo_status_to_string(status);
            return false;
        }
        return true;
    }

private:
    Display* display;
    Window window;
    int width;
    int height;
};

} // namespace

std::unique_ptr<HostWindow> HostWindow::create(int width, int height, const std::string& title, std::string& error) {
    if (!usableSize(width, height, error)) return nullptr;
    // A busy server can refuse a connection for a moment: try a few times.
    Display* display = XOpenDisplay(nullptr);
    for (int attempt = 1; !display && attempt < 10; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        display = XOpenDisplay(nullptr);
    }
    if (!display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return nullptr;
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                        CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, window, title.c_str());
    setFixedSize(display, window, width, height);
    XMapWindow(display, window);
    // The editor opens into a window that is shown.
    for (XEvent event;;) {
        XWindowEvent(display, window, StructureNotifyMask, &event);
        if (event.type == MapNotify) break;
    }
    return std::make_unique<X11HostWindow>(display, window, width, height);
}

} // namespace tarn
