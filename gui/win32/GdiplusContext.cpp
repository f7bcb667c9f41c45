#include "gui/win32/GdiplusContext.h"

#include <cmath>
#include <string>

#include "gui/win32/GdiplusBitmap.h"
#include "gui/win32/GdiplusFont.h"

namespace VSTGUI {

using namespace Gdiplus::DllExports;

namespace {

GdiplusBitmap* platformOf(const CBitmap* bitmap) {
    return bitmap ? static_cast<GdiplusBitmap*>(bitmap->getPlatformBitmap()) : nullptr;
}

Gdiplus::ARGB argbOf(const CColor& color) {
    return static_cast<Gdiplus::ARGB>(color.alpha) << 24 | static_cast<Gdiplus::ARGB>(color.red) << 16 |
           static_cast<Gdiplus::ARGB>(color.green) << 8 | static_cast<Gdiplus::ARGB>(color.blue);
}

std::wstring widen(UTF8StringPtr text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

void fill(Gdiplus::GpGraphics* graphics, const CColor& color, const CRect& rect) {
    Gdiplus::GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(argbOf(color), &brush) != Gdiplus::Ok) return;
    GdipFillRectangle(graphics, brush, static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                      static_cast<Gdiplus::REAL>(rect.getWidth()), static_cast<Gdiplus::REAL>(rect.getHeight()));
    GdipDeleteBrush(brush);
}

} // namespace

COffscreenContext* COffscreenContext::create(CBitmap* bitmap) {
    if (!bitmap || !bitmap->isLoaded()) return nullptr;
    auto* context = new GdiplusContext(bitmap);
    if (!context->isValid()) {
        context->forget();
        return nullptr;
    }
    return context;
}

GdiplusContext::GdiplusContext(CBitmap* bitmap) : COffscreenContext(bitmap) {
    GdiplusBitmap* target = platformOf(bitmap);
    if (!module.held() || !target || GdipGetImageGraphicsContext(target->getBitmap(), &graphics) != Gdiplus::Ok) {
        graphics = nullptr;
        return;
    }
    // Our pixel x spans x to x + 1; GDI+'s pixel centres lie on whole numbers.
    GdipTranslateWorldTransform(graphics, -0.5f, -0.5f, Gdiplus::MatrixOrderPrepend);
    GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
    GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
    GdipSetCompositingQuality(graphics, Gdiplus::CompositingQualityHighSpeed);
}

GdiplusContext::~GdiplusContext() {
    if (graphics) GdipDeleteGraphics(graphics);
}

void GdiplusContext::endDraw() {
    if (graphics) GdipFlush(graphics, Gdiplus::FlushIntentionSync);
}

void GdiplusContext::applyClip(const CRect* within) {
    CRect clip;
    getClipRect(clip);
    if (within) clip.bound(*within);
    GdipSetClipRect(graphics, static_cast<Gdiplus::REAL>(clip.left), static_cast<Gdiplus::REAL>(clip.top),
                    static_cast<Gdiplus::REAL>(clip.getWidth()), static_cast<Gdiplus::REAL>(clip.getHeight()),
                    Gdiplus::CombineModeReplace);
}

void GdiplusContext::drawLine(const CPoint& start, const CPoint& end) {
    if (!graphics) return;
    applyClip();
    const double width = getLineWidth();
    const double shift = std::fmod(std::round(width), 2.0) == 1.0 ? 0.5 : 0.0;
    Gdiplus::GpPen* pen = nullptr;
    if (GdipCreatePen1(argbOf(getFrameColor()), static_cast<Gdiplus::REAL>(width), Gdiplus::UnitPixel, &pen) !=
        Gdiplus::Ok)
        return;
    GdipDrawLine(graphics, pen, static_cast<Gdiplus::REAL>(start.x + shift), static_cast<Gdiplus::REAL>(start.y + shift),
                 static_cast<Gdiplus::REAL>(end.x + shift), static_cast<Gdiplus::REAL>(end.y + shift));
    GdipDeletePen(pen);
}

void GdiplusContext::drawRect(const CRect& rect, CDrawStyle drawStyle) {
    if (!graphics) return;
    applyClip();
    if (drawStyle != kDrawStroked) fill(graphics, getFillColor(), rect);
    if (drawStyle == kDrawFilled) return;
    // The stroke lies inside the rectangle, along its edge.
    const double width = getLineWidth();
    Gdiplus::GpPen* pen = nullptr;
    if (GdipCreatePen1(argbOf(getFrameColor()), static_cast<Gdiplus::REAL>(width), Gdiplus::UnitPixel, &pen) !=
        Gdiplus::Ok)
        return;
    GdipDrawRectangle(graphics, pen, static_cast<Gdiplus::REAL>(rect.left + width / 2),
                      static_cast<Gdiplus::REAL>(rect.top + width / 2), static_cast<Gdiplus::REAL>(rect.getWidth() - width),
                      static_cast<Gdiplus::REAL>(rect.getHeight() - width));
    GdipDeletePen(pen);
}

void GdiplusContext::clearRect(const CRect& rect) {
    if (!graphics) return;
    applyClip();
    GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
    fill(graphics, CColor(0, 0, 0, 0), rect);
    GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceOver);
}

void GdiplusContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) {
    GdiplusBitmap* source = platformOf(bitmap);
    if (!graphics || !source || !bitmap->isLoaded() || alpha <= 0.f) return;
    // Only the part inside the clip is drawn, pixel for pixel from the source.
    CRect area = dest;
    CRect clip;
    area.bound(getClipRect(clip));
    const CPoint size = source->getSize();
    area.bound(CRect(dest.left - offset.x, dest.top - offset.y, dest.left - offset.x + size.x, dest.top - offset.y + size.y));
    if (area.isEmpty()) return;
    applyClip(&area);
    Gdiplus::GpImageAttributes* attributes = nullptr;
    if (alpha < 1.f && GdipCreateImageAttributes(&attributes) == Gdiplus::Ok) {
        Gdiplus::ColorMatrix matrix{};
        for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.f;
        matrix.m[3][3] = alpha;
        GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                          Gdiplus::ColorMatrixFlagsDefault);
    }
    const auto width = static_cast<INT>(area.getWidth());
    const auto height = static_cast<INT>(area.getHeight());
    GdipDrawImageRectRectI(graphics, source->getBitmap(), static_cast<INT>(area.left), static_cast<INT>(area.top), width,
                           height, static_cast<INT>(area.left - dest.left + offset.x),
                           static_cast<INT>(area.top - dest.top + offset.y), width, height, Gdiplus::UnitPixel,
                           attributes, nullptr, nullptr);
    if (attributes) GdipDisposeImageAttributes(attributes);
}

void GdiplusContext::drawString(UTF8StringPtr string, const CRect& rect, CHoriTxtAlign hAlign, bool antialias) {
    if (!graphics || !string || !*string || !getFont()) return;
    const std::wstring text = widen(string);
    GdiplusFont font(*getFont());
    if (text.empty() || !font.isValid()) return;
    applyClip();
    GdipSetTextRenderingHint(graphics, antialias ? Gdiplus::TextRenderingHintAntiAlias
                                                 : Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
    const double width = font.measure(graphics, text);
    double x = rect.left;
    if (hAlign == kCenterText) x = rect.left + (rect.getWidth() - width) / 2;
    else if (hAlign == kRightText) x = rect.right - width;
    // Capitals and digits are centred: the baseline lies 0.4 font sizes below the middle.
    const double baseline = rect.top + rect.getHeight() / 2 + getFont()->getSize() * 0.4;
    Gdiplus::GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(argbOf(getFontColor()), &brush) != Gdiplus::Ok) return;
    font.draw(graphics, text, std::round(x), std::round(baseline), brush);
    GdipDeleteBrush(brush);
}

CCoord GdiplusContext::getStringWidth(UTF8StringPtr string) {
    if (!graphics || !string || !*string || !getFont()) return 0;
    GdiplusFont font(*getFont());
    return font.isValid() ? font.measure(graphics, widen(string)) : 0;
}

} // namespace VSTGUI
