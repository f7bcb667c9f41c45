#include "SanitizerSettings.h"

// Read by the sanitizers when the program starts.
#define SANITIZER_HOOK extern "C" __attribute__((visibility("default"))) const char*

SANITIZER_HOOK __lsan_default_suppressions() { return kLeakSuppressions; }
SANITIZER_HOOK __tsan_default_suppressions() { return kRaceSuppressions; }
SANITIZER_HOOK __asan_default_options() { return kAddressSanitizerOptions; }
