#include "gui/win32/GdiplusFont.h"

namespace VSTGUI {

using namespace Gdiplus::DllExports;

namespace {

INT gdiplusStyle(int32_t style) {
    INT result = Gdiplus::FontStyleRegular;
    if (style & kBoldFace) result |= Gdiplus::FontStyleBold;
    if (style & kItalicFace) result |= Gdiplus::FontStyleItalic;
    return result;
}

// The family of that name; without it, a metric-compatible one for Arial (Liberation Sans,
// which wine systems have where Microsoft's fonts are missing), else the generic sans serif.
Gdiplus::GpFontFamily* findFamily(const wchar_t* name) {
    Gdiplus::GpFontFamily* family = nullptr;
    if (GdipCreateFontFamilyFromName(name, nullptr, &family) == Gdiplus::Ok) return family;
    if (_wcsicmp(name, L"Arial") == 0 && GdipCreateFontFamilyFromName(L"Liberation Sans", nullptr, &family) == Gdiplus::Ok)
        return family;
    Gdiplus::GpFontFamily* generic = nullptr;
    if (GdipGetGenericFontFamilySansSerif(&generic) == Gdiplus::Ok && GdipCloneFontFamily(generic, &family) == Gdiplus::Ok)
        return family;
    return nullptr;
}

} // namespace

GdiplusFont::GdiplusFont(const CFontDesc& description) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, description.getName(), -1, nullptr, 0);
    std::wstring name(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, description.getName(), -1, &name[0], length);
    family = findFamily(name.c_str());
    if (!family) return;
    const INT style = gdiplusStyle(description.getStyle());
    const auto size = static_cast<Gdiplus::REAL>(description.getSize() > 0 ? description.getSize() : 12);
    if (GdipCreateFont(family, size, style, Gdiplus::UnitPixel, &font) != Gdiplus::Ok) {
        font = nullptr;
        return;
    }
    UINT16 cellAscent = 0;
    UINT16 emHeight = 0;
    GdipGetCellAscent(family, style, &cellAscent);
    GdipGetEmHeight(family, style, &emHeight);
    ascent = emHeight ? size * cellAscent / emHeight : size * 0.9;
    Gdiplus::GpStringFormat* typographic = nullptr;
    if (GdipStringFormatGetGenericTypographic(&typographic) == Gdiplus::Ok &&
        GdipCloneStringFormat(typographic, &format) == Gdiplus::Ok) {
        GdipSetStringFormatFlags(format, Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsNoClip |
                                             Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    } else {
        format = nullptr;
    }
}

GdiplusFont::~GdiplusFont() {
    if (format) GdipDeleteStringFormat(format);
    if (font) GdipDeleteFont(font);
    if (family) GdipDeleteFontFamily(family);
}

double GdiplusFont::measure(Gdiplus::GpGraphics* graphics, const std::wstring& text) const {
    if (!font || text.empty()) return 0;
    Gdiplus::RectF layout(0, 0, 100000, 1000);
    Gdiplus::RectF bounds;
    if (GdipMeasureString(graphics, text.c_str(), static_cast<INT>(text.size()), font, &layout, format, &bounds,
                          nullptr, nullptr) != Gdiplus::Ok)
        return 0;
    return bounds.Width;
}

void GdiplusFont::draw(Gdiplus::GpGraphics* graphics, const std::wstring& text, double x, double baseline,
                       Gdiplus::GpBrush* brush) const {
    if (!font || text.empty()) return;
    Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(baseline - ascent), 0, 0);
    GdipDrawString(graphics, text.c_str(), static_cast<INT>(text.size()), font, &layout, format, brush);
}

} // namespace VSTGUI
