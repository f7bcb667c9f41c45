#include <gtest/gtest.h>

#include <X11/Xatom.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <vector>
#include <cstdlib>
#include <memory>
#include <thread>

#include "../views/WindowImage.h"
#include "EditorHost.h"
#include "tests/Cycles.h"
#include "tests/OpenFiles.h"
#include "tests/WaitUntil.h"
#include "platform/Resource.h"
#include "views/ZuGLGraph.h"
#include "views/ZuMeter.h"

using namespace VSTGUI;

namespace {

const char* const kDefaultTexts[] = {"0.0 db", "0.0 db", "OFF", "1.0:1", "50 ms", "300 ms", "0.0 db"};

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// A plug-in whose host sets the input gain from another thread just after the opening editor
// has read it.
class SetWhileOpening : public ZuVstCore {
public:
    using ZuVstCore::ZuVstCore;
    float getParameter(VstInt32 index) override {
        const float value = ZuVstCore::getParameter(index);
        if (index == 0 && opening.exchange(false)) std::thread([this] { setParameter(0, 0.25f); }).join();
        return value;
    }
    std::atomic<bool> opening{false};
};

// The editor at a scale: every place of the 550 x 375 layout lies at scale times its place.
class EditorAtScale : public ::testing::TestWithParam<double> {
protected:
    double scale() const { return GetParam(); }
    int px(double layout) const { return static_cast<int>(std::round(layout * scale())); }
    CRect scaled(double left, double top, double right, double bottom) const {
        return CRect(px(left), px(top), px(right), px(bottom));
    }
    // The centre of knob i, and a point on its ring (24 layout pixels out) at degrees clockwise
    // from the top.
    CPoint knobCentre(int i) const {
        const double half = px(56) / 2.0;
        return CPoint(px(15 + 76 * i) + half, px(22) + half);
    }
    CPoint onRing(int i, double degrees) const {
        const double radians = degrees * 3.14159265358979 / 180;
        const CPoint c = knobCentre(i);
        return CPoint(std::floor(c.x + 24 * scale() * std::sin(radians)), std::floor(c.y - 24 * scale() * std::cos(radians)));
    }
    CColor pixel(EditorHost& host, const CPoint& at) const {
        return host.window.pixel(static_cast<int>(at.x), static_cast<int>(at.y));
    }

    EditorHost host{scale()};
};

int brightness(const CColor& c) { return std::max({c.red, c.green, c.blue}); }

} // namespace

TEST_P(EditorAtScale, AnswersItsSizeBeforeOpeningAndOpensWithEveryViewAtTheDefaults) {
    EXPECT_EQ(host.effect->flags, 0x1011);
    ERect* rect = nullptr;
    ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, px(375));
    EXPECT_EQ(rect->right, px(550));
    EXPECT_FALSE(host.gui().isOpen());

    ASSERT_TRUE(host.open());
    EXPECT_TRUE(host.gui().isOpen());
    CFrame* frame = host.gui().getFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getViewSize(), scaled(0, 0, 550, 375));
    EXPECT_EQ(frame->getNbViews(), 24);
    EXPECT_EQ(host.window.children().size(), 1u);
    for (int i = 0; i < 7; ++i) {
        CAnimKnob* knob = host.gui().getKnob(i);
        EXPECT_EQ(knob->getViewSize(), CRect(px(15 + 76 * i), px(22), px(15 + 76 * i) + px(56), px(22) + px(56))) << i;
        EXPECT_EQ(knob->getTag(), i);
        EXPECT_EQ(knob->getNumSubPixmaps(), 100);
        EXPECT_FLOAT_EQ(knob->getValue(), host.get(i));
        EXPECT_EQ(host.valueText(i), kDefaultTexts[i]) << i;
        EXPECT_EQ(host.gui().getValueLabel(i)->getViewSize(), scaled(15 + 76 * i, 78, 71 + 76 * i, 92));
    }
    EXPECT_EQ(host.gui().getGraph()->getViewSize(), scaled(5, 120, 365, 360));
    EXPECT_EQ(host.gui().getMeter()->getViewSize(), scaled(370, 120, 540, 360));
    EXPECT_EQ(host.gui().getIoLabel()->getViewSize(), scaled(440, 120, 540, 140));
    EXPECT_FLOAT_EQ(host.gui().getKnob(4)->getDefaultValue(), 0.3266666f);
    EXPECT_FLOAT_EQ(host.gui().getKnob(5)->getZoomFactor(), 100.f);
    EXPECT_EQ(host.gui().getIoLabel()->getText(), "");
    EXPECT_EQ(host.gui().getIoLabel()->getHoriAlign(), kRightText);
    // Drawing order: knobs, names, values, graph, scale, precision label.
    EXPECT_EQ(frame->getView(21), host.gui().getGraph());
    EXPECT_EQ(frame->getView(22), host.gui().getMeter());
    EXPECT_EQ(frame->getView(23), host.gui().getIoLabel());
    host.close();
    EXPECT_FALSE(host.gui().isOpen());
    EXPECT_TRUE(host.window.children().empty());
}

