#pragma once
#include <memory>

#include "gui/CButtonState.h"
#include "gui/CMouseEventResult.h"
#include "gui/CRect.h"
#include "gui/IPlatformOpenGLView.h"
#include "gui/VstKeyCode.h"

namespace VSTGUI {

class CDrawContext;

// What the platform window tells the frame. Positions are in frame coordinates.
class IPlatformFrameCallback {
public:
    virtual void platformDrawRect(CDrawContext* context, const CRect& rect) = 0;
    virtual CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) = 0;
    virtual bool platformOnMouseWheel(const CPoint& where, float distance, const CButtonState& buttons) = 0;
    virtual bool platformOnKeyDown(VstKeyCode& keyCode) = 0;
    virtual bool platformOnKeyUp(VstKeyCode& keyCode) = 0;
    // The desktop's scale for the window changed (moved to a monitor of another DPI).
    virtual void platformOnScaleFactorChanged(double factor) = 0;

protected:
    virtual ~IPlatformFrameCallback() = default;
};

// The frame's window inside the host's window: it paints by asking the frame to draw into
// an off-screen buffer that it then shows, and turns the window system's input into the
// callback's events.
class IPlatformFrame {
public:
    // Opens a window of size inside parent (the host's window handle); null when it cannot.
    static std::unique_ptr<IPlatformFrame> create(IPlatformFrameCallback* frame, const CRect& size, void* parent);
    // The scale the desktop asks of windows (device pixels per pixel at 96 dpi: 1 for 96, 2 for
    // 192), for the monitor parent lies on where the platform knows; 0 when it tells none.
    static double systemScaleFactor(void* parent);

    // Closes the window and everything the platform opened for it.
    virtual ~IPlatformFrame() = default;
    virtual bool setSize(const CRect& newSize) = 0;
    // Has rect repainted through platformDrawRect, now or at the window system's next paint.
    virtual bool invalidRect(const CRect& rect) = 0;
    virtual bool getCurrentMousePosition(CPoint& where) const = 0;
    virtual bool getCurrentMouseButtons(CButtonState& buttons) const = 0;
    // Called at the start of every frame idle: where the window system does not deliver
    // events by itself (Linux), pending events and due timers are handled here.
    virtual void processEvents() = 0;
    // A surface inside this window, not yet initialised.
    virtual std::unique_ptr<IPlatformOpenGLView> createPlatformOpenGLView() = 0;
};

} // namespace VSTGUI
