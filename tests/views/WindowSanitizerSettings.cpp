// The toolkit's sanitizer settings, except that the address sanitizer takes the fast,
// frame-pointer stack at allocations. Drawing triangles makes Mesa's llvmpipe compile shaders
// with LLVM, which allocates while it holds libgcc's lock of unwind tables; the slow unwinder
// takes the same lock, and the program hangs.
#include "../gui/SanitizerSettings.h"

#include <cstring>

#include <dlfcn.h>
#include <link.h>

#define SANITIZER_HOOK extern "C" __attribute__((visibility("default"))) const char*

SANITIZER_HOOK __lsan_default_suppressions() { return kLeakSuppressions; }
SANITIZER_HOOK __tsan_default_suppressions() { return kRaceSuppressions; }
SANITIZER_HOOK __asan_default_options() { return "fast_unwind_on_malloc=1"; }

// Mesa unloads its GL driver as a display connection with GLX closes and loses a little memory
// each time; a fast stack cannot name code that is no longer loaded, so no suppression matches
// it. System libraries therefore stay loaded until the program ends; our own modules unload, as
// in a host.
extern "C" __attribute__((visibility("default"))) int dlclose(void* handle) {
    static auto* const unload = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_NEXT, "dlclose"));
    link_map* library = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &library) == 0 && library && std::strstr(library->l_name, "tarn")) {
        return unload(handle);
    }
    return 0;
}
