#include <cairo.h>

#include "tools/vsthost/PlotCanvas.h"

namespace tarn {

namespace {

class CairoPlotCanvas : public PlotCanvas {
public:
    CairoPlotCanvas(cairo_surface_t* surface) : surface(surface), cr(cairo_create(surface)) {
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    }
    ~CairoPlotCanvas() override {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    CairoPlotCanvas(const CairoPlotCanvas&) = delete;
    CairoPlotCanvas& operator=(const CairoPlotCanvas&) = delete;

    void fillRectangle(double left, double top, double right, double bottom, PlotColour colour) override {
        setColour(colour);
        cairo_rectangle(cr, left, top, right - left, bottom - top);
        cairo_fill(cr);
    }

    void fillPolygon(const std::vector<PlotPoint>& points, PlotColour colour) override {
        if (points.size() < 3) return;
        path(points);
        cairo_close_path(cr);
        setColour(colour);
        cairo_fill(cr);
    }

    void drawLine(const std::vector<PlotPoint>& points, double width, PlotColour colour, bool dashed) override {
        if (points.size() < 2) return;
        const double dash[] = {6.0, 4.0};
        cairo_set_dash(cr, dash, dashed ? 2 : 0, 0.0);
        cairo_set_line_width(cr, width);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        path(points);
        setColour(colour);
        cairo_stroke(cr);
    }

    void drawText(double x, double y, const std::string& text, double size, PlotColour colour,
                  TextAlign align) override {
        cairo_set_font_size(cr, size);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.c_str(), &extents);
        const double width = extents.x_advance;
        const double left = align == TextAlign::Left ? x : align == TextAlign::Centre ? x - width / 2 : x - width;
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        cairo_move_to(cr, left, y + (font.ascent - font.descent) / 2);
        setColour(colour);
        cairo_show_text(cr, text.c_str());
    }

    bool savePng(const std::string& path, std::string& error) override {
        cairo_surface_flush(surface);
        const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
        if (status == CAIRO_STATUS_SUCCESS) return true;
        error = "cannot write '" + path + "': " + cairo_status_to_string(status);
        return false;
    }

private:
    void setColour(PlotColour c) { cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha); }
    void path(const std::vector<PlotPoint>& points) {
        cairo_new_path(cr);
        for (const PlotPoint& p : points) cairo_line_to(cr, p.x, p.y);
    }

    cairo_surface_t* surface;
    cairo_t* cr;
};

}  // namespace

std::unique_ptr<PlotCanvas> PlotCanvas::create(int width, int height, std::string& error) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        error = "cannot make an image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::make_unique<CairoPlotCanvas>(surface);
}

}  // namespace tarn
