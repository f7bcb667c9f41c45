#include "gui/CKnob.h"

#include <cmath>

#include "gui/CFrame.h"

namespace VSTGUI {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kSweep = 1.5 * kPi;
} // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
             const CPoint& offset)
    : CControl(size, listener, tag, background), handle(handle), offset(offset) {}

void CKnob::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) bitmap->draw(context, size, offset);
}

float CKnob::valueFromPoint(const CPoint& where) const {
    const CPoint centre = size.getCenter();
    // Angle clockwise from straight up, -pi to pi; the sweep starts at -135 degrees.
    const double angle = std::atan2(where.x - centre.x, centre.y - where.y);
    const double v = (angle + kSweep / 2) / kSweep;
    // In the gap at the bottom the nearer end of the sweep holds.
    return static_cast<float>(v < 0 ? 0 : (v > 1 ? 1 : v));
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    dragging = true;

    const CFrame* frame = getFrame();
    const int32_t knobMode = frame ? frame->getKnobMode() : kCircularMode;
    if (buttons & kAlt) mode = knobMode == kLinearMode ? kCircularMode : kLinearMode;
    else mode = knobMode == kLinearMode || knobMode == kRelativCircularMode ? knobMode : kCircularMode;

    firstPoint = where;
    lastPoint = CPoint(-1, -1);
    lastDistance = 0;
    dragButtons = buttons;
    entryValue = getValue();
    range = kLinearRange * ((buttons & kShift) ? zoomFactor : 1.f);
    startValue = valueFromPoint(where);
    if (mode == kRelativCircularMode) {
        lastPoint = where;
        return kMouseEventHandled;
    }
    return onMouseMoved(where, buttons);
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!dragging || !buttons.isLeftButton()) return kMouseEventNotHandled;
    if (where == lastPoint) return kMouseEventHandled;
    lastPoint = where;

    float newValue = getValue();
    if (mode == kLinearMode) {
        const double distance = (firstPoint.y - where.y) + (where.x - firstPoint.x);
        // Shift pressed or released mid-drag: continue from here at the new scale.
        if ((buttons & kShift) != (dragButtons & kShift)) {
            const float newRange = kLinearRange * ((buttons & kShift) ? zoomFactor : 1.f);
            entryValue += static_cast<float>(lastDistance * (1.0 / range - 1.0 / newRange));
            range = newRange;
            dragButtons = buttons;
        }
        newValue = static_cast<float>(entryValue + distance / range);
        lastDistance = distance;
    } else {
        const float angleValue = valueFromPoint(where);
        // A jump of more than half the sweep means the pointer crossed the gap at the
        // bottom: the value stays at the end it came from.
        const bool crossedFromTop = startValue - angleValue > 0.5f;
        const bool crossedFromBottom = angleValue - startValue > 0.5f;
        if (mode == kCircularMode) {
            if (crossedFromTop) newValue = getMax();
            else if (crossedFromBottom) newValue = getMin();
            else {
                newValue = angleValue;
                startValue = angleValue;
            }
        } else if (!crossedFromTop && !crossedFromBottom) {
            newValue = getValue() + (angleValue - startValue);
            startValue = angleValue;
        }
    }
    const float oldValue = getValue();
    setValue(newValue);
    if (getValue() != oldValue) valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

bool CKnob::onWheel(const CPoint&, const float& distance, const CButtonState&) {
    if (!getMouseEnabled()) return false;
    const float oldValue = getValue();
    setValue(oldValue + distance * getWheelInc());
    if (getValue() != oldValue) {
        beginEdit();
        valueChanged();
        endEdit();
    }
    return true;
}

} // namespace VSTGUI
