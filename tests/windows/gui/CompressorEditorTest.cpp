#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/windows/gui/PngPicture.h"
#include "tests/windows/gui/VsthostProgram.h"
#include "tests/windows/gui/Win32TestWindow.h"
#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/Plugin.h"

// The compressor's editor in the 64-bit DLL, as hosts drive it. Its 550 x 375 panel: seven
// 56-pixel knobs at x = 15 + 76 i, y = 22 (names above, value texts below), the graph at 5,120
// to 365,360, the level scale to its right and the precision label above the scale; at a scale
// every place and size is that many times larger.
namespace tarn {
namespace {

std::string compressorPath() { return programFolder() + "..\\..\\tarnCompressor.dll"; }

uint8_t red(uint32_t p) { return static_cast<uint8_t>(p >> 16); }
uint8_t green(uint32_t p) { return static_cast<uint8_t>(p >> 8); }
uint8_t blue(uint32_t p) { return static_cast<uint8_t>(p); }

// The knob strip's ring: lit bright green, unlit dark grey.
bool lit(uint32_t p) { return green(p) > 150 && green(p) > red(p) + 50 && green(p) > blue(p) + 50; }
bool unlit(uint32_t p) { return green(p) < 90 && std::abs(red(p) - green(p)) < 10; }

// The editor at a scale: every place of the 550 x 375 layout lies at scale times its place.
class CompressorEditorAtScale : public ::testing::TestWithParam<double> {
protected:
    double scale() const { return GetParam(); }
    int px(double layout) const { return static_cast<int>(std::lround(layout * scale())); }

    // The ring of knob `knob` at `fraction` of its 270-degree sweep from the bottom left, clockwise.
    void ringPoint(int knob, double fraction, int& x, int& y) const {
        const double angle = (135 + 270 * fraction) * 3.14159265358979 / 180;
        const double half = px(56) / 2.0;
        x = static_cast<int>(std::lround(px(15 + 76 * knob) + half + 24 * scale() * std::cos(angle)));
        y = static_cast<int>(std::lround(px(22) + half + 24 * scale() * std::sin(angle)));
    }

