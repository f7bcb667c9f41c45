#include "gui/linux/CairoContext.h"

#include <pango/pangocairo.h>

#include <cmath>

#include "gui/linux/CairoBitmap.h"

namespace VSTGUI {

namespace {

// Null for a bitmap that could not be loaded.
cairo_surface_t* surfaceOf(const CBitmap* bitmap) {
    auto* platformBitmap = bitmap ? static_cast<CairoBitmap*>(bitmap->getPlatformBitmap()) : nullptr;
    return platformBitmap ? platformBitmap->getSurface() : nullptr;
}

// A pango layout of the text in the context's font, at absolute pixel size.
PangoLayout* createLayout(cairo_t* cr, UTF8StringPtr string, const CFontDesc* font, bool antialias) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);

    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, font->getName());
    pango_font_description_set_absolute_size(description, font->getSize() * PANGO_SCALE);
    if (font->getStyle() & kBoldFace) pango_font_description_set_weight(description, PANGO_WEIGHT_BOLD);
    if (font->getStyle() & kItalicFace) pango_font_description_set_style(description, PANGO_STYLE_ITALIC);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
    pango_layout_set_text(layout, string, -1);
    return layout;
}

} // namespace

COffscreenContext* COffscreenContext::create(CBitmap* bitmap) {
    if (!bitmap || !bitmap->isLoaded()) return nullptr;
    return new CairoContext(bitmap);
}

CairoContext::CairoContext(CBitmap* bitmap) : COffscreenContext(bitmap), cr(cairo_create(surfaceOf(bitmap))) {}

CairoContext::~CairoContext() { cairo_destroy(cr); }

void CairoContext::endDraw() { cairo_surface_flush(cairo_get_target(cr)); }

void CairoContext::beginPrimitive() {
    cairo_save(cr);
    CRect clip;
    getClipRect(clip);
    cairo_rectangle(cr, clip.left, clip.top, clip.getWidth(), clip.getHeight());
    cairo_clip(cr);
}

void CairoContext::setSource(const CColor& color) {
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

void CairoContext::drawLine(const CPoint& start, const CPoint& end) {
    beginPrimitive();
    const double width = getLineWidth();
    const double shift = std::fmod(std::round(width), 2.0) == 1.0 ? 0.5 : 0.0;
    setSource(getFrameColor());
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, start.x + shift, start.y + shift);
    cairo_line_to(cr, end.x + shift, end.y + shift);
    cairo_stroke(cr);
    endPrimitive();
}

void CairoContext::drawRect(const CRect& rect, CDrawStyle drawStyle) {
    beginPrimitive();
    if (drawStyle != kDrawStroked) {
        setSource(getFillColor());
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
        cairo_fill(cr);
    }
    if (drawStyle != kDrawFilled) {
        // The stroke lies inside the rectangle, along its edge.
        const double width = getLineWidth();
        setSource(getFrameColor());
        cairo_set_line_width(cr, width);
        cairo_rectangle(cr, rect.left + width / 2, rect.top + width / 2, rect.getWidth() - width,
                        rect.getHeight() - width);
        cairo_stroke(cr);
    }
    endPrimitive();
}

void CairoContext::clearRect(const CRect& rect) {
    beginPrimitive();
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_fill(cr);
    endPrimitive();
}

void CairoContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) {
    cairo_surface_t* source = surfaceOf(bitmap);
    if (!source) return;
    beginPrimitive();
    cairo_rectangle(cr, dest.left, dest.top, dest.getWidth(), dest.getHeight());
    cairo_clip(cr);
    cairo_set_source_surface(cr, source, dest.left - offset.x, dest.top - offset.y);
    cairo_paint_with_alpha(cr, alpha);
    endPrimitive();
}

void CairoContext::drawString(UTF8StringPtr string, const CRect& rect, CHoriTxtAlign hAlign, bool antialias) {
    if (!string || !*string || !getFont()) return;
    beginPrimitive();
    PangoLayout* layout = createLayout(cr, string, getFont(), antialias);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    double x = rect.left;
    if (hAlign == kCenterText) x = rect.left + (rect.getWidth() - logical.width) / 2;
    else if (hAlign == kRightText) x = rect.right - logical.width;
    // Capitals and digits are centred: the baseline lies 0.4 font sizes below the middle.
    const double baseline = rect.top + rect.getHeight() / 2 + getFont()->getSize() * 0.4;
    const double layoutBaseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
    setSource(getFontColor());
    cairo_move_to(cr, std::round(x - logical.x), std::round(baseline - layoutBaseline));
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    endPrimitive();
}

CCoord CairoContext::getStringWidth(UTF8StringPtr string) {
    if (!string || !*string || !getFont()) return 0;
    PangoLayout* layout = createLayout(cr, string, getFont(), true);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    return logical.width;
}

} // namespace VSTGUI
