#pragma once
// Memory that system libraries keep for the life of the process or lose on their own, which
// the toolkit cannot free: fontconfig's process-wide configuration, and Mesa's GL driver,
// which loses a little each time it is unloaded as a display connection with GLX closes.
// The leak checker's suppression list, for the test programs and for vsthost run by them.
constexpr const char* kLeakSuppressions = "leak:libfontconfig.so\nleak:libGLX_mesa.so\n";
// Those libraries are built without frame pointers: only the slow unwinder finds them in a
// leak's stack.
constexpr const char* kSanitizerOptions = "fast_unwind_on_malloc=0";