    // What the graph shows from top to bottom in one column, runs of at least 5 layout pixels,
    // each one of: red (gain reduction), black, grey (input above output), light green (output).
    std::string graphColumn(const PngPicture& png, int x) const {
        std::string runs;
        char current = 0;
        int length = 0;
        for (int y = px(121); y < px(359); ++y) {
            const uint32_t p = png.pixel(x, y);
            char kind = '?';
            if (red(p) > 90 && green(p) < 40 && blue(p) < 40) kind = 'r';
            else if (red(p) < 25 && green(p) < 25 && blue(p) < 25) kind = 'k';
            else if (std::abs(red(p) - green(p)) < 8 && std::abs(green(p) - blue(p)) < 8 && red(p) > 90 && red(p) < 160) kind = 'g';
            else if (green(p) > red(p) + 15 && green(p) > blue(p) + 15 && green(p) > 140) kind = 'o';
            length = kind == current ? length + 1 : 1;
            current = kind;
            if (length == px(5) && kind != '?' && (runs.empty() || runs.back() != kind)) runs += kind;
        }
        return runs;
    }
    // Tells the plug-in its scale as hosts on high-resolution screens do.
    void tellScale(Plugin& plugin) const {
        if (scale() != 1.0)
            plugin.dispatch(effVendorSpecific, CCONST('P', 'r', 'e', 'S'), CCONST('A', 'e', 'C', 's'), nullptr,
                            static_cast<float>(scale()));
    }
};

TEST_P(CompressorEditorAtScale, ScreenshotShowsKnobsAtTheirFramesTextsScaleAndTheGraphOfACompressedSignal) {
    const TemporaryFile shot("vsthost_editor_compressor.png");
    // Threshold -30 dB, ratio 4:1, attack 8 ms, release 201 ms on noise at -6 dBFS peak: about
    // 9.5 dB of steady gain reduction.
    const double values[7] = {0.5, 0.6875, 1, 0.157894737, 0.05, 0.1, 0.5};
    char scaleOption[32];
    std::snprintf(scaleOption, sizeof scaleOption, " --scale %g", scale());
    const VsthostRun run = runVsthost("editor \"" + compressorPath() + "\" --seconds 2 --screenshot \"" + shot.path() +
                                      "\" 1=0.6875 3=0.157894737 4=0.05 5=0.1" + scaleOption);
    ASSERT_EQ(run.status, 0) << run.out;
    int idles = 0;
    int width = 0;
    int height = 0;
    ASSERT_EQ(std::sscanf(run.out.c_str(), "editor %d x %d, %d idle calls", &width, &height, &idles), 3) << run.out;
    EXPECT_EQ(width, px(550));
    EXPECT_EQ(height, px(375));
    // wine draws OpenGL in software, on machines shared with other work: far fewer than 60 idle
    // calls a second may come, but never more.
    EXPECT_GE(idles, 1);
    EXPECT_LE(idles, 60 * run.seconds + 2);

    PngPicture png(shot.path());
    ASSERT_TRUE(png.loaded());
    ASSERT_EQ(png.width(), px(550));
    ASSERT_EQ(png.height(), px(375));
    // The background: the dark top panel and the blue lower one.
    EXPECT_TRUE(similar(png.pixel(px(300), px(100)), 0x040711, 12)) << std::hex << png.pixel(px(300), px(100));
    EXPECT_GT(blue(png.pixel(px(10), px(365))), red(png.pixel(px(10), px(365))) + 20);

    // Each knob's strip frame lights its ring up to its value.
    for (int knob = 0; knob < 7; ++knob) {
        for (double fraction = 0.05; fraction < 1; fraction += 0.1) {
            if (std::fabs(fraction - values[knob]) < 0.04) continue;
            int x = 0;
            int y = 0;
            ringPoint(knob, fraction, x, y);
            const uint32_t p = png.pixel(x, y);
            if (fraction < values[knob]) EXPECT_TRUE(lit(p)) << knob << " at " << fraction << ": " << std::hex << p;
            else EXPECT_TRUE(unlit(p)) << knob << " at " << fraction << ": " << std::hex << p;
        }
    }
    // Names above the knobs and value texts below them, the precision label and the scale's
    // labels: light text on dark panels; nothing light between the rows.
    for (int knob = 0; knob < 7; ++knob) {
        EXPECT_GT(png.lightPixels(px(15 + 76 * knob), px(4), px(71 + 76 * knob), px(18)), 30) << "name " << knob;
        EXPECT_GT(png.lightPixels(px(15 + 76 * knob), px(78), px(71 + 76 * knob), px(92)), 30) << "value " << knob;
    }
    EXPECT_GT(png.lightPixels(px(440), px(120), px(540), px(140)), 40) << "I/O 32bit";
    for (int row = 0; row < 7; ++row)
        EXPECT_GT(png.lightPixels(px(370), px(140 + 30 * row), px(440), px(160 + 30 * row)), 40) << row;
    EXPECT_EQ(png.lightPixels(px(5), px(95), px(545), px(118)), 0);

    // The graph, read back from its OpenGL surface: from the top, the gain reduction in red,
    // black, the input's grey above the output, and the output's green.
    for (int x : {60, 185, 300}) EXPECT_EQ(graphColumn(png, px(x)), "rkgo") << "column " << x;
}

TEST_P(CompressorEditorAtScale, KnobDragsThroughMouseMessagesReachTheHostAsBeginAutomateEnd) {
    std::string error;
    std::unique_ptr<Plugin> plugin = Plugin::load(compressorPath(), error);
    ASSERT_TRUE(plugin) << error;
    tellScale(*plugin);
    Win32TestWindow window(px(550), px(375));
    ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, window.handle()), 1);
    plugin->dispatch(effEditIdle);
    pumpMessages(20);
    // Grab knob 0 at the top (value 0.5), turn it to the right (5/6).
    const int centreX = px(15) + px(56) / 2;
    const int centreY = px(22) + px(56) / 2;
    const HostCallCounts before = hostCallCounts();
    HWND frame = window.child();
    PostMessageW(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centreX, centreY - px(25)));
    PostMessageW(frame, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(centreX + px(25), centreY));
    PostMessageW(frame, WM_LBUTTONUP, 0, MAKELPARAM(centreX + px(25), centreY));
    pumpUntil([&] { return hostCallCounts().endEdit > before.endEdit; });
    const HostCallCounts after = hostCallCounts();
    EXPECT_EQ(after.beginEdit - before.beginEdit, 1);
    EXPECT_EQ(after.automate - before.automate, 1);
    EXPECT_EQ(after.endEdit - before.endEdit, 1);
    EXPECT_NEAR(plugin->effect().getParameter(&plugin->effect(), 0), 5.f / 6.f, 1e-4);

    int x = 0;
    int y = 0;
    ringPoint(0, 0.75, x, y);
    std::vector<uint32_t> pixels;
    pumpUntil(
        [&] {
            pixels = window.snapshot();
            return lit(window.pixel(pixels, x, y));
        },
        [&] { plugin->dispatch(effEditIdle); });
    EXPECT_TRUE(lit(window.pixel(pixels, x, y))) << std::hex << window.pixel(pixels, x, y);
    ringPoint(0, 0.9, x, y);
    EXPECT_TRUE(unlit(window.pixel(pixels, x, y))) << std::hex << window.pixel(pixels, x, y);
    plugin->dispatch(effEditClose);
}

