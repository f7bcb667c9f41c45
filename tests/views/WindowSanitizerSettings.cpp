// The toolkit's sanitizer settings, except that the address sanitizer takes the fast,
// frame-pointer stack at allocations. Drawing triangles makes Mesa's llvmpipe compile shaders
// with LLVM, which allocates while it holds libgcc's lock of unwind tables; the slow unwinder
// takes the same lock, and the program hangs.
#include "../gui/SanitizerSettings.h"

#include <gtest/gtest.h>

#include <GL/glx.h>
#include <X11/Xlib.h>

#define SANITIZER_HOOK extern "C" __attribute__((visibility("default"))) const char*

SANITIZER_HOOK __lsan_default_suppressions() { return kLeakSuppressions; }
SANITIZER_HOOK __tsan_default_suppressions() { return kRaceSuppressions; }
SANITIZER_HOOK __asan_default_options() { return "fast_unwind_on_malloc=1"; }

namespace {

// Mesa loses a little memory each time it unloads its driver, which it does when a display
// connection with GLX closes; a fast stack cannot name the code that was unloaded, so no
// suppression matches it. One connection, open for the whole program, keeps the driver loaded.
class MesaDriverStaysLoaded : public ::testing::Environment {
public:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        if (!display) return;
        // Choosing a visual sets up the screen, which loads the driver.
        int attributes[] = {GLX_RGBA, None};
        if (XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes)) XFree(visual);
    }

private:
    static inline Display* display = nullptr;
};

const auto* const mesaDriverStaysLoaded = ::testing::AddGlobalTestEnvironment(new MesaDriverStaysLoaded);

} // namespace
