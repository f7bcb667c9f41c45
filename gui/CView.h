#pragma once
#include <cstdint>

#include "gui/CBaseObject.h"
#include "gui/CBitmap.h"
#include "gui/CButtonState.h"
#include "gui/CMouseEventResult.h"
#include "gui/CRect.h"
#include "gui/NotCopied.h"
#include "gui/SharedPointer.h"
#include "gui/VstKeyCode.h"

namespace VSTGUI {

class CDrawContext;
class CFrame;

// A rectangle of the frame that draws itself and takes mouse and key events. Positions are
// in frame coordinates. Everything runs on the user-interface thread.
class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);

    // Draws the background bitmap, if any, over the view.
    virtual void draw(CDrawContext* context);
    // Called by the frame when updateRect, which overlaps the view, needs painting.
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    virtual bool checkUpdate(const CRect& updateRect) const { return updateRect.rectOverlap(size); }

    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    // distance: notches, positive away from the user.
    virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
    // 1 when handled, -1 when not.
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);
    // Called by the frame's idle-view timer while the view wants idle calls and is attached.
    virtual void onIdle() {}

    // A dirty view is redrawn by the frame's next idle.
    virtual void setDirty(bool state = true) { dirty = state; }
    virtual bool isDirty() const { return dirty; }
    void invalid() { setDirty(true); }

    // A transparent view has whatever lies behind it drawn first.
    virtual void setTransparency(bool state) { transparent = state; }
    bool getTransparency() const { return transparent; }
    void setWantsIdle(bool state);
    bool wantsIdle() const { return wantsIdleCalls; }
    // Idle calls per second of the idle-view timer, read when a frame creates its timer.
    static uint32_t idleRate;
    void setWantsFocus(bool state) { wantsFocusFlag = state; }
    bool wantsFocus() const { return wantsFocusFlag; }
    virtual void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }
    virtual void setVisible(bool state);
    bool isVisible() const { return visible; }
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = -1);

    // The frame calls attached when the view is added and removed when it is taken out.
    virtual bool attached(CView* parent);
    virtual bool removed(CView* parent);
    bool isAttached() const { return frame != nullptr; }
    virtual CFrame* getFrame() const { return frame; }

    virtual void setViewSize(const CRect& rect, bool invalid = true);
    const CRect& getViewSize() const { return size; }
    CRect& getViewSize(CRect& rect) const {
        rect = size;
        return rect;
    }
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }

    // Remembers the bitmap; null removes it.
    virtual void setBackground(CBitmap* background);
    CBitmap* getBackground() const { return background.get(); }

    CLASS_METHODS(CView, CBaseObject)

protected:
    ~CView() override = default;

    CRect size;

private:
    bool dirty = false;
    bool transparent = false;
    bool wantsIdleCalls = false;
    bool wantsFocusFlag = false;
    bool mouseEnabled = true;
    bool visible = true;
    SharedPointer<CBitmap> background;
    NotCopied<CFrame*> frame;
};

} // namespace VSTGUI
