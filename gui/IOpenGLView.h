#pragma once
#include "gui/CRect.h"

namespace VSTGUI {

// Drawing of an OpenGL view, called by its platform surface with the context current.
class IOpenGLView {
public:
    virtual void drawOpenGL(const CRect& updateRect) = 0;

protected:
    virtual ~IOpenGLView() = default;
};

} // namespace VSTGUI
