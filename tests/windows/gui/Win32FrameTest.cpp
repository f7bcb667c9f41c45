#include <gtest/gtest.h>

#include <windows.h>
#include <GL/gl.h>

#include <memory>
#include <vector>

#include "gui/win32/Win32Module.h"
#include "tests/gui/Recorders.h"
#include "tests/windows/gui/Win32TestWindow.h"

// The frame's window, its input and timer, and OpenGL surfaces, in a real top-level window.
namespace {

using tarn::pumpMessages;
using tarn::pumpUntil;

class Win32FrameTest : public ::testing::Test {
protected:
    Win32FrameTest() : window(300, 200) {
        frame = new CFrame(CRect(0, 0, 300, 200), window.handle(), &editor);
        auto background = owned(new CBitmap(150, 200));
        auto context = owned(COffscreenContext::create(background.get()));
        context->setFillColor(CColor(255, 0, 0, 255));
        context->drawRect(CRect(0, 0, 150, 200), kDrawFilled);
        context->endDraw();
        frame->setBackground(background.get());
    }
    ~Win32FrameTest() override {
        if (frame) frame->forget();
    }

    CountingView* add(const CRect& rect, const char* name, CColor color) {
        auto* view = new CountingView(rect, name, &drawLog);
        view->color = color;
        frame->addView(view);
        return view;
    }
    void post(UINT message, WPARAM wParam, int x, int y) {
        PostMessageW(window.child(), message, wParam, MAKELPARAM(x, y));
        pumpMessages(5);
    }

    tarn::Win32TestWindow window;
    RecordingEditor editor;
    CFrame* frame = nullptr;
    std::vector<std::string> drawLog;
};

// Clears its surface to green and reads it back inside its own context.
class GreenView : public COpenGLView {
public:
    explicit GreenView(const CRect& size) : COpenGLView(size) {}
    void drawOpenGL(const CRect&) override {
        glClearColor(0.f, 1.f, 0.f, 1.f);
        glClear(GL_COLOR_BUFFER_BIT);
        GLubyte rgba[4] = {};
        glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        readBack = CColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        getPlatformOpenGLView()->swapBuffers();
        ++paints;
    }
    void platformOpenGLViewSizeChanged() override { sizeChangedWithContext = wglGetCurrentContext() != nullptr; }

    CColor readBack;
    int paints = 0;
    bool sizeChangedWithContext = false;
};

} // namespace

TEST_F(Win32FrameTest, AChildWindowOfTheHostShowsBackgroundAndViews) {
    ASSERT_NE(frame->getPlatformFrame(), nullptr);
    ASSERT_EQ(window.childCount(), 1);
    EXPECT_EQ(GetParent(window.child()), window.handle());
    add(CRect(200, 50, 250, 100), "blue", CColor(0, 0, 255, 255));
    frame->idle();
    const auto pixels = window.snapshot();
    EXPECT_EQ(window.pixel(pixels, 10, 10), 0xff0000u);   // the background bitmap
    EXPECT_EQ(window.pixel(pixels, 225, 75), 0x0000ffu);  // the view
    EXPECT_EQ(window.pixel(pixels, 280, 180), 0x000000u); // beyond the background: transparent, black
}

