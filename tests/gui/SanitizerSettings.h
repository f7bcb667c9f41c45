#pragma once
// What the sanitizers must not report from the system libraries under the toolkit, for the
// test programs and for vsthost run by them:
// - leaks: fontconfig's process-wide configuration, Mesa's GL driver, which loses a little
//   each time it is unloaded as a display connection with GLX closes (its driver and the LLVM
//   under it, where a test program keeps them loaded), and the undefined-
//   behaviour sanitizer's own runtime (its type-check caches);
// - races: fontconfig's start-up thread (started by pango) and Mesa's rendering threads,
//   which synchronise with atomics the thread sanitizer does not see in uninstrumented code.
constexpr const char* kLeakSuppressions =
    "leak:libfontconfig.so\nleak:libGLX_mesa.so\nleak:swrast_dri.so\nleak:libLLVM\nleak:libubsan.so\n";
constexpr const char* kRaceSuppressions = "race:libfontconfig.so\nrace:libGLX_mesa.so\nrace:swrast_dri.so\n";
// Those libraries are built without frame pointers: only the slow unwinder finds them in a
// leak's stack.
constexpr const char* kAddressSanitizerOptions = "fast_unwind_on_malloc=0";
