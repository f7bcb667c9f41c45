#pragma once
#include <X11/Xlib.h>

namespace VSTGUI {

// Keeps X errors on the toolkit's own display connections from reaching the default
// handler, which would end the host's process (a host that destroys its window before
// closing the editor causes such errors). Errors on other connections go to the handler
// that was installed before.
namespace X11Errors {

void attach(Display* display);
void detach(Display* display);
// The number of errors seen on display so far.
unsigned long count(Display* display);

} // namespace X11Errors

} // namespace VSTGUI
