#include "tools/imagegen/Preview.h"

#include <cairo.h>

#include "tools/imagegen/KnobStrip.h"

namespace tarn {

namespace {

cairo_surface_t* surfaceOf(const RgbaImage& image) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* in = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            const unsigned a = in[3];
            auto premultiplied = [a](unsigned v) { return (v * a + 127) / 255; };
            row[x] = a << 24 | premultiplied(in[0]) << 16 | premultiplied(in[1]) << 8 | premultiplied(in[2]);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

RgbaImage opaque(const PalettedImage& image) {
    RgbaImage result{image.width, image.height, {}};
    for (uint8_t index : image.indices) {
        const uint8_t* colour = &image.palette[index * 3];
        result.rgba.insert(result.rgba.end(), {colour[0], colour[1], colour[2], 255});
    }
    return result;
}

void centredText(cairo_t* cr, const char* text, double x, double y) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_move_to(cr, x + 28 - extents.width / 2 - extents.x_bearing, y + 11);
    cairo_show_text(cr, text);
}

} // namespace

bool writePreview(const std::string& path, const PalettedImage& background, const RgbaImage& knobStrip) {
    static const char* names[7] = {"input", "threshold", "knee", "ratio", "attack", "release", "output"};
    static const char* values[7] = {"0.0 db", "0.0 db", "OFF", "1.0:1", "50 ms", "300 ms", "0.0 db"};
    static const double defaults[7] = {0.5, 1.0, 1.0, 0.0, 0.3266666, 0.1495, 0.5};

    cairo_surface_t* canvas = surfaceOf(opaque(background));
    cairo_surface_t* strip = surfaceOf(knobStrip);
    cairo_t* cr = cairo_create(canvas);
    cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 12);
    for (int i = 0; i < 7; ++i) {
        const double x = 15 + 76 * i;
        const int frame = static_cast<int>(defaults[i] * (knobFrames - 1));
        cairo_save(cr);
        cairo_rectangle(cr, x, 22, knobSize, knobSize);
        cairo_clip(cr);
        cairo_set_source_surface(cr, strip, x, 22 - frame * knobSize);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        centredText(cr, names[i], x, 4);
        centredText(cr, values[i], x, 78);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_rectangle(cr, x + 0.5, 78.5, knobSize - 1, 13);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // The graph view covers the well but for its bevel's right and bottom edges.
    cairo_rectangle(cr, 5, 120, 360, 240);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill(cr);
    cairo_destroy(cr);
    const bool written = cairo_surface_write_to_png(canvas, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(strip);
    cairo_surface_destroy(canvas);
    return written;
}

} // namespace tarn
