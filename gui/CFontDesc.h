#pragma once
#include <string>

#include "gui/CBaseObject.h"
#include "gui/CPoint.h"

namespace VSTGUI {

using UTF8StringPtr = const char*;

enum CTxtFace : int32_t {
    kNormalFace = 0,
    kBoldFace = 1 << 1,
    kItalicFace = 1 << 2,
};

// A font by family name, size in pixels and style (CTxtFace bits). Platforms resolve the
// name through their font system.
class CFontDesc : public CBaseObject {
public:
    CFontDesc(UTF8StringPtr name = "", CCoord size = 0, int32_t style = kNormalFace)
        : name(name ? name : ""), size(size), style(style) {}

    UTF8StringPtr getName() const { return name.c_str(); }
    CCoord getSize() const { return size; }
    int32_t getStyle() const { return style; }

    CLASS_METHODS(CFontDesc, CBaseObject)

private:
    std::string name;
    CCoord size;
    int32_t style;
};

using CFontRef = CFontDesc*;

// Arial, 12 points: the default font of drawing contexts and labels. Never released.
extern const CFontRef kSystemFont;

} // namespace VSTGUI
