#pragma once

namespace VSTGUI {

class CControl;

// Told when the user changes a control's value.
class CControlListener {
public:
    virtual void valueChanged(CControl* control) = 0;
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}

protected:
    virtual ~CControlListener() = default;
};

} // namespace VSTGUI
