// Host actions from a random generator with a given start against a plug-in library loaded by path, for
// builds without libFuzzer (the Windows DLLs under wine): the fuzzer's decoder fed with
// random bytes, one fresh run of it per 4 kB; editors open only with "editor". Also cycles
// instances as a long session does, every tenth with its editor.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/SharedLibrary.h"
#include "tests/fuzz/HostActions.h"
#include "tools/vsthost/HostWindow.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: random_host <plugin> actions <count> <start> [editor]\n"
                         "       random_host <plugin> instances <count>\n");
    return 2;
}

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

int runActions(tarn::fuzz::PluginEntry entry, tarn::HostWindow* window, unsigned long long count, unsigned start) {
    std::mt19937_64 random(start);
    std::vector<std::uint8_t> bytes(4096);
    while (tarn::fuzz::HostActions::total() < count) {
        for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
        tarn::fuzz::ByteReader in(bytes.data(), bytes.size());
        tarn::fuzz::HostActions host(entry, window);
        host.run(in);
    }
    std::printf("%llu host actions from start %u, no finding\n",
                static_cast<unsigned long long>(tarn::fuzz::HostActions::total()), start);
    return 0;
}

// Makes and closes instances one after another; every tenth opens its editor on the window,
// idles it and closes it first. An editor that does not open is a failure.
int cycleInstances(tarn::fuzz::PluginEntry entry, tarn::HostWindow& window, unsigned long count) {
    unsigned long editors = 0;
    for (unsigned long i = 0; i < count; ++i) {
        AEffect* effect = entry(quietHost);
        if (!effect) {
            std::fprintf(stderr, "random_host: instance %lu was not made\n", i);
            return 1;
        }
        if (i % 10 == 0 && (effect->flags & effFlagsHasEditor)) {
            if (!effect->dispatcher(effect, effEditOpen, 0, 0, window.handle(), 0.0f)) {
                std::fprintf(stderr, "random_host: the editor of instance %lu did not open\n", i);
                return 1;
            }
            for (int k = 0; k < 3; ++k) {
                window.processEvents();
                effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
            }
            effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
            ++editors;
        }
        if (effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f) != 1) {
            std::fprintf(stderr, "random_host: effClose of instance %lu did not answer 1\n", i);
            return 1;
        }
    }
    std::printf("%lu instances made and closed, %lu with their editor opened\n", count, editors);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    std::string error;
    std::unique_ptr<tarn::SharedLibrary> library = tarn::SharedLibrary::open(argv[1], error);
    if (!library) {
        std::fprintf(stderr, "random_host: %s\n", error.c_str());
        return 1;
    }
    auto entry = reinterpret_cast<tarn::fuzz::PluginEntry>(library->symbol("VSTPluginMain"));
    if (!entry) {
        std::fprintf(stderr, "random_host: no VSTPluginMain in %s\n", argv[1]);
        return 1;
    }
    const unsigned long long count = std::strtoull(argv[3], nullptr, 10);
    const bool actions = std::strcmp(argv[2], "actions") == 0 &&
                         (argc == 5 || (argc == 6 && std::strcmp(argv[5], "editor") == 0));
    const bool instances = std::strcmp(argv[2], "instances") == 0 && argc == 4;
    if (!actions && !instances) return usage();
    // Editors open on a real window where the platform gives one. An editor costs tens of
    // milliseconds to open and its idle waits for the next refresh, so actions run without
    // one unless asked.
    std::unique_ptr<tarn::HostWindow> window;
    if (instances || argc == 6) window = tarn::HostWindow::create(600, 400, "random_host", error);
    if (actions) return runActions(entry, window.get(), count, static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)));
    if (!window) {
        std::fprintf(stderr, "random_host: no window for the editors: %s\n", error.c_str());
        return 1;
    }
    return cycleInstances(entry, *window, static_cast<unsigned long>(count));
}
