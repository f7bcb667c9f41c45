// Writes a knob film strip as a PNG file: frames of size x size stacked from top to bottom;
// frame i of n is transparent with a green bar over the left i / (n - 1) of its width.
// Usage: make_film_strip <out.png> <frames> <size>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_film_strip <out.png> <frames> <size>\n");
        return 2;
    }
    const int frames = std::atoi(argv[2]);
    const int size = std::atoi(argv[3]);
    if (frames < 2 || size < 1) return 2;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size * frames);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, 0, 1, 0, 1);
    for (int i = 0; i < frames; ++i) {
        cairo_rectangle(cr, 0, i * size, static_cast<double>(size) * i / (frames - 1), size);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(surface, argv[1]);
    cairo_surface_destroy(surface);
    return status == CAIRO_STATUS_SUCCESS ? 0 : 1;
}
