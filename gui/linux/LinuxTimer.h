#pragma once

namespace VSTGUI {

// Fires the timers of the calling thread that are due; called from the frame's idle.
void fireDueLinuxTimers();

} // namespace VSTGUI
