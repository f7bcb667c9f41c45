#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "Recorders.h"
#include "TestWindow.h"
#include "gui/linux/X11Errors.h"
#include "tests/Cycles.h"
#include "tests/OpenFiles.h"
#include "tests/WaitUntil.h"

namespace {

// A frame of 300 x 200 in a test window, with a red background at the left half.
class FrameWindowTest : public ::testing::Test {
protected:
    FrameWindowTest() {
        frame = new CFrame(CRect(0, 0, 300, 200), window.handle(), &editor);
        auto background = owned(new CBitmap(150, 200));
        auto context = owned(COffscreenContext::create(background.get()));
        context->setFillColor(CColor(255, 0, 0, 255));
        context->drawRect(CRect(0, 0, 150, 200), kDrawFilled);
        frame->setBackground(background.get());
    }
    ~FrameWindowTest() override {
        if (frame) frame->forget();
    }

    CountingView* add(const CRect& rect, const char* name, CColor color) {
        auto* view = new CountingView(rect, name, &drawLog);
        view->color = color;
        frame->addView(view);
        return view;
    }
    Window frameWindow() {
        const std::vector<Window> children = window.children();
        return children.empty() ? 0 : children.front();
    }
    static XEvent pointerEvent(int type, unsigned int button, unsigned int state, int x, int y) {
        return TestWindow::pointerEvent(type, button, state, x, y);
    }

    TestWindow window;
    RecordingEditor editor;
    CFrame* frame = nullptr;
    std::vector<std::string> drawLog;
};

int hostErrors = 0;
int handlerLoops = 0;
XErrorHandler underOtherModule = nullptr;
int hostHandler(Display*, XErrorEvent*) { return ++hostErrors, 0; }
// Another module's copy of the toolkit, installed after ours, forwarding what is not its own.
// An error that comes back to it went round a loop of handlers, which would never end.
int otherModuleHandler(Display* display, XErrorEvent* event) {
    static bool forwarding = false;
    if (forwarding) return ++handlerLoops, 0;
    forwarding = true;
    const int result = underOtherModule(display, event);
    forwarding = false;
    return result;
}

// One BadWindow error on display.
void causeXError(Display* display) {
    XMapWindow(display, 1);
    XSync(display, False);
}

} // namespace

TEST_F(FrameWindowTest, OpensAChildWindowThatShowsBackgroundAndViews) {
    ASSERT_NE(frame->getPlatformFrame(), nullptr);
    EXPECT_EQ(window.children().size(), 1u);
    add(CRect(200, 50, 250, 100), "blue", CColor(0, 0, 255, 255));
    frame->idle();
    EXPECT_EQ(window.pixel(10, 10), CColor(255, 0, 0, 255));
    EXPECT_EQ(window.pixel(170, 10), CColor(0, 0, 0, 255));
    EXPECT_EQ(window.pixel(225, 75), CColor(0, 0, 255, 255));

    frame->forget();
    frame = nullptr;
    EXPECT_TRUE(window.children().empty());
}

TEST_F(FrameWindowTest, IdleRedrawsOnlyDirtyViewsAndWhatLiesBehindTransparentOnes) {
    auto* a = add(CRect(10, 10, 60, 60), "a", CColor(0, 255, 0, 255));
    auto* b = add(CRect(100, 10, 150, 60), "b", CColor(0, 0, 255, 255));
    auto* overA = add(CRect(30, 30, 80, 80), "overA", CColor(255, 255, 0, 128));
    overA->setTransparency(true);
    frame->idle();
    EXPECT_EQ(a->draws, 3);  // the first paint, a's own redraw and the one behind overA
    drawLog.clear();

    frame->idle();
    EXPECT_TRUE(drawLog.empty());

    b->setDirty(true);
    frame->idle();
    EXPECT_EQ(drawLog, std::vector<std::string>{"b"});
    EXPECT_FALSE(b->isDirty());

    drawLog.clear();
    overA->setDirty(true);
    frame->idle();
    EXPECT_EQ(drawLog, (std::vector<std::string>{"a", "overA"}));
    // Yellow at half alpha over green, over the red background where a is not.
    const CColor mixed = window.pixel(50, 50);
    EXPECT_NEAR(mixed.red, 128, 2);
    EXPECT_NEAR(mixed.green, 255, 2);
    EXPECT_EQ(window.pixel(75, 75).green, mixed.red);
}

TEST_F(FrameWindowTest, RedrawingAViewWithTranslucentPixelsDoesNotThickenThem) {
    // Not marked transparent, but its yellow is half transparent over the red background.
    auto* view = add(CRect(10, 10, 60, 60), "v", CColor(255, 255, 0, 128));
    frame->idle();
    const CColor first = window.pixel(20, 20);
    EXPECT_NEAR(first.green, 128, 2);
    for (int i = 0; i < 10; ++i) {
        view->setDirty(true);
        frame->idle();
    }
    EXPECT_EQ(window.pixel(20, 20), first);
}

