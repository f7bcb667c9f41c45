#pragma once

namespace VSTGUI {

// Fires the timers that the calling thread started and that are due; called from the frame's idle.
void fireDueLinuxTimers();

} // namespace VSTGUI
