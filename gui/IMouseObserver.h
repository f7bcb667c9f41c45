#pragma once
#include "gui/CButtonState.h"
#include "gui/CMouseEventResult.h"
#include "gui/CPoint.h"

namespace VSTGUI {

class CFrame;

// Told by a frame of the presses that no view took: a click on the frame's background.
class IMouseObserver {
public:
    virtual CMouseEventResult onMouseDown(CFrame* frame, const CPoint& where, const CButtonState& buttons) = 0;

protected:
    ~IMouseObserver() = default;
};

} // namespace VSTGUI
