#include "WindowImage.h"

#include <X11/Xutil.h>
#include <cairo.h>

WindowImage::WindowImage(Display* display, Window window, int width, int height)
    : width(width), height(height), pixels(static_cast<size_t>(width * height)) {
    XSync(display, False);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            pixels[static_cast<size_t>(y * width + x)] =
                VSTGUI::CColor(static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                               static_cast<uint8_t>(value), 255);
        }
    }
    XDestroyImage(image);
}

bool WindowImage::savePNG(const std::string& path) const {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            const VSTGUI::CColor c = at(x, y);
            row[x] = (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}