TEST_P(EditorAtScale, ShowsTheBackgroundEachKnobAtItsValueAndTheTexts) {
    ASSERT_TRUE(host.open());
    host.idle();
    // The top band is dark; the panel below it dark blue.
    const CColor band = host.window.pixel(px(5), px(70));
    EXPECT_LT(band.red + band.green + band.blue, 60);
    const CColor panel = host.window.pixel(px(545), px(200));
    EXPECT_GT(panel.blue, panel.red + 20);
    // On its ring, 20 degrees left of the top, the input knob at 0.5 (lit from the lower left up
    // to the top) is green; the ratio knob at 0 is not lit anywhere, so it shows the grey track there.
    const CColor lit = pixel(host, onRing(0, -20));
    EXPECT_GT(lit.green, 180);
    EXPECT_GT(lit.green, lit.red + 60);
    const CColor track = pixel(host, onRing(3, -20));
    EXPECT_LT(std::abs(track.green - track.red), 20);
    EXPECT_GT(track.red, 20);
    // Knob centres are black discs.
    EXPECT_LT(brightness(pixel(host, knobCentre(6))), 20);
    // Each name and value text shows white inside its label.
    const WindowImage image(host.window.display(), host.window.id(), px(550), px(375));
    for (int i = 0; i < 7; ++i) {
        for (double top : {4.0, 78.0}) {
            int brightest = 0;
            for (int y = px(top); y < px(top + 14); ++y)
                for (int x = px(15 + 76 * i) + 1; x < px(71 + 76 * i) - 1; ++x)
                    brightest = std::max(brightest, brightness(image.at(x, y)));
            EXPECT_GT(brightest, 200) << "column " << i << " at " << top;
        }
    }
}

TEST_P(EditorAtScale, TheGraphShowsTheLevelsInItsPlace) {
    // Half of full scale (-6 dB) for two seconds, passed unchanged: the output's light green
    // over the input's white rises from the bottom to -6 dB, 60 of the graph's 240 layout
    // pixels below its top at the full range.
    std::vector<float> left(44100, 0.5f), right(44100, 0.5f);
    float* io[2] = {left.data(), right.data()};
    for (int i = 0; i < 2; ++i) host.effect->processReplacing(host.effect, io, io, 44100);
    ASSERT_TRUE(host.open());
    const int x = px(360);
    auto levelShown = [&] {
        const CColor c = host.window.pixel(x, px(300));
        return c.green > 120 && c.green > c.blue + 15;
    };
    EXPECT_TRUE(tarn::test::waitUntil(levelShown, [&] {
        host.idle();
        idleAndWaitForEvents(host.gui().getFrame());
    }));
    EXPECT_TRUE(levelShown());
    EXPECT_LT(brightness(host.window.pixel(x, px(120 + 45))), 40);
}

