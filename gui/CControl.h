#pragma once
#include "gui/CControlListener.h"
#include "gui/CView.h"

namespace VSTGUI {

// A view with a value from 0 to 1 and a tag. User-interface thread only.
class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
             CBitmap* background = nullptr);

    void draw(CDrawContext* context) override = 0;

    // Keeps the value within 0 to 1 (NaN counts as 0) and marks the view dirty on a change.
    virtual void setValue(float value);
    virtual float getValue() const { return value; }
    virtual float getMin() const { return 0.f; }
    virtual float getMax() const { return 1.f; }
    virtual void setDefaultValue(float value) { defaultValue = value; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int32_t value) { tag = value; }
    virtual int32_t getTag() const { return tag; }
    virtual void setListener(CControlListener* value) { listener = value; }
    CControlListener* getListener() const { return listener; }
    void setWheelInc(float value) { wheelInc = value; }
    float getWheelInc() const { return wheelInc; }

    // A change made by the user: tells the listener.
    virtual void valueChanged();
    // Start and end of a user's gesture: told to the listener and, through the frame, to
    // the editor.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }

    // A left click with Control alone sets the default value, reported as one edit.
    virtual bool checkDefaultValue(const CButtonState& buttons);

    CLASS_METHODS_VIRTUAL(CControl, CView)

protected:
    ~CControl() override = default;

    CControlListener* listener;
    int32_t tag;

private:
    float value = 0.f;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;
    NotCopied<int32_t> editing;
};

} // namespace VSTGUI
