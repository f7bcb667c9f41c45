#include "gui/CControl.h"

#include <cmath>

#include "gui/CFrame.h"

namespace VSTGUI {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag) {
    setBackground(background);
}

void CControl::setValue(float newValue) {
    if (std::isnan(newValue) || newValue < getMin()) newValue = getMin();
    else if (newValue > getMax()) newValue = getMax();
    if (value == newValue) return;
    value = newValue;
    setDirty(true);
}

void CControl::valueChanged() {
    if (listener) listener->valueChanged(this);
}

void CControl::beginEdit() {
    editing = editing + 1;
    if (listener) listener->controlBeginEdit(this);
    if (CFrame* frame = getFrame()) frame->beginEdit(tag);
}

void CControl::endEdit() {
    if (editing > 0) editing = editing - 1;
    if (CFrame* frame = getFrame()) frame->endEdit(tag);
    if (listener) listener->controlEndEdit(this);
}

bool CControl::checkDefaultValue(const CButtonState& buttons) {
    if (!buttons.isLeftButton() || buttons.getModifierState() != kControl) return false;
    beginEdit();
    setValue(getDefaultValue());
    valueChanged();
    endEdit();
    return true;
}

} // namespace VSTGUI
