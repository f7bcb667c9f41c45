#pragma once
#include <windows.h>

#include "gui/VstKeyCode.h"

namespace VSTGUI {

// The toolkit's key record for a WM_KEYDOWN or WM_KEYUP virtual key, with the modifiers held now.
VstKeyCode keyCodeFromWin32(WPARAM virtualKey);

} // namespace VSTGUI
