#pragma once
#include "gui/CControl.h"

namespace VSTGUI {

// How a knob follows the mouse; the editor's knob mode, Alt takes the other way for a drag.
enum CKnobMode {
    kCircularMode = 0,      // the value follows the pointer's angle around the centre
    kRelativCircularMode,  // the value moves by the change of that angle
    kLinearMode,            // the value follows the drag distance, up and right increase it
};

// A rotary control. Its 270 degree sweep runs clockwise from the lower left over the top to
// the lower right. Begins an edit when grabbed, ends it when released.
class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          CBitmap* handle = nullptr, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    // In linear mode with Shift held, the full range takes zoomFactor times the distance.
    virtual void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }
    void setInsetValue(CCoord value) { inset = value; }
    CCoord getInsetValue() const { return inset; }

    CLASS_METHODS(CKnob, CControl)

protected:
    ~CKnob() override = default;
    // The value of the angle of where (frame coordinates) on the sweep, 0 to 1.
    float valueFromPoint(const CPoint& where) const;

    SharedPointer<CBitmap> handle;
    CPoint offset;
    CCoord inset = 3;

private:
    static constexpr float kLinearRange = 200.f;

    float zoomFactor = 1.5f;
    int32_t mode = kCircularMode;
    bool dragging = false;
    CPoint firstPoint;
    CPoint lastPoint;
    CButtonState dragButtons;
    float entryValue = 0.f;
    float startValue = 0.f;
    float range = kLinearRange;
    double lastDistance = 0;
};

} // namespace VSTGUI
