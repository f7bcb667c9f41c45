#pragma once

namespace VSTGUI {

// What a view answers to a mouse event. A view that answers a press with kMouseEventHandled
// receives the moves and the release until the button is up.
enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

} // namespace VSTGUI
