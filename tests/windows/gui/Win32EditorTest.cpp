#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "tests/windows/gui/Win32TestWindow.h"
#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/Plugin.h"

// A plug-in DLL's editor in a host window, as a host drives it: the toy plug-in (240 x 120: a
// knob at 10,10 to 50,50 from a 20-frame strip, a blue label, a magenta OpenGL view at 170,10
// to 230,110).
namespace tarn {
namespace {


// What the process holds: GDI and USER objects (wine answers 0 for both, Windows counts them)
// and private memory, which a leaked frame buffer or bitmap would raise.
struct Holdings {
    DWORD gdi;
    DWORD user;
    SIZE_T memory;
};

Holdings holdings() {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
            memory.PrivateUsage};
}

void expectNothingHeldSince(const Holdings& start) {
    const Holdings now = holdings();
    EXPECT_EQ(now.gdi, start.gdi);
    EXPECT_EQ(now.user, start.user);
    // One frame buffer of the toy is 115 kB: a hundred leaked ones would show.
    EXPECT_LT(now.memory, start.memory + 4 * 1024 * 1024) << "from " << start.memory << " to " << now.memory;
}

// Whether the toolkit's frame class of a loaded module is registered (named after the module handle).
bool frameClassRegistered(const std::string& module) {
    HMODULE handle = GetModuleHandleA(module.c_str());
    wchar_t name[64];
    std::swprintf(name, 64, L"tarnFrame%llx", reinterpret_cast<unsigned long long>(handle));
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    return handle && GetClassInfoExW(handle, name, &info);
}

std::unique_ptr<Plugin> load(const std::string& path) {
    std::string error;
    std::unique_ptr<Plugin> plugin = Plugin::load(path, error);
    EXPECT_TRUE(plugin) << error;
    return plugin;
}

std::unique_ptr<Plugin> loadToy() { return load(programFolder() + "toy_editor_plugin.dll"); }

BOOL CALLBACK countWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// Top-level windows of this thread: ours and any the editors left behind.
int threadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(Win32Editor, OpensInTheHostWindowAndShowsKnobLabelAndOpenGLView) {
    auto plugin = loadToy();
    ASSERT_TRUE(plugin);
    Win32TestWindow window(240, 120);
    ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, window.handle()), 1);
    HWND surface = FindWindowExW(window.child(), nullptr, nullptr, nullptr);
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> gl;
    pumpUntil(
        [&] {
            pixels = window.snapshot();
            gl = readOpenGLSurface(surface, width, height);
            return window.pixel(pixels, 30, 30) == 0x00ff00u && gl.size() == 60u * 100u && gl[50 * 60 + 30] == 0xff00ffu;
        },
        [&] { plugin->dispatch(effEditIdle); });
    EXPECT_EQ(window.pixel(pixels, 30, 30), 0x00ff00u);  // the knob at 1: its last frame, all green
    EXPECT_EQ(window.pixel(pixels, 61, 11), 0x0000ffu);  // the label's background
    EXPECT_EQ(window.pixel(pixels, 100, 80), 0x000000u); // the frame without a background

    ASSERT_EQ(width, 60);
    ASSERT_EQ(height, 100);
    ASSERT_FALSE(gl.empty());
    EXPECT_EQ(gl[50 * 60 + 30], 0xff00ffu);
    plugin->dispatch(effEditClose);
    EXPECT_EQ(window.childCount(), 0);
}

TEST(Win32Editor, KnobDragsThroughMouseMessagesReachTheHostAsBeginAutomateEnd) {
    auto plugin = loadToy();
    ASSERT_TRUE(plugin);
    Win32TestWindow window(240, 120);
    // Linear mode: 200 pixels down take the knob from 1 to 0.
    plugin->dispatch(effSetEditKnobMode, 0, 2);
    ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, window.handle()), 1);
    pumpMessages(20);
    const HostCallCounts before = hostCallCounts();
    HWND frame = window.child();
    PostMessageW(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    PostMessageW(frame, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 60));
    PostMessageW(frame, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 130));
    PostMessageW(frame, WM_LBUTTONUP, 0, MAKELPARAM(30, 130));
    pumpUntil([&] { return hostCallCounts().endEdit > before.endEdit; });
    const HostCallCounts after = hostCallCounts();
    EXPECT_EQ(after.beginEdit - before.beginEdit, 1);
    EXPECT_EQ(after.automate - before.automate, 2);
    EXPECT_EQ(after.endEdit - before.endEdit, 1);
    EXPECT_NEAR(plugin->effect().getParameter(&plugin->effect(), 0), 0.5f, 0.01f);

    // The knob shows the new value: frame 9 or 10 of 20, green over about half its width.
    std::vector<uint32_t> pixels;
    pumpUntil(
        [&] {
            pixels = window.snapshot();
            return window.pixel(pixels, 45, 30) == 0x000000u;
        },
        [&] { plugin->dispatch(effEditIdle); });
    EXPECT_EQ(window.pixel(pixels, 15, 30), 0x00ff00u);
    EXPECT_EQ(window.pixel(pixels, 45, 30), 0x000000u);
    plugin->dispatch(effEditClose);
}

