#pragma once
#include <memory>
#include <vector>

#include "gui/CVSTGUITimer.h"
#include "gui/CView.h"
#include "gui/IMouseObserver.h"
#include "gui/IPlatformFrame.h"
#include "gui/SharedPointer.h"
#include "gui/VSTGUIEditorInterface.h"

namespace VSTGUI {

// The editor's window inside the host's window; owns its views. Releasing the frame
// (forget) removes and releases every view and closes the window. Runs on the
// user-interface thread.
class CFrame : public CView, private IPlatformFrameCallback {
public:
    // Opens the window in pSystemWindow (the host's window handle). Without a usable
    // parent the frame exists without a window and draws nothing.
    CFrame(const CRect& size, void* pSystemWindow, VSTGUIEditorInterface* pEditor);

    // Takes over the caller's reference; views are drawn in the order they were added.
    bool addView(CView* view);
    // Takes the view out; withForget releases the frame's reference.
    bool removeView(CView* view, bool withForget = true);
    void removeAll(bool withForget = true);
    int32_t getNbViews() const { return static_cast<int32_t>(views.size()); }
    CView* getView(int32_t index) const;
    // The topmost visible, mouse-enabled view under where, or null.
    CView* getViewAt(const CPoint& where) const;

    // Handles pending window events and due timers, then redraws the views marked dirty.
    void idle();
    // Repaints rect: the background, then every view that overlaps it, in order.
    void invalidRect(const CRect& rect);
    bool setSize(CCoord width, CCoord height);

    void beginEdit(int32_t index);
    void endEdit(int32_t index);
    int32_t getKnobMode() const;
    VSTGUIEditorInterface* getEditor() const { return editor; }
    IPlatformFrame* getPlatformFrame() const { return platformFrame.get(); }
    bool getCurrentMouseLocation(CPoint& where) const;
    CButtonState getCurrentMouseButtons() const;
    void setFocusView(CView* view) { focusView = view; }
    CView* getFocusView() const { return focusView; }

    // Observers hear, in the order registered, of presses that no view took.
    void registerMouseObserver(IMouseObserver* observer);
    void unregisterMouseObserver(IMouseObserver* observer);

    // Views that want idle calls; the timer is created, at CView::idleRate of that
    // moment, when the first one registers.
    void addIdleView(CView* view);
    void removeIdleView(CView* view);
    uint32_t getIdleTimerPeriod() const { return idleTimer ? idleTimer->getFireTime() : 0; }

    CFrame* getFrame() const override { return const_cast<CFrame*>(this); }
    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;

    CLASS_METHODS_NOCOPY(CFrame, CView)

protected:
    ~CFrame() override;

private:
    void platformDrawRect(CDrawContext* context, const CRect& rect) override;
    CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) override;
    bool platformOnMouseWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    bool platformOnKeyDown(VstKeyCode& keyCode) override;
    bool platformOnKeyUp(VstKeyCode& keyCode) override;
    void platformOnScaleFactorChanged(double factor) override;
    void fireIdleViews();

    VSTGUIEditorInterface* editor;
    std::vector<SharedPointer<CView>> views;
    CView* mouseDownView = nullptr;
    CView* focusView = nullptr;
    std::vector<CView*> idleViews;
    std::vector<IMouseObserver*> mouseObservers;
    SharedPointer<CVSTGUITimer> idleTimer;
    std::unique_ptr<IPlatformFrame> platformFrame;
};

} // namespace VSTGUI