TEST_F(FrameWindowTest, XEventsReachViewsWithButtonsModifiersWheelAndKeys) {
    auto* view = add(CRect(0, 0, 100, 100), "view", kWhiteCColor);
    view->setWantsFocus(true);
    frame->idle();
    const Window w = frameWindow();

    XEvent press = pointerEvent(ButtonPress, Button1, ShiftMask | ControlMask, 20, 30);
    window.send(w, press);
    XEvent motion = pointerEvent(MotionNotify, 0, Button1Mask | Mod1Mask, 150, 150);
    motion.xmotion.x = 150;
    motion.xmotion.y = 150;
    window.send(w, motion);
    XEvent release = pointerEvent(ButtonRelease, Button1, Button1Mask, 150, 150);
    window.send(w, release);
    XEvent wheelUp = pointerEvent(ButtonPress, Button4, 0, 20, 30);
    window.send(w, wheelUp);
    window.send(w, wheelUp);
    XEvent wheelDown = pointerEvent(ButtonPress, Button5, 0, 20, 30);
    window.send(w, wheelDown);
    XEvent key{};
    key.type = KeyPress;
    key.xkey.keycode = XKeysymToKeycode(window.display(), XK_a);
    key.xkey.state = ShiftMask;
    key.xkey.same_screen = True;
    window.send(w, key);
    key.xkey.keycode = XKeysymToKeycode(window.display(), XK_Left);
    key.xkey.state = 0;
    window.send(w, key);
    frame->idle();

    EXPECT_EQ(view->presses, 1);
    EXPECT_EQ(view->lastButtons, CButtonState(kLButton | kShift | kControl));
    EXPECT_EQ(view->moves, 1);
    EXPECT_EQ(view->lastMove, CPoint(150, 150));
    EXPECT_EQ(view->releases, 1);
    EXPECT_FLOAT_EQ(view->wheel, 1.f);
    ASSERT_EQ(view->keys.size(), 2u);
    EXPECT_EQ(view->keys[0].character, 'A');
    EXPECT_EQ(view->keys[0].modifier, MODIFIER_SHIFT);
    EXPECT_EQ(view->keys[1].virt, VKEY_LEFT);
}

