#pragma once
#include <X11/Xlib.h>

namespace VSTGUI {

// Opens a connection to the default X display. A busy server can refuse a connection for a
// moment (its queue of pending connections is full), so this tries a few times over about
// 50 ms before giving up with null.
Display* openX11Display();

} // namespace VSTGUI
