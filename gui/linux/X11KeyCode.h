#pragma once
#include <X11/Xlib.h>

#include "gui/VstKeyCode.h"

namespace VSTGUI {

// A key press or release as the toolkit's key code: special keys as virtual keys, other
// keys as their character, and the modifiers held.
VstKeyCode keyCodeFromX11(XKeyEvent& event);

} // namespace VSTGUI