TEST_F(FrameWindowTest, IdleViewTimerTakesTheRateOfItsCreationAndFiresFromIdle) {
    const uint32_t savedRate = CView::idleRate;
    CView::idleRate = 120;
    auto* view = add(CRect(0, 0, 10, 10), "idle", kWhiteCColor);
    view->setWantsIdle(true);
    EXPECT_EQ(frame->getIdleTimerPeriod(), 8u);
    CView::idleRate = 10;
    auto* other = add(CRect(0, 0, 10, 10), "idle too", kWhiteCColor);
    other->setWantsIdle(true);
    EXPECT_EQ(frame->getIdleTimerPeriod(), 8u);

    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    frame->idle();
    EXPECT_EQ(view->idles, 1);
    EXPECT_EQ(other->idles, 1);
    // A late idle fires once, without catching up on the periods it missed.
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    frame->idle();
    EXPECT_EQ(view->idles, 2);

    view->setWantsIdle(false);
    frame->removeView(other);
    EXPECT_EQ(frame->getIdleTimerPeriod(), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    frame->idle();
    EXPECT_EQ(view->idles, 2);

    // A new timer takes the rate of now, and does not fire before its period.
    CView::idleRate = 1;
    view->setWantsIdle(true);
    EXPECT_EQ(frame->getIdleTimerPeriod(), 1000u);
    frame->idle();
    EXPECT_EQ(view->idles, 2);
    CView::idleRate = savedRate;
}

// Without the wait, a view slower than the period would be due again at once.
TEST_F(FrameWindowTest, AnIdleCallLongerThanThePeriodPutsTheNextOneOffByAsLongAsItTook) {
    struct SlowView : CView {
        using CView::CView;
        void onIdle() override {
            starts.push_back(std::chrono::steady_clock::now());
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            ends.push_back(std::chrono::steady_clock::now());
        }
        std::vector<std::chrono::steady_clock::time_point> starts, ends;
    };
    const uint32_t savedRate = CView::idleRate;
    CView::idleRate = 120;
    auto* view = new SlowView(CRect(0, 0, 10, 10));
    view->setWantsIdle(true);
    frame->addView(view);
    CView::idleRate = savedRate;
    ASSERT_TRUE(tarn::test::waitUntil([&] { return view->starts.size() >= 3; }, [&] { idleAndWaitForEvents(frame); }));
    ASSERT_EQ(view->starts.size(), 3u);
    EXPECT_GE(view->starts[1] - view->ends[0], std::chrono::milliseconds(30));
    EXPECT_GE(view->starts[2] - view->ends[1], std::chrono::milliseconds(30));
}

// A host may close an editor on another thread than its user-interface thread: the closed
// frame's idle timer goes with it, and the idles of another frame on the user-interface thread
// call nothing of it (before, the timer stayed in that thread's list, freed).
TEST(FrameWindow, AFrameClosedOnAnotherThreadLeavesNoTimerBehind) {
    struct IdleView : CView {
        IdleView(std::atomic<int>* idles) : CView(CRect(0, 0, 10, 10)), idles(idles) { setWantsIdle(true); }
        void onIdle() override { ++*idles; }
        std::atomic<int>* idles;
    };
    TestWindow window;
    std::atomic<int> closedIdles{0};
    std::atomic<int> stayingIdles{0};
    const uint32_t savedRate = CView::idleRate;
    CView::idleRate = 1000;
    auto* closed = new CFrame(CRect(0, 0, 100, 100), window.handle(), nullptr);
    closed->addView(new IdleView(&closedIdles));
    auto* staying = new CFrame(CRect(0, 0, 100, 100), window.handle(), nullptr);
    staying->addView(new IdleView(&stayingIdles));
    CView::idleRate = savedRate;
    std::thread([closed] { closed->forget(); }).join();
    const int before = closedIdles;
    // Both timers have the same period: the closed frame's would have been due as often.
    EXPECT_TRUE(tarn::test::waitUntil([&] { return stayingIdles >= 20; }, [&] { idleAndWaitForEvents(staying); }));
    staying->forget();
    EXPECT_EQ(closedIdles, before);
}

// The VST plug-in and the LV2 UI in one host each chain an X error handler of their own: errors
// on other connections reach the host's handler, once, whichever of them has displays.
TEST(FrameWindow, XErrorsOfOtherConnectionsReachTheHostsHandlerWithAnotherModulesHandlerOverOurs) {
    Display* ours = XOpenDisplay(nullptr);
    Display* foreign = XOpenDisplay(nullptr);
    ASSERT_TRUE(ours && foreign);
    const XErrorHandler original = XSetErrorHandler(hostHandler);
    X11Errors::attach(ours);
    underOtherModule = XSetErrorHandler(otherModuleHandler);
    // Our last display goes while the other module's handler sits over ours.
    X11Errors::detach(ours);
    causeXError(foreign);
    EXPECT_EQ(hostErrors, 1);
    X11Errors::attach(ours);
    causeXError(ours);
    EXPECT_EQ(X11Errors::count(ours), 1u);
    causeXError(foreign);
    EXPECT_EQ(hostErrors, 2);
    EXPECT_EQ(handlerLoops, 0);
    // The other module leaves, then ours: the host's handler is back in place.
    XSetErrorHandler(underOtherModule);
    X11Errors::detach(ours);
    EXPECT_EQ(XSetErrorHandler(original), hostHandler);
    XCloseDisplay(ours);
    XCloseDisplay(foreign);
}

TEST(FrameWindow, TwoHundredOpenCloseCyclesLeaveNoWindowAndNoFile) {
    TestWindow window;
    struct Surface : COpenGLView {
        Surface() : COpenGLView(CRect(10, 10, 110, 60)) {}
        void drawOpenGL(const CRect&) override {}
    };
    auto cycle = [&] {
        auto* frame = new CFrame(CRect(0, 0, 200, 100), window.handle(), nullptr);
        frame->addView(new CTextLabel(CRect(0, 0, 50, 20), "label"));
        frame->addView(new Surface);
        frame->idle();
        frame->forget();
    };
    cycle();
    const int files = openFileCount();
    for (int i = 0; i < tarn::test::cycles(200); ++i) cycle();
    EXPECT_TRUE(window.children().empty());
    EXPECT_EQ(openFileCount(), files);
}

TEST(FrameWindow, BadOrVanishedParentWindowsAreSurvived) {
    auto* orphan = new CFrame(CRect(0, 0, 100, 100), reinterpret_cast<void*>(uintptr_t{0x3fffff1}), nullptr);
    EXPECT_EQ(orphan->getPlatformFrame(), nullptr);
    orphan->addView(new CTextLabel(CRect(0, 0, 50, 20), "label"));
    orphan->idle();
    orphan->forget();

    // The host destroys its window before closing the editor.
    auto window = std::make_unique<TestWindow>();
    auto* frame = new CFrame(CRect(0, 0, 100, 100), window->handle(), nullptr);
    frame->idle();
    window.reset();
    frame->idle();
    frame->invalidRect(CRect(0, 0, 100, 100));
    frame->forget();
}
