// libFuzzer target: every input is a sequence of host actions on instances of the plug-in,
// made through its entry point. With a display, the editor opens on a real window.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "tests/fuzz/HostActions.h"
#include "tools/vsthost/HostWindow.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

namespace {

std::unique_ptr<tarn::HostWindow> window;

} // namespace

// The system libraries under the editor keep process-wide caches (fontconfig) and lose a
// little whenever the GL driver is unloaded with its display. The driver is kept loaded, so
// that what it keeps can be told by its name; the slow unwinder, which would find these
// libraries' frames on its own, deadlocks in the GL driver's run-time generated code.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libGLX_mesa.so\nleak:swrast_dri.so\nleak:libLLVM\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The long-run figure: libFuzzer leaves through exit() when its time is up.
    std::atexit([] {
        std::fprintf(stderr, "host actions performed: %llu\n",
                     static_cast<unsigned long long>(tarn::fuzz::HostActions::total()));
    });
    if (std::getenv("DISPLAY")) {
        dlopen("libGLX_mesa.so.0", RTLD_NOW | RTLD_NODELETE);
        dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
        std::string error;
        window = tarn::HostWindow::create(600, 400, "tarn boundary fuzzer", error);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarn::fuzz::ByteReader in(data, size);
    tarn::fuzz::HostActions host(VSTPluginMain, window.get());
    host.run(in);
    return 0;
}