TEST_F(Win32FrameTest, MouseKeysAndWheelReachViewsWithButtonsModifiersAndCapture) {
    CountingView* view = add(CRect(10, 10, 100, 100), "target", kWhiteCColor);
    frame->setFocusView(view);
    post(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 20, 20);
    EXPECT_EQ(view->presses, 1);
    EXPECT_EQ(view->lastButtons, CButtonState(kLButton | kShift));
    EXPECT_EQ(GetCapture(), window.child()) << "the drag keeps the mouse";
    // Outside the view and the window, the drag still reaches the view that was pressed.
    post(WM_MOUSEMOVE, MK_LBUTTON, 150, -20);
    EXPECT_GE(view->moves, 1);
    EXPECT_EQ(view->lastMove, CPoint(150, -20));
    post(WM_LBUTTONUP, 0, 150, -20);
    EXPECT_EQ(view->releases, 1);
    EXPECT_EQ(GetCapture(), nullptr);

    post(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 30, 30);
    EXPECT_EQ(view->lastButtons, CButtonState(kRButton | kControl));
    post(WM_RBUTTONUP, 0, 30, 30);

    POINT screen{50, 50};
    ClientToScreen(window.child(), &screen);
    PostMessageW(window.child(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
    pumpMessages(5);
    EXPECT_FLOAT_EQ(view->wheel, -2.f);

    PostMessageW(window.child(), WM_KEYDOWN, VK_LEFT, 0);
    PostMessageW(window.child(), WM_KEYDOWN, 'A', 0);
    pumpMessages(5);
    ASSERT_EQ(view->keys.size(), 2u);
    EXPECT_EQ(view->keys[0].virt, VKEY_LEFT);
    EXPECT_EQ(view->keys[1].virt, 0);
    EXPECT_EQ(view->keys[1].character, 'a');
}

TEST_F(Win32FrameTest, IdleViewTimerIsAWindowTimerAtTheRateOfItsCreation) {
    const uint32_t rate = CView::idleRate;
    CView::idleRate = 120;
    CountingView* view = add(CRect(0, 0, 10, 10), "idle", kWhiteCColor);
    frame->addIdleView(view);
    CView::idleRate = rate;
    EXPECT_EQ(frame->getIdleTimerPeriod(), 8u);
    // The host's message loop alone fires it, with no frame idle.
    EXPECT_TRUE(pumpUntil([&] { return view->idles > 20; })) << view->idles;
    frame->removeIdleView(view);
    const int idles = view->idles;
    pumpMessages(50);
    EXPECT_EQ(view->idles, idles);
}

TEST_F(Win32FrameTest, OpenGLViewHasAChildSurfaceWithItsOwnContextThatReadsBack) {
    auto* gl = new GreenView(CRect(160, 20, 260, 120));
    gl->remember();
    frame->addView(gl);
    ASSERT_NE(gl->getPlatformOpenGLView(), nullptr);
    EXPECT_TRUE(gl->sizeChangedWithContext);
    // wine resizes the surface's drawable after the first paint; the next one fills it. A cold
    // prefix and a cold Mesa take their time over both.
    EXPECT_TRUE(pumpUntil([&] { return gl->paints >= 1; }));
    const int firstPaints = gl->paints;
    gl->getPlatformOpenGLView()->invalidRect(gl->getViewSize());
    EXPECT_TRUE(pumpUntil([&] { return gl->paints > firstPaints && gl->readBack == CColor(0, 255, 0, 255); }));
    EXPECT_EQ(gl->readBack, CColor(0, 255, 0, 255));
    EXPECT_EQ(wglGetCurrentContext(), nullptr) << "swapping leaves no context current";

    HWND surface = FindWindowExW(window.child(), nullptr, nullptr, nullptr);
    ASSERT_NE(surface, nullptr);
    RECT placed{};
    GetWindowRect(surface, &placed);
    MapWindowPoints(nullptr, window.child(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 160);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right - placed.left, 100);
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    pumpUntil([&] {
        pixels = tarn::readOpenGLSurface(surface, width, height);
        return pixels.size() == 100u * 100u && pixels[99 * 100 + 99] == 0x00ff00u;
    });
    ASSERT_EQ(pixels.size(), 100u * 100u);
    EXPECT_EQ(pixels[50 * 100 + 50], 0x00ff00u);
    EXPECT_EQ(pixels[99 * 100 + 99], 0x00ff00u);

    // Mouse presses on the surface go to the frame's window below it.
    POINT onSurface{200, 60};
    ClientToScreen(window.child(), &onSurface);
    EXPECT_EQ(WindowFromPoint(onSurface), window.child());

    frame->removeView(gl, false);
    EXPECT_EQ(gl->getPlatformOpenGLView(), nullptr);
    EXPECT_EQ(FindWindowExW(window.child(), nullptr, nullptr, nullptr), nullptr);
    gl->forget();
}

TEST(Win32Frame, ClassesAndGdiplusLiveWhileAnyFrameIsOpenAndTwoFramesLiveSideBySide) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    {
        tarn::Win32TestWindow first(100, 100);
        tarn::Win32TestWindow second(100, 100);
        auto* a = new CFrame(CRect(0, 0, 100, 100), first.handle(), nullptr);
        auto* b = new CFrame(CRect(0, 0, 100, 100), second.handle(), nullptr);
        ASSERT_TRUE(a->getPlatformFrame() && b->getPlatformFrame());
        const std::wstring name = VSTGUI::Win32Module::frameClass();
        EXPECT_NE(name.find(L"tarnFrame"), std::wstring::npos);
        EXPECT_GT(name.size(), 9u) << "the name carries the module handle";
        EXPECT_TRUE(GetClassInfoExW(VSTGUI::Win32Module::instance(), name.c_str(), &info));
        a->forget();
        EXPECT_TRUE(GetClassInfoExW(VSTGUI::Win32Module::instance(), name.c_str(), &info));
        EXPECT_EQ(first.childCount(), 0);
        EXPECT_EQ(second.childCount(), 1);
        b->forget();
        EXPECT_FALSE(GetClassInfoExW(VSTGUI::Win32Module::instance(), name.c_str(), &info)) << "the last one unregisters";
    }
}

TEST(Win32Frame, BadOrVanishedParentWindowsAreSurvived) {
    auto* orphan = new CFrame(CRect(0, 0, 100, 100), reinterpret_cast<void*>(static_cast<uintptr_t>(0x12345)), nullptr);
    EXPECT_EQ(orphan->getPlatformFrame(), nullptr);
    orphan->forget();

    auto window = std::make_unique<tarn::Win32TestWindow>(100, 100);
    auto* frame = new CFrame(CRect(0, 0, 100, 100), window->handle(), nullptr);
    frame->addView(new GreenView(CRect(0, 0, 50, 50)));
    ASSERT_NE(frame->getPlatformFrame(), nullptr);
    // The host destroys its window, and ours with it, before closing the editor.
    window.reset();
    frame->invalidRect(CRect(0, 0, 100, 100));
    frame->idle();
    frame->forget();
}
