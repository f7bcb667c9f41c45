#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glx.h>

#include "Recorders.h"
#include "TestWindow.h"
#include "tests/WaitUntil.h"

namespace {

// Clears its surface to a colour whenever the surface paints, and logs the hooks.
class ClearView : public COpenGLView {
public:
    ClearView(const CRect& size, std::vector<std::string>& log) : COpenGLView(size), log(log) {}

    void drawOpenGL(const CRect&) override {
        glClearColor(0.f, 1.f, 0.f, 1.f);
        glClear(GL_COLOR_BUFFER_BIT);
        glFinish();
        GLubyte rgba[4] = {};
        glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        readBack = CColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        getPlatformOpenGLView()->swapBuffers();
        ++paints;
    }
    void platformOpenGLViewCreated() override { log.push_back("created"); }
    void platformOpenGLViewWillDestroy() override { log.push_back("will destroy"); }
    void platformOpenGLViewSizeChanged() override {
        log.push_back(glXGetCurrentContext() ? "size changed, current" : "size changed");
    }

    std::vector<std::string>& log;
    CColor readBack;
    int paints = 0;
};

void idleUntil(CFrame* frame, const std::function<bool()>& done) {
    tarn::test::waitUntil(done, [&] { idleAndWaitForEvents(frame); });
}

} // namespace

TEST(OpenGLView, ClearsItsChildSurfaceToAColourThatReadsBackFromTheWindow) {
    TestWindow window;
    std::vector<std::string> log;
    auto* frame = new CFrame(CRect(0, 0, 200, 100), window.handle(), nullptr);
    auto* view = new ClearView(CRect(20, 20, 80, 70), log);
    frame->addView(view);
    ASSERT_NE(view->getPlatformOpenGLView(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"created", "size changed, current"}));
    idleUntil(frame, [&] { return window.pixel(50, 45) == CColor(0, 255, 0, 255); });
    EXPECT_EQ(view->readBack, CColor(0, 255, 0, 255));
    EXPECT_EQ(window.pixel(50, 45), CColor(0, 255, 0, 255));
    EXPECT_EQ(window.pixel(79, 69), CColor(0, 255, 0, 255));
    EXPECT_NE(window.pixel(85, 45), CColor(0, 255, 0, 255));
    EXPECT_EQ(glXGetCurrentContext(), nullptr);

    // A new place moves the surface, which paints itself there.
    view->setViewSize(CRect(120, 20, 180, 70));
    idleUntil(frame, [&] { return window.pixel(150, 45) == CColor(0, 255, 0, 255); });
    EXPECT_EQ(window.pixel(150, 45), CColor(0, 255, 0, 255));

    frame->removeView(view);
    EXPECT_EQ(log.back(), "will destroy");
    EXPECT_EQ(window.children().size(), 1u);
    frame->forget();
    EXPECT_TRUE(window.children().empty());
}

TEST(OpenGLView, WithoutAWindowNoSurfaceIsMade) {
    std::vector<std::string> log;
    auto* frame = new CFrame(CRect(0, 0, 200, 100), nullptr, nullptr);
    auto* view = new ClearView(CRect(20, 20, 80, 70), log);
    frame->addView(view);
    EXPECT_EQ(view->getPlatformOpenGLView(), nullptr);
    view->setViewSize(CRect(0, 0, 10, 10));
    EXPECT_TRUE(log.empty());
    frame->forget();
}
