#include "LeakSuppressions.h"

// Read by the address sanitizer's leak checker when the program starts.
extern "C" const char* __lsan_default_suppressions() { return kLeakSuppressions; }
