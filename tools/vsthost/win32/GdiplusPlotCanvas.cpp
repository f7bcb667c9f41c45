#include <windows.h>
#include <gdiplus.h>

#include <cstdint>

#include "tools/vsthost/PlotCanvas.h"
#include "tools/vsthost/win32/PngWriter.h"
#include "tools/vsthost/win32/WideText.h"

namespace tarn {

using namespace Gdiplus::DllExports;

namespace {

Gdiplus::ARGB argb(PlotColour c) {
    const auto byte = [](double v) { return static_cast<Gdiplus::ARGB>(v <= 0 ? 0 : v >= 1 ? 255 : v * 255 + 0.5); };
    return byte(c.alpha) << 24 | byte(c.red) << 16 | byte(c.green) << 8 | byte(c.blue);
}

std::vector<Gdiplus::PointF> pointsOf(const std::vector<PlotPoint>& points) {
    std::vector<Gdiplus::PointF> converted;
    for (const PlotPoint& p : points) converted.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    return converted;
}

// Draws with GDI+ into pixels of its own, which the PNG writer then encodes.
class GdiplusPlotCanvas : public PlotCanvas {
public:
    GdiplusPlotCanvas(ULONG_PTR token, int width, int height)
        : token(token), width(width), height(height), pixels(static_cast<std::size_t>(width) * height, 0u) {
        GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(pixels.data()),
                                  &bitmap);
        if (bitmap) GdipGetImageGraphicsContext(bitmap, &graphics);
        if (graphics) {
            GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
            GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAliasGridFit);
        }
        // wine has no Arial but the metric-compatible Liberation Sans.
        for (const wchar_t* name : {L"Arial", L"Liberation Sans"})
            if (!family) GdipCreateFontFamilyFromName(name, nullptr, &family);
    }
    ~GdiplusPlotCanvas() override {
        if (family) GdipDeleteFontFamily(family);
        if (graphics) GdipDeleteGraphics(graphics);
        if (bitmap) GdipDisposeImage(bitmap);
        Gdiplus::GdiplusShutdown(token);
    }
    GdiplusPlotCanvas(const GdiplusPlotCanvas&) = delete;
    GdiplusPlotCanvas& operator=(const GdiplusPlotCanvas&) = delete;

    // Empty when the canvas can be drawn on, else what it lacks.
    std::string lack() const {
        return !bitmap ? "a bitmap" : !graphics ? "a graphics context" : !family ? "a font" : "";
    }

    void fillRectangle(double left, double top, double right, double bottom, PlotColour colour) override {
        Gdiplus::GpSolidFill* brush = nullptr;
        GdipCreateSolidFill(argb(colour), &brush);
        GdipFillRectangle(graphics, brush, static_cast<float>(left), static_cast<float>(top),
                          static_cast<float>(right - left), static_cast<float>(bottom - top));
        GdipDeleteBrush(brush);
    }

    void fillPolygon(const std::vector<PlotPoint>& points, PlotColour colour) override {
        if (points.size() < 3) return;
        const std::vector<Gdiplus::PointF> converted = pointsOf(points);
        Gdiplus::GpSolidFill* brush = nullptr;
        GdipCreateSolidFill(argb(colour), &brush);
        GdipFillPolygon(graphics, brush, converted.data(), static_cast<INT>(converted.size()),
                        Gdiplus::FillModeAlternate);
        GdipDeleteBrush(brush);
    }

    void drawLine(const std::vector<PlotPoint>& points, double width, PlotColour colour, bool dashed) override {
        if (points.size() < 2) return;
        const std::vector<Gdiplus::PointF> converted = pointsOf(points);
        Gdiplus::GpPen* pen = nullptr;
        GdipCreatePen1(argb(colour), static_cast<float>(width), Gdiplus::UnitPixel, &pen);
        GdipSetPenLineJoin(pen, Gdiplus::LineJoinRound);
        if (dashed) GdipSetPenDashStyle(pen, Gdiplus::DashStyleDash);
        GdipDrawLines(graphics, pen, converted.data(), static_cast<INT>(converted.size()));
        GdipDeletePen(pen);
    }

    void drawText(double x, double y, const std::string& text, double size, PlotColour colour,
                  TextAlign align) override {
        Gdiplus::GpFont* font = nullptr;
        Gdiplus::GpStringFormat* format = nullptr;
        Gdiplus::GpSolidFill* brush = nullptr;
        GdipCreateFont(family, static_cast<float>(size), Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &font);
        GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
        GdipSetStringFormatAlign(format, align == TextAlign::Left     ? Gdiplus::StringAlignmentNear
                                         : align == TextAlign::Centre ? Gdiplus::StringAlignmentCenter
                                                                      : Gdiplus::StringAlignmentFar);
        GdipSetStringFormatLineAlign(format, Gdiplus::StringAlignmentCenter);
        GdipCreateSolidFill(argb(colour), &brush);
        // A box wide enough for any line, placed so that the alignment falls on x.
        const float boxWidth = 4000.0f;
        const float left = static_cast<float>(x) - (align == TextAlign::Left     ? 0.0f
                                                    : align == TextAlign::Centre ? boxWidth / 2
                                                                                 : boxWidth);
        const Gdiplus::RectF box(left, static_cast<float>(y - size), boxWidth, static_cast<float>(2 * size));
        const std::wstring wide = widen(text);
        GdipDrawString(graphics, wide.c_str(), static_cast<INT>(wide.size()), font, &box, format, brush);
        GdipDeleteBrush(brush);
        GdipDeleteStringFormat(format);
        GdipDeleteFont(font);
    }

    bool savePng(const std::string& path, std::string& error) override {
        GdipFlush(graphics, Gdiplus::FlushIntentionSync);
        return writePng(path, pixels.data(), width, height, error);
    }

private:
    ULONG_PTR token;
    int width;
    int height;
    std::vector<uint32_t> pixels;
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::GpFontFamily* family = nullptr;
};

}  // namespace

std::unique_ptr<PlotCanvas> PlotCanvas::create(int width, int height, std::string& error) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        error = "cannot start GDI+";
        return nullptr;
    }
    auto canvas = std::make_unique<GdiplusPlotCanvas>(token, width, height);
    const std::string lack = canvas->lack();
    if (lack.empty()) return canvas;
    error = "cannot draw an image of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels with GDI+: it gives no " + lack;
    return nullptr;
}

}  // namespace tarn
