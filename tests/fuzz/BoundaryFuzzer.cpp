// libFuzzer target: every input is a sequence of host actions on instances of the plug-in,
// made through its entry point. With a display, the editor opens on a real window.
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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The long-run figure: libFuzzer leaves through exit() when its time is up.
    std::atexit([] {
        std::fprintf(stderr, "host actions performed: %llu\n",
                     static_cast<unsigned long long>(tarn::fuzz::HostActions::total()));
    });
    if (std::getenv("DISPLAY")) {
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