TEST_P(EditorAtScale, KnobDragReachesTheHostAsBeginAutomateEnd) {
    ASSERT_TRUE(host.open());
    host.idle();
    // Grab knob 0 at the top (value 0.5), turn it to the right (5/6): the value follows the angle.
    const CPoint c = knobCentre(0);
    host.pointer(ButtonPress, Button1, 0, static_cast<int>(c.x), static_cast<int>(c.y) - px(25));
    XEvent motion{};
    motion.type = MotionNotify;
    motion.xmotion.state = Button1Mask;
    motion.xmotion.x = static_cast<int>(c.x) + px(25);
    motion.xmotion.y = static_cast<int>(c.y);
    motion.xmotion.same_screen = True;
    host.window.send(host.frameWindow(), motion);
    host.gui().getFrame()->idle();
    host.pointer(ButtonRelease, Button1, Button1Mask, motion.xmotion.x, motion.xmotion.y);

    const std::vector<RecordedCall> calls = EditorHost::recorded();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[0].index, 0);
    EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[1].index, 0);
    EXPECT_NEAR(calls[1].opt, 5.f / 6.f, 1e-4);
    // The plug-in already had the value when the host heard of it.
    EXPECT_EQ(calls[1].parameterThen, calls[1].opt);
    EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
    EXPECT_EQ(calls[2].index, 0);
    EXPECT_EQ(host.get(0), calls[1].opt);
    EXPECT_EQ(host.valueText(0), "16.0 db");
}

TEST_P(EditorAtScale, StraightDragsMoveTheSameValuePerScreenDistance) {
    host.dispatch(effSetEditKnobMode, 0, kLinearMode);
    ASSERT_TRUE(host.open());
    const CPoint c = knobCentre(3);
    host.pointer(ButtonPress, Button1, 0, static_cast<int>(c.x), static_cast<int>(c.y));
    XEvent motion{};
    motion.type = MotionNotify;
    motion.xmotion.state = Button1Mask;
    motion.xmotion.x = static_cast<int>(c.x);
    motion.xmotion.y = static_cast<int>(c.y) - 50;
    motion.xmotion.same_screen = True;
    host.window.send(host.frameWindow(), motion);
    host.gui().getFrame()->idle();
    host.pointer(ButtonRelease, Button1, Button1Mask, motion.xmotion.x, motion.xmotion.y);
    host.dispatch(effSetEditKnobMode, 0, kCircularMode);
    // 50 pixels of the 200 that span the range.
    EXPECT_NEAR(host.get(3), 0.25f, 1e-6);
}

TEST_P(EditorAtScale, ControlClickRestoresTheDefaultInsideOneEdit) {
    ASSERT_TRUE(host.open());
    host.set(5, 0.9f);
    const CPoint c = knobCentre(5);
    host.pointer(ButtonPress, Button1, ControlMask, static_cast<int>(c.x), static_cast<int>(c.y));
    host.pointer(ButtonRelease, Button1, ControlMask | Button1Mask, static_cast<int>(c.x), static_cast<int>(c.y));
    const std::vector<RecordedCall> calls = EditorHost::recorded();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[1].index, 5);
    EXPECT_FLOAT_EQ(calls[1].opt, 0.1495f);
    EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
    EXPECT_FLOAT_EQ(host.get(5), 0.1495f);
    EXPECT_EQ(host.valueText(5), "300 ms");
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorAtScale, ::testing::Values(1.0, 1.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return "x" + std::to_string(static_cast<int>(info.param * 100));
                         });

TEST(EditorWindow, TheScaleIsTheHostsElseTheDesktops) {
    EditorHost host;
    auto size = [&] {
        ERect* rect = nullptr;
        host.dispatch(effEditGetRect, 0, 0, &rect);
        return rect ? std::pair{rect->right - rect->left, rect->bottom - rect->top} : std::pair{0, 0};
    };
    EXPECT_EQ(size(), (std::pair{550, 375}));
    // A desktop at 150% sets the X server's Xft.dpi to 144.
    Display* display = host.window.display();
    const char resources[] = "Xft.antialias:\t1\nXft.dpi:\t144\n";
    XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources), sizeof resources - 1);
    XSync(display, False);
    EXPECT_EQ(size(), (std::pair{825, 563}));
    ASSERT_TRUE(host.open());
    EXPECT_EQ(host.gui().getFrame()->getViewSize(), CRect(0, 0, 825, 563));
    host.close();
    // GDK_SCALE, where set, is taken before it.
    setenv("GDK_SCALE", "2", 1);
    EXPECT_EQ(size(), (std::pair{1100, 750}));
    // The host's own scale wins over both.
    EXPECT_EQ(host.dispatch(effVendorSpecific, CCONST('P', 'r', 'e', 'S'), CCONST('A', 'e', 'C', 's'), nullptr, 1.25f), 1);
    EXPECT_EQ(size(), (std::pair{688, 469}));
    unsetenv("GDK_SCALE");
    XDeleteProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER);
    XSync(display, False);
}

