#include "LeakSuppressions.h"

// Read by the address sanitizer when the program starts.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return kLeakSuppressions;
}
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() { return kSanitizerOptions; }