INSTANTIATE_TEST_SUITE_P(Scales, CompressorEditorAtScale, ::testing::Values(1.0, 1.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return "x" + std::to_string(static_cast<int>(info.param * 100));
                         });

// Before, a graph pass that took longer than its timer's period made the next one due at once,
// and such a host never got to its idle call. The bound is generous: on a busy machine one
// pass of wine's software OpenGL may take well over a tenth of a second; editorIdleBench
// prints the figures.
TEST(CompressorEditor, AHostThatEmptiesItsQueueBeforeEachIdleFindsItEmptyEveryTime) {
    std::string error;
    std::unique_ptr<Plugin> plugin = Plugin::load(compressorPath(), error);
    ASSERT_TRUE(plugin) << error;
    AEffect& e = plugin->effect();
    Win32TestWindow window(550, 375);
    ASSERT_EQ(plugin->dispatch(effEditOpen, 0, 0, window.handle()), 1);
    // Alternating loud and quiet blocks keep the graph's levels moving: every refresh has
    // something new to draw.
    std::vector<float> left(512), right(512);
    float* io[2] = {left.data(), right.data()};
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(5);
    std::vector<double> drains;
    int notEmptied = 0;
    for (int block = 0; Clock::now() < end; ++block) {
        for (int i = 0; i < 512; ++i) left[i] = right[i] = (block % 40 < 20 ? 0.8f : 0.05f) * ((i * 37 % 101) / 50.f - 1.f);
        e.processReplacing(&e, io, io, 512);
        // As most hosts do: every pending message first, then the idle call. A queue that
        // never runs empty is cut after a second.
        const Clock::time_point start = Clock::now();
        bool emptied = false;
        MSG message;
        while (Clock::now() - start < std::chrono::seconds(1)) {
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                emptied = true;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        drains.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!emptied) ++notEmptied;
        plugin->dispatch(effEditIdle);
    }
    plugin->dispatch(effEditClose);
    std::sort(drains.begin(), drains.end());
    const std::string figures = std::to_string(drains.size()) + " drains, median " +
                                std::to_string(drains[drains.size() / 2]) + " ms, longest " +
                                std::to_string(drains.back()) + " ms";
    EXPECT_EQ(notEmptied, 0) << figures;
    EXPECT_LT(drains.back(), 500.0) << figures;
}

} // namespace
} // namespace tarn
