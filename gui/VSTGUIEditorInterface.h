#pragma once
#include <cstdint>

#include "gui/CRect.h"

namespace VSTGUI {

class CFrame;

// What the frame asks of the editor that owns it.
class VSTGUIEditorInterface {
public:
    // Lets the host run while the toolkit is busy.
    virtual void doIdleStuff() {}
    // The knob mode the host chose; -1 for none.
    virtual int32_t getKnobMode() const { return -1; }
    virtual void beginEdit(int32_t /*index*/) {}
    virtual void endEdit(int32_t /*index*/) {}
    virtual CFrame* getFrame() const { return frame; }
    // The desktop's scale for the frame's window changed to factor.
    virtual void systemScaleFactorChanged(double /*factor*/) {}
    // Asked before the frame changes size; false refuses the change.
    virtual bool beforeSizeChange(const CRect& /*newSize*/, const CRect& /*oldSize*/) { return true; }

protected:
    VSTGUIEditorInterface() = default;
    virtual ~VSTGUIEditorInterface() = default;

    CFrame* frame = nullptr;
};

} // namespace VSTGUI
