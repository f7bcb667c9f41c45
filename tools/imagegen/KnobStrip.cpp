#include "tools/imagegen/KnobStrip.h"

#include <cairo.h>

#include <cmath>

namespace tarn {

namespace {

constexpr double centre = knobSize / 2.0;
constexpr double ringInner = 22, ringOuter = 26;
constexpr double discRadius = 18.5;

double radians(double degrees) { return degrees * M_PI / 180; }

// The unlit track: a grey ring with its gap at the bottom, lighter at the top as if lit from above.
void drawTrack(cairo_t* cr) {
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, centre - ringOuter, 0, centre + ringOuter);
    cairo_pattern_add_color_stop_rgb(shade, 0, 65 / 255.0, 65 / 255.0, 68 / 255.0);
    cairo_pattern_add_color_stop_rgb(shade, 1, 30 / 255.0, 30 / 255.0, 33 / 255.0);
    cairo_set_source(cr, shade);
    cairo_new_path(cr);
    cairo_arc(cr, centre, centre, (ringInner + ringOuter) / 2, radians(sweepStart), radians(sweepStart + sweepLength));
    cairo_set_line_width(cr, ringOuter - ringInner);
    cairo_stroke(cr);
    cairo_pattern_destroy(shade);
}

// The lit part: bright green, darker towards its outer edge.
void drawLitArc(cairo_t* cr, double fraction) {
    if (fraction <= 0) return;
    cairo_pattern_t* shade = cairo_pattern_create_radial(centre, centre, ringInner, centre, centre, ringOuter);
    cairo_pattern_add_color_stop_rgb(shade, 0, 140 / 255.0, 255 / 255.0, 79 / 255.0);
    cairo_pattern_add_color_stop_rgb(shade, 0.6, 140 / 255.0, 255 / 255.0, 79 / 255.0);
    cairo_pattern_add_color_stop_rgb(shade, 1, 40 / 255.0, 150 / 255.0, 30 / 255.0);
    cairo_set_source(cr, shade);
    cairo_new_path(cr);
    cairo_arc(cr, centre, centre, (ringInner + ringOuter) / 2, radians(sweepStart),
              radians(sweepStart + sweepLength * fraction));
    cairo_set_line_width(cr, ringOuter - ringInner);
    cairo_stroke(cr);
    cairo_pattern_destroy(shade);
}

// The cap: a black disc with a faint rim, and a pointer at the current value.
void drawCap(cairo_t* cr, double fraction) {
    cairo_new_path(cr);
    cairo_arc(cr, centre, centre, discRadius, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill_preserve(cr);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, centre - discRadius, 0, centre + discRadius);
    cairo_pattern_add_color_stop_rgb(rim, 0, 0.30, 0.30, 0.32);
    cairo_pattern_add_color_stop_rgb(rim, 1, 0.08, 0.08, 0.09);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);

    const double angle = radians(sweepStart + sweepLength * fraction);
    cairo_new_path(cr);
    cairo_move_to(cr, centre + 10 * std::cos(angle), centre + 10 * std::sin(angle));
    cairo_line_to(cr, centre + 15.5 * std::cos(angle), centre + 15.5 * std::sin(angle));
    cairo_set_source_rgb(cr, 0.85, 0.87, 0.9);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

} // namespace

RgbaImage drawKnobStrip(int scale) {
    const int width = knobSize * scale;
    const int height = knobSize * knobFrames * scale;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    for (int k = 0; k < knobFrames; ++k) {
        const double fraction = static_cast<double>(k) / (knobFrames - 1);
        cairo_save(cr);
        cairo_rectangle(cr, 0, k * knobSize, knobSize, knobSize);
        cairo_clip(cr);
        cairo_translate(cr, 0, k * knobSize);
        drawTrack(cr);
        drawLitArc(cr, fraction);
        drawCap(cr, fraction);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    RgbaImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            // Cairo stores premultiplied alpha; PNG wants it straight.
            const uint32_t argb = row[x];
            const unsigned alpha = argb >> 24;
            uint8_t* out = &image.rgba[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const unsigned value = (argb >> (16 - 8 * c)) & 0xff;
                out[c] = static_cast<uint8_t>(alpha ? (value * 255 + alpha / 2) / alpha : 0);
            }
            out[3] = static_cast<uint8_t>(alpha);
        }
    }
    cairo_surface_destroy(surface);
    return image;
}

} // namespace tarn
