#include "gui/linux/CairoBitmap.h"

#include <cstring>

namespace VSTGUI {

namespace {

struct PNGReader {
    const unsigned char* data;
    uint32_t size;
    uint32_t position;
};

cairo_status_t readPNG(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<PNGReader*>(closure);
    if (length > reader->size - reader->position) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

std::unique_ptr<IPlatformBitmap> adopt(cairo_surface_t* surface) {
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    // The surface goes too when the bitmap cannot be made.
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> owner(surface, cairo_surface_destroy);
    auto bitmap = std::make_unique<CairoBitmap>(surface);
    owner.release();
    return bitmap;
}

} // namespace

CPoint CairoBitmap::getSize() const {
    return CPoint(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
}

std::unique_ptr<IPlatformBitmap> CairoBitmap::createScaledCopy(const CPoint& size) const {
    std::unique_ptr<IPlatformBitmap> copy = IPlatformBitmap::create(size);
    if (!copy) return nullptr;
    cairo_t* cr = cairo_create(static_cast<CairoBitmap*>(copy.get())->getSurface());
    const CPoint from = getSize();
    cairo_scale(cr, size.x / from.x, size.y / from.y);
    cairo_set_source_surface(cr, surface, 0, 0);
    // The edges' pixels continue outwards, so that the filter does not fade them; the good
    // filter averages what each new pixel covers when the image shrinks, a third of the best's
    // time and as sharp at the editor's scales.
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(static_cast<CairoBitmap*>(copy.get())->getSurface());
    return copy;
}

std::unique_ptr<IPlatformBitmap> IPlatformBitmap::create(const CPoint& size) {
    const auto width = static_cast<int>(size.x);
    const auto height = static_cast<int>(size.y);
    if (width < 1 || height < 1) return nullptr;
    // New image surfaces are cleared to transparent black.
    return adopt(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
}

std::unique_ptr<IPlatformBitmap> IPlatformBitmap::createFromMemory(const void* data, uint32_t size) {
    if (!data || size == 0) return nullptr;
    PNGReader reader{static_cast<const unsigned char*>(data), size, 0};
    return adopt(cairo_image_surface_create_from_png_stream(readPNG, &reader));
}

} // namespace VSTGUI
