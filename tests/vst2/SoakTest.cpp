#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/vst2/TestHost.h"
#include "tests/Cycles.h"
#include "tests/OpenFiles.h"
#include "tools/vsthost/HostWindow.h"

// A long session in one process: many instances made and closed, then many processing at
// once on several threads while their editors idle on this thread. Leaks are caught by the
// address sanitizer's leak check at exit (and by the in-process count below), races by the
// thread sanitizer build.

// The system libraries under the editors: fontconfig keeps process-wide caches, and Mesa's
// threads synchronise in ways the thread sanitizer does not see. Their leaks are told by their
// names with the fast unwinder; the slow one deadlocks when Mesa's JIT registers its code.
#define SANITIZER_HOOK extern "C" __attribute__((visibility("default"))) const char*
SANITIZER_HOOK __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libGLX_mesa.so\nleak:swrast_dri.so\nleak:libLLVM\n";
}
SANITIZER_HOOK __tsan_default_suppressions() {
    return "race:libfontconfig.so\nrace:libGLX_mesa.so\nrace:swrast_dri.so\n";
}

namespace {

// Mesa's GL driver loses a little each time it is unloaded, which happens whenever the last
// display connection using it closes; kept loaded, it leaves only what the editors leave, and
// what it keeps itself can be told by its name.
const bool driverKeptLoaded = [] {
    dlopen("libGLX_mesa.so.0", RTLD_NOW | RTLD_NODELETE);
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
    return true;
}();

constexpr int kCycled = 1000;
constexpr int kConcurrent = 16;
constexpr int kThreads = 4;
constexpr int kFrames = 24000;

std::size_t bytesInUse() { return mallinfo2().uordblks; }

// Child windows under `parent`, counted on a display connection of our own.
class WindowCounter {
public:
    WindowCounter() : display(XOpenDisplay(nullptr)) {}
    ~WindowCounter() {
        if (display) XCloseDisplay(display);
    }
    WindowCounter(const WindowCounter&) = delete;
    WindowCounter& operator=(const WindowCounter&) = delete;

    int children(void* parent) {
        Window root = 0;
        Window up = 0;
        Window* list = nullptr;
        unsigned count = 0;
        const Window window = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
        if (!XQueryTree(display, window, &root, &up, &list, &count)) return -1;
        if (list) XFree(list);
        return static_cast<int>(count);
    }
    int topLevel() { return children(reinterpret_cast<void*>(static_cast<std::uintptr_t>(DefaultRootWindow(display)))); }

    Display* display;
};

std::unique_ptr<tarn::HostWindow> makeWindow() {
    std::string error;
    auto window = tarn::HostWindow::create(600, 400, "soak", error);
    EXPECT_TRUE(window) << error;
    return window;
}

bool hasEditor(Instance& plugin) { return (plugin.effect->flags & effFlagsHasEditor) != 0; }

// Opens the editor, idles it a few times and closes it; answers whether it opened.
bool showEditor(Instance& plugin, tarn::HostWindow& window) {
    if (!hasEditor(plugin) || plugin.dispatch(effEditOpen, 0, 0, window.handle()) == 0) return false;
    for (int i = 0; i < 3; ++i) {
        window.processEvents();
        plugin.dispatch(effEditIdle);
    }
    plugin.dispatch(effEditClose);
    window.processEvents();
    return true;
}

// Each concurrent instance has settings and a signal of its own, so a mix-up between
// instances changes someone's output.
void configure(Instance& plugin, int k) {
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, k % 2 ? 48000.0f : 44100.0f);
    plugin.set(0, 0.4f + 0.02f * static_cast<float>(k));
    plugin.set(1, 0.5f + 0.02f * static_cast<float>(k));
    plugin.set(2, 0.7f);
    plugin.set(3, 0.1f + 0.04f * static_cast<float>(k));
    plugin.set(4, 0.01f * static_cast<float>(k + 1));
    plugin.set(5, 0.02f);
}

struct Render {
    std::vector<double> left;
    std::vector<double> right;
};

Render signalFor(int k) {
    Render s;
    for (int i = 0; i < kFrames; ++i) {
        const double envelope = (i / 3000) % 2 ? 0.9 : 0.05;
        s.left.push_back(envelope * std::sin(0.01 * (k + 1) * i));
        s.right.push_back(envelope * std::sin(0.013 * (k + 2) * i + 0.5));
    }
    return s;
}