// 100 open/close cycles of one instance's editor, then four instances with open editors, the
// fourth from `otherModule` (the same DLL or a copy of it under another name); each shows its
// knob lit at (knobX, knobY) and its OpenGL surface. Everything goes when they close.
void openAndCloseEditors(const std::string& folder, const std::string& module, const std::string& otherModule, int width,
                         int height, int knobX, int knobY) {
    auto plugin = load(folder + module);
    ASSERT_TRUE(plugin);
    Win32TestWindow window(width, height);
    // One cycle first, so that what stays for good (fonts, the drivers) is already there.
    plugin->dispatch(effEditOpen, 0, 0, window.handle());
    pumpMessages(20);
    plugin->dispatch(effEditClose);
    pumpMessages(5);
    const Holdings start = holdings();
    const int windowsAtStart = threadWindows();
    EXPECT_FALSE(frameClassRegistered(module));
    for (int cycle = 0; cycle < 100; ++cycle) {
        ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, window.handle()), 1) << cycle;
        plugin->dispatch(effEditIdle);
        pumpMessages(1);
        plugin->dispatch(effEditClose);
        ASSERT_EQ(window.childCount(), 0) << cycle;
    }
    pumpMessages(5);
    expectNothingHeldSince(start);
    EXPECT_EQ(threadWindows(), windowsAtStart);

    std::vector<std::unique_ptr<Plugin>> instances;
    std::vector<std::unique_ptr<Win32TestWindow>> windows;
    for (int i = 0; i < 4; ++i) {
        instances.push_back(load(folder + (i == 3 ? otherModule : module)));
        windows.push_back(std::make_unique<Win32TestWindow>(width, height));
        ASSERT_TRUE(instances.back());
        ASSERT_EQ(instances.back()->dispatch(effEditOpen, 0, 0, windows.back()->handle()), 1);
    }
    auto knobLit = [](uint32_t knob) { return (knob >> 8 & 0xff) > 150 && (knob >> 16 & 0xff) < 160; };
    auto shown = [&](int i) {
        const auto pixels = windows[i]->snapshot();
        int surfaceWidth = 0;
        int surfaceHeight = 0;
        return knobLit(windows[i]->pixel(pixels, knobX, knobY)) &&
               !readOpenGLSurface(FindWindowExW(windows[i]->child(), nullptr, nullptr, nullptr), surfaceWidth,
                                  surfaceHeight)
                    .empty();
    };
    pumpUntil([&] { return shown(0) && shown(1) && shown(2) && shown(3); },
              [&] {
                  for (auto& instance : instances) instance->dispatch(effEditIdle);
              });
    for (int i = 0; i < 4; ++i) {
        const auto pixels = windows[i]->snapshot();
        const uint32_t knob = windows[i]->pixel(pixels, knobX, knobY);
        EXPECT_TRUE(knobLit(knob)) << i << ": " << std::hex << knob;
        int surfaceWidth = 0;
        int surfaceHeight = 0;
        const auto gl = readOpenGLSurface(FindWindowExW(windows[i]->child(), nullptr, nullptr, nullptr), surfaceWidth,
                                          surfaceHeight);
        EXPECT_FALSE(gl.empty()) << i;
    }
    EXPECT_TRUE(frameClassRegistered(module));
    EXPECT_TRUE(frameClassRegistered(otherModule));
    for (auto& instance : instances) instance->dispatch(effEditClose);
    EXPECT_FALSE(frameClassRegistered(module)) << "the last editor of the module unregisters";
    EXPECT_FALSE(frameClassRegistered(otherModule));
    instances.clear();
    windows.clear();
    pumpMessages(5);
    expectNothingHeldSince(start);
    EXPECT_EQ(threadWindows(), windowsAtStart);
}

// A copy of the toy under another name is a second module built from the same toolkit.
TEST(Win32Editor, ToyEditorsOpenAndCloseAHundredTimesAndFourAtOnceFromTwoModules) {
    openAndCloseEditors(programFolder(), "toy_editor_plugin.dll", "toy_editor_plugin_copy.dll", 240, 120, 30, 30);
}

// Knob 2 (knee) starts at 1: its ring is lit down to the bottom right.
TEST(Win32Editor, CompressorEditorsOpenAndCloseAHundredTimesAndFourAtOnce) {
    openAndCloseEditors(programFolder() + "..\\..\\", "tarnCompressor.dll", "tarnCompressor.dll", 550, 375, 218, 57);
}

} // namespace
} // namespace tarn