TEST(EditorWindow, ANewScaleWhileOpenResizesThroughTheHostOrWaitsForTheNextOpening) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    const int setScale = CCONST('P', 'r', 'e', 'S');
    const int scaleCode = CCONST('A', 'e', 'C', 's');
    // A host that cannot size its window keeps the editor as it is, and usable.
    host.dispatch(effVendorSpecific, setScale, scaleCode, nullptr, 2.f);
    EXPECT_EQ(host.gui().getFrame()->getViewSize(), CRect(0, 0, 550, 375));
    host.idle();
    EXPECT_EQ(host.gui().getKnob(3)->getViewSize(), CRect(243, 22, 299, 78));
    // The next opening takes the new scale.
    host.close();
    ASSERT_TRUE(host.open());
    EXPECT_EQ(host.gui().getFrame()->getViewSize(), CRect(0, 0, 1100, 750));

    EditorHost::canSizeWindow() = true;
    host.dispatch(effVendorSpecific, setScale, scaleCode, nullptr, 1.5f);
    EditorHost::canSizeWindow() = false;
    const std::vector<RecordedCall> calls = EditorHost::recorded();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().opcode, audioMasterSizeWindow);
    EXPECT_EQ(calls.back().index, 825);
    EXPECT_EQ(calls.back().opt, 563.f);
    EXPECT_EQ(host.gui().getFrame()->getViewSize(), CRect(0, 0, 825, 563));
    EXPECT_EQ(host.gui().getFrame()->getNbViews(), 24);
    EXPECT_EQ(host.gui().getKnob(3)->getViewSize(), CRect(365, 33, 449, 117));
    EXPECT_EQ(host.valueText(2), "OFF");
    // The editor's window follows, and shows the knob at its new place.
    XWindowAttributes attributes{};
    XSync(host.window.display(), False);
    ASSERT_TRUE(XGetWindowAttributes(host.window.display(), host.frameWindow(), &attributes));
    EXPECT_EQ(attributes.width, 825);
    EXPECT_EQ(attributes.height, 563);
    host.idle();
    EXPECT_GT(host.window.pixel(23 + 42 - 36, 33 + 42).green, 150) << "the input knob's lit ring";
}

TEST(EditorWindow, ImagesThatCannotBeDecodedLeaveTheirPartsBlank) {
    const tarn::ResourceBytes background = tarn::findPngResource(ZuVstGui::kBackgroundImage);
    const tarn::ResourceBytes strip = tarn::findPngResource(ZuVstGui::kKnobImage);
    static const unsigned char garbage[] = {0x89, 'P', 'N', 'G', 0, 1, 2, 3};
    tarn::registerPngResource(ZuVstGui::kBackgroundImage, garbage, sizeof garbage);
    tarn::registerPngResource(ZuVstGui::kKnobImage, garbage, 0);
    {
        EditorHost host;
        ASSERT_TRUE(host.open());
        host.idle(2);
        EXPECT_EQ(host.gui().getKnob(6)->getViewSize(), CRect(471, 22, 527, 78));
        EXPECT_EQ(host.valueText(6), "0.0 db");
        host.set(6, 1.f);
        EXPECT_EQ(host.gui().getKnob(6)->getFrameIndex(), 99);
        host.idle();
    }
    tarn::registerPngResource(ZuVstGui::kBackgroundImage, background.data, background.size);
    tarn::registerPngResource(ZuVstGui::kKnobImage, strip.data, strip.size);
}

