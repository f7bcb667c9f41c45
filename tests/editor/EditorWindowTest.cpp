#include <gtest/gtest.h>


#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

#include "EditorHost.h"
#include "tests/Cycles.h"
#include "tests/OpenFiles.h"
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

} // namespace

TEST(EditorWindow, AnswersItsSizeBeforeOpeningAndOpensWithEveryViewAtTheDefaults) {
    EditorHost host;
    EXPECT_EQ(host.effect->flags, 0x1011);
    ERect* rect = nullptr;
    ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 375);
    EXPECT_EQ(rect->right, 550);
    EXPECT_FALSE(host.gui().isOpen());

    ASSERT_TRUE(host.open());
    EXPECT_TRUE(host.gui().isOpen());
    CFrame* frame = host.gui().getFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getNbViews(), 24);
    EXPECT_EQ(host.window.children().size(), 1u);
    for (int i = 0; i < 7; ++i) {
        CAnimKnob* knob = host.gui().getKnob(i);
        EXPECT_EQ(knob->getViewSize(), CRect(15 + 76 * i, 22, 71 + 76 * i, 78)) << i;
        EXPECT_EQ(knob->getTag(), i);
        EXPECT_EQ(knob->getNumSubPixmaps(), 100);
        EXPECT_FLOAT_EQ(knob->getValue(), host.get(i));
        EXPECT_EQ(host.valueText(i), kDefaultTexts[i]) << i;
        EXPECT_EQ(host.gui().getValueLabel(i)->getViewSize(), CRect(15 + 76 * i, 78, 71 + 76 * i, 92));
    }
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

TEST(EditorWindow, ShowsTheBackgroundAndEachKnobAtItsValue) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    host.idle();
    // The top band is dark; the panel below it dark blue.
    const CColor band = host.window.pixel(5, 70);
    EXPECT_LT(band.red + band.green + band.blue, 60);
    const CColor panel = host.window.pixel(545, 200);
    EXPECT_GT(panel.blue, panel.red + 20);
    // On its ring, 24 pixels from the centre and 20 degrees left of the top, the input knob at 0.5
    // (lit from the lower left up to the top) is green; the ratio knob at 0 is not lit anywhere,
    // so it shows the grey track there.
    const CColor lit = host.window.pixel(35, 27);
    EXPECT_GT(lit.green, 180);
    EXPECT_GT(lit.green, lit.red + 60);
    const CColor track = host.window.pixel(15 + 76 * 3 + 20, 27);
    EXPECT_LT(std::abs(track.green - track.red), 20);
    EXPECT_GT(track.red, 20);
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

TEST(EditorWindow, KnobDragReachesTheHostAsBeginAutomateEnd) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    host.idle();
    // Knob 0 is centred at 43, 50: grab it at the top (value 0.5), turn it to the right (5/6).
    host.pointer(ButtonPress, Button1, 0, 43, 25);
    XEvent motion{};
    motion.type = MotionNotify;
    motion.xmotion.state = Button1Mask;
    motion.xmotion.x = 68;
    motion.xmotion.y = 50;
    motion.xmotion.same_screen = True;
    host.window.send(host.frameWindow(), motion);
    host.gui().getFrame()->idle();
    host.pointer(ButtonRelease, Button1, Button1Mask, 68, 50);

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

TEST(EditorWindow, ControlClickRestoresTheDefaultInsideOneEdit) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    host.set(5, 0.9f);
    host.pointer(ButtonPress, Button1, ControlMask, 15 + 76 * 5 + 28, 50);
    host.pointer(ButtonRelease, Button1, ControlMask | Button1Mask, 15 + 76 * 5 + 28, 50);
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