// Processes instance k's signal in blocks that vary in size, in k's precision: even k 32-bit,
// odd k 64-bit.
Render renderInto(Instance& plugin, int k) {
    const Render in = signalFor(k);
    Render out{std::vector<double>(kFrames), std::vector<double>(kFrames)};
    std::vector<float> fl(in.left.begin(), in.left.end());
    std::vector<float> fr(in.right.begin(), in.right.end());
    std::vector<double> dl = in.left;
    std::vector<double> dr = in.right;
    for (int start = 0, b = 0; start < kFrames; ++b) {
        const int n = std::min(kFrames - start, 64 + 97 * ((b + k) % 11));
        if (k % 2 == 0)
            plugin.process(&fl[start], &fr[start], &fl[start], &fr[start], n);
        else
            plugin.process(&dl[start], &dr[start], &dl[start], &dr[start], n);
        start += n;
    }
    if (k % 2 == 0) {
        out.left.assign(fl.begin(), fl.end());
        out.right.assign(fr.begin(), fr.end());
    } else {
        out.left = dl;
        out.right = dr;
    }
    return out;
}

} // namespace

TEST(Soak, AThousandInstancesComeAndGoWithoutResidue) {
    TestHost host;
    ASSERT_TRUE(driverKeptLoaded);
    auto window = makeWindow();
    ASSERT_TRUE(window);
    WindowCounter windows;
    ASSERT_TRUE(windows.display);
    // The first instances warm up what a process keeps once (the display connection's
    // caches, the GL driver), so the counts are taken after them.
    for (int i = 0; i < 10; ++i) {
        Instance plugin;
        ASSERT_TRUE(plugin.effect);
        if (i == 0) showEditor(plugin, *window);
    }
    const int fds = openFileCount();
    const int topLevel = windows.topLevel();
    std::size_t bytesAfterFirstHundred = 0;
    int editors = 0;
    // The memory check compares the first hundred instances with the rest: at least 200 run.
    const int cycled = std::max(200, tarn::test::cycles(kCycled));
    for (int i = 0; i < cycled; ++i) {
        {
            Instance plugin;
            ASSERT_TRUE(plugin.effect) << "instance " << i;
            if (i % 10 == 0 && showEditor(plugin, *window)) ++editors;
        }
        TestHost::reset();
        if (i == 99) bytesAfterFirstHundred = bytesInUse();
    }
    window->processEvents();
    EXPECT_EQ(openFileCount(), fds) << "file descriptors left open";
    EXPECT_EQ(windows.children(window->handle()), 0) << "editor windows left in the host's window";
    EXPECT_EQ(windows.topLevel(), topLevel) << "top-level windows left";
    // The instances after the first hundred, a tenth of them with editors, hold no more memory
    // than the first hundred left.
    EXPECT_LE(bytesInUse(), bytesAfterFirstHundred + 16 * 1024) << "memory grows with every instance";
    Instance probe;
    if (hasEditor(probe)) {
        EXPECT_EQ(editors, cycled / 10) << "every tenth editor opened";
    }
}

TEST(Soak, SixteenInstancesOnFourThreadsSoundAsEachAlone) {
    TestHost host;
    std::vector<Render> alone;
    for (int k = 0; k < kConcurrent; ++k) {
        Instance plugin;
        configure(plugin, k);
        alone.push_back(renderInto(plugin, k));
    }

    std::vector<std::unique_ptr<Instance>> plugins;
    std::vector<std::unique_ptr<tarn::HostWindow>> windows;
    for (int k = 0; k < kConcurrent; ++k) {
        plugins.push_back(std::make_unique<Instance>());
        configure(*plugins.back(), k);
        windows.push_back(makeWindow());
        ASSERT_TRUE(windows.back());
        if (hasEditor(*plugins.back())) {
            EXPECT_EQ(plugins.back()->dispatch(effEditOpen, 0, 0, windows.back()->handle()), 1) << "editor " << k;
        }
    }

    std::vector<Render> together(kConcurrent);
    std::atomic<int> running{kThreads};
    std::vector<std::thread> audio;
    for (int t = 0; t < kThreads; ++t)
        audio.emplace_back([&, t] {
            for (int k = t; k < kConcurrent; k += kThreads) {
                const auto i = static_cast<std::size_t>(k);
                together[i] = renderInto(*plugins[i], k);
            }
            --running;
        });
    // The user-interface thread idles every open editor while the audio threads run.
    long idles = 0;
    while (running > 0 || idles == 0) {
        for (int k = 0; k < kConcurrent; ++k) {
            windows[static_cast<std::size_t>(k)]->processEvents();
            plugins[static_cast<std::size_t>(k)]->dispatch(effEditIdle);
            ++idles;
        }
        std::this_thread::yield();
    }
    for (std::thread& t : audio) t.join();
    for (auto& plugin : plugins) plugin->dispatch(effEditClose);

    for (int k = 0; k < kConcurrent; ++k) {
        EXPECT_EQ(together[static_cast<std::size_t>(k)].left, alone[static_cast<std::size_t>(k)].left) << "instance " << k;
        EXPECT_EQ(together[static_cast<std::size_t>(k)].right, alone[static_cast<std::size_t>(k)].right) << "instance " << k;
    }
}