TEST(EditorWindow, HostParameterChangesMoveKnobsAndTexts) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    struct Case {
        int index;
        float value;
        const char* text;
    };
    for (const Case& c : {Case{2, 0.999f, "-0.1 db"}, Case{0, 0.4999f, "-0.0 db"}, Case{0, 0.0f, "-24.0 db"},
                          Case{0, 1.5f, "48.0 db"}, Case{3, 1.0f, "20.0:1"}, Case{4, 1.0f, "150 ms"},
                          Case{5, 0.0f, "1 ms"}, Case{5, 1.0f, "2000 ms"}, Case{2, 1.0f, "OFF"}}) {
        host.set(c.index, c.value);
        EXPECT_EQ(host.valueText(c.index), c.text);
        EXPECT_FLOAT_EQ(host.gui().getKnob(c.index)->getValue(), std::fmin(c.value, 1.f));
    }
    // Parameters without a knob, and indices out of range, change nothing on screen.
    std::vector<std::string> before;
    for (int i = 0; i < 7; ++i) before.push_back(host.valueText(i));
    host.set(7, 0.3f);
    host.set(8, 0.3f);
    host.gui().setParameter(-1, 0.3f);
    host.gui().setParameter(9, 0.3f);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(host.valueText(i), before[i]);
    // A value that is not a number leaves the knob where it was; the text says what it got.
    const float knee = host.gui().getKnob(2)->getValue();
    host.set(2, NAN);
    EXPECT_EQ(host.gui().getKnob(2)->getValue(), knee);
    EXPECT_EQ(host.valueText(2), "nan db");
}

TEST(EditorWindow, ChangesFromAnotherThreadShowAtTheNextIdle) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    std::thread audio([&] {
        host.set(0, 0.25f);
        host.set(5, 1.0f);
        host.set(5, 0.0f);
    });
    audio.join();
    EXPECT_EQ(host.valueText(0), "0.0 db");
    host.idle();
    EXPECT_EQ(host.valueText(0), "-12.0 db");
    EXPECT_FLOAT_EQ(host.gui().getKnob(0)->getValue(), 0.25f);
    // The latest value wins.
    EXPECT_EQ(host.valueText(5), "1 ms");
}

TEST(EditorWindow, AValueSetWhileTheEditorOpensShowsAtTheNextIdle) {
    TestWindow window;
    SetWhileOpening plugin(quietHost);
    auto& gui = static_cast<ZuVstGui&>(*plugin.getEditor());
    plugin.opening = true;
    ASSERT_TRUE(gui.open(window.handle()));
    gui.idle();
    EXPECT_EQ(std::string(gui.getValueLabel(0)->getText()), "-12.0 db");
    EXPECT_FLOAT_EQ(gui.getKnob(0)->getValue(), 0.25f);
}

TEST(EditorWindow, ReopeningShowsWhatChangedWhileClosed) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    host.close();
    host.set(1, 0.5f);
    host.idle(3);
    ASSERT_TRUE(host.open());
    EXPECT_EQ(host.valueText(1), "-48.0 db");
    EXPECT_FLOAT_EQ(host.gui().getKnob(1)->getValue(), 0.5f);
    EXPECT_EQ(host.gui().getFrame()->getNbViews(), 24);
    EXPECT_EQ(host.window.children().size(), 1u);
}

TEST(EditorWindow, TwoHundredOpenCloseCyclesLeaveNoWindowAndNoFile) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    host.idle();
    host.close();
    const int files = openFileCount();
    for (int i = 0; i < tarn::test::cycles(200); ++i) {
        ASSERT_TRUE(host.open());
        host.dispatch(effEditIdle);
        host.close();
    }
    EXPECT_TRUE(host.window.children().empty());
    EXPECT_EQ(openFileCount(), files);
}

TEST(EditorWindow, ClosingThePluginWithItsEditorOpenClosesTheWindow) {
    auto host = std::make_unique<EditorHost>();
    ASSERT_TRUE(host->open());
    host->idle();
    // Opening again closes the first window.
    ASSERT_TRUE(host->open());
    EXPECT_EQ(host->window.children().size(), 1u);
    host->dispatch(effClose);
    host->effect = nullptr;
    EXPECT_TRUE(host->window.children().empty());
}
