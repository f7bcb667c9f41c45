#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glx.h>

#include <cmath>
#include <functional>

#include "../gui/TestWindow.h"
#include "CompressedPhrase.h"
#include "WindowImage.h"
#include "gui/linux/GLXOpenGLView.h"
#include "gui/vstgui.h"
#include "tests/WaitUntil.h"
#include "views/ZuGLGraph.h"
#include "views/ZuMeter.h"

using namespace VSTGUI;

namespace {

// Where the editor places the views in its 550 x 375 frame.
const CRect kGraphRect(5, 120, 365, 360);
const CRect kMeterRect(370, 120, 540, 360);

CRect scaled(const CRect& r, double scale) {
    return CRect(r.left * scale, r.top * scale, r.right * scale, r.bottom * scale);
}

// Both views in a frame of the editor's size, scale times as large, in a real window, over a
// dark grey background.
class EditorPicture {
public:
    explicit EditorPicture(double scale = 1.0)
        : scale(scale), window(static_cast<int>(550 * scale), static_cast<int>(375 * scale)) {
        const CRect size = scaled(CRect(0, 0, 550, 375), scale);
        frame = new CFrame(size, window.handle(), nullptr);
        auto background = owned(new CBitmap(size.getWidth(), size.getHeight()));
        auto context = owned(COffscreenContext::create(background.get()));
        context->setFillColor(CColor(48, 48, 56, 255));
        context->drawRect(size, kDrawFilled);
        frame->setBackground(background.get());
        graph = new ZuGLGraph(scaled(kGraphRect, scale), scale);
        frame->addView(graph);
        meter = new ZuMeter(scaled(kMeterRect, scale), nullptr, scale);
        frame->addView(meter);
    }
    ~EditorPicture() { frame->forget(); }
    EditorPicture(const EditorPicture&) = delete;
    EditorPicture& operator=(const EditorPicture&) = delete;

    // Idles the frame until done() or the deadline.
    void idleUntil(const std::function<bool()>& done) {
        tarn::test::waitUntil(done, [&] { idleAndWaitForEvents(frame); });
    }
    // One drawing pass of the graph, then what the window shows once the graph's border is
    // there (a new window shows no border before the first pass).
    WindowImage drawAndCapture() {
        graph->draw(nullptr);
        idleUntil([&] { return capture().at(static_cast<int>(185 * scale), static_cast<int>(120 * scale)).red > 60; });
        frame->idle();
        return capture();
    }
    WindowImage capture() const {
        return WindowImage(window.display(), window.id(), static_cast<int>(550 * scale), static_cast<int>(375 * scale));
    }

    double scale;
    TestWindow window;
    CFrame* frame;
    ZuGLGraph* graph;
    ZuMeter* meter;
};

// Pixels of the graph in view-local coordinates, with what each kind of place should show.
class GraphPixels {
public:
    explicit GraphPixels(const WindowImage& image, double scale = 1.0)
        : image(image), left(static_cast<int>(kGraphRect.left * scale)),
          top(static_cast<int>(kGraphRect.top * scale)) {}
    CColor at(int x, int y) const { return image.at(left + x, top + y); }

    bool black(int x, int y) const { return brightest(at(x, y)) <= 8; }
    // White light of some strength with no tint (grid, border, input area).
    bool neutral(int x, int y, int least, int most = 255) const {
        const CColor c = at(x, y);
        return std::abs(c.red - c.green) <= 8 && std::abs(c.green - c.blue) <= 8 && c.red >= least && c.red <= most;
    }
    bool red(int x, int y) const {
        const CColor c = at(x, y);
        return c.red >= 80 && c.green <= 30 && c.blue <= 30;
    }
    bool reddish(int x, int y) const {
        const CColor c = at(x, y);
        return c.red > c.green + 40 && c.red > c.blue + 40;
    }
    // The output area's light green over the input area's white: green leads red and blue by
    // 63 times the green area's alpha (0.38 to 0.5), at least 23. Under the white area
    // instead it would lead by 20 at most.
    bool lightGreen(int x, int y) const {
        const CColor c = at(x, y);
        return c.green >= c.red + 22 && c.green >= c.blue + 22 && c.red >= 100 && std::abs(c.red - c.blue) <= 8;
    }
    bool near(int x, int y, const CColor& expected, int tolerance) const {
        const CColor c = at(x, y);
        return std::abs(c.red - expected.red) <= tolerance && std::abs(c.green - expected.green) <= tolerance &&
               std::abs(c.blue - expected.blue) <= tolerance;
    }
    // The brightest of rows y - 1 to y + 1 at x, where a thin line across row y shows.
    int lineStrength(int x, int y) const {
        int strongest = 0;
        for (int row = y - 1; row <= y + 1; ++row) strongest = std::max(strongest, brightest(at(x, row)));
        return strongest;
    }

private:
    static int brightest(const CColor& c) { return std::max({c.red, c.green, c.blue}); }
    const WindowImage& image;
    int left, top;
};

constexpr CColor kThresholdColor(192, 192, 64);
constexpr CColor kKneeColor(192, 128, 64);

// A probe for GL state: a surface whose context a test makes current.
class ProbeView : public COpenGLView {
public:
    explicit ProbeView(const CRect& size) : COpenGLView(size) {}
    void drawOpenGL(const CRect&) override {}
};

bool modelviewIsIdentity() {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.f : 0.f)) return false;
    return true;
}

} // namespace

TEST(GraphWindow, BeforeTheFirstUpdateOnlyBackgroundBorderGridAndTheLinesAt0dBShow) {
    EditorPicture picture;
    const WindowImage image = picture.drawAndCapture();
    const GraphPixels graph(image);
    // Black between the grid rows, and along the bottom: both curves lie below the view.
    for (int x = 4; x < 356; x += 16) {
        for (int y : {15, 45, 75, 105, 135, 165, 195}) EXPECT_TRUE(graph.black(x, y)) << x << " " << y;
        for (int y = 214; y < 238; y += 3) EXPECT_TRUE(graph.black(x, y)) << x << " " << y;
    }
    // The border is white along all four edges (antialiased: half of the line falls outside).
    for (int i = 8; i < 232; i += 20) {
        EXPECT_TRUE(graph.neutral(0, i, 100)) << i;
        EXPECT_TRUE(graph.neutral(359, i, 100)) << i;
    }
    // Along the top edge the border lies over the reduction curve, which is at depth 0 while
    // input and output are equal, so it is pink there.
    for (int i = 8; i < 352; i += 20) {
        EXPECT_TRUE(graph.neutral(i, 239, 100)) << i;
        const CColor top = graph.at(i, 0);
        EXPECT_GE(top.red, 120) << i;
        EXPECT_GE(top.green, 60) << i;
        EXPECT_GT(top.red, top.green + 20) << i << " " << int(top.red) << " " << int(top.green) << " " << int(top.blue);
    }
    // Grid lines 2 to 7, faint white (alpha 64) at their rows; line 1 lies under the
    // threshold line, which is at 0 dB (30 pixels down) with the knee line under it.
    for (int k = 2; k <= 7; ++k) {
        const int row = static_cast<int>(picture.graph->getGridY(k));
        for (int x : {40, 180, 320}) {
            EXPECT_GE(graph.lineStrength(x, row), 30) << k;
            EXPECT_LE(graph.lineStrength(x, row), 70) << k;
            EXPECT_TRUE(graph.neutral(x, row, 30, 70)) << k;
        }
    }
    for (int x : {40, 180, 320}) {
        EXPECT_TRUE(graph.near(x, 29, kThresholdColor, 12)) << x;
        EXPECT_TRUE(graph.near(x, 30, kThresholdColor, 12)) << x;
    }
    // Nothing red or green anywhere.
    for (int y = 1; y < 239; ++y)
        for (int x = 1; x < 359; ++x) ASSERT_FALSE(graph.reddish(x, y) || graph.lightGreen(x, y)) << x << " " << y;
}

TEST(GraphWindow, ThresholdAndKneeLinesSitAtTheirLevelsWithTheBandBetween) {
    EditorPicture picture;
    auto engine = makeEngine(-15.f, -27.f, 4.f);
    picture.graph->updateFromEngine(*engine);
    const WindowImage image = picture.drawAndCapture();
    const GraphPixels graph(image);
    // -15 dB lies at 104.74 and -27 dB at 164.54; the lines are 2 pixels wide.
    ASSERT_NEAR(picture.graph->levelY(picture.graph->getThresholdDb()), 104.74, 0.01);
    ASSERT_NEAR(picture.graph->levelY(picture.graph->getKneeStartDb()), 164.54, 0.01);
    for (int x : {20, 180, 340}) {
        EXPECT_TRUE(graph.near(x, 104, kThresholdColor, 12)) << x;
        EXPECT_TRUE(graph.near(x, 164, kKneeColor, 12)) << x;
        // Between them the translucent band (alpha 96), its colour turning from the
        // threshold's yellow to the knee's orange.
        const CColor top = graph.at(x, 110);
        const CColor bottom = graph.at(x, 158);
        EXPECT_NEAR(top.red, 192 * 96 / 255, 8) << x;
        EXPECT_GT(top.green, bottom.green + 10) << x;
        EXPECT_LT(top.blue, top.red / 2) << x;
        // Outside the band, black.
        EXPECT_TRUE(graph.black(x, 98)) << x;
        EXPECT_TRUE(graph.black(x, 171)) << x;
    }
}

TEST(GraphWindow, ACompressedSignalShowsInputOverOutputAndTheReductionFromTheTop) {
    EditorPicture picture;
    auto engine = makeEngine(-24.f, -24.f, 6.f);
    playPhrase(*engine, 44100 * 3);
    ZuGLGraph& view = *picture.graph;
    view.updateFromEngine(*engine);
    const WindowImage image = picture.drawAndCapture();
    const GraphPixels graph(image);

    // Rows where a line (grid or threshold) crosses are left out of the checks.
    auto onALine = [&](int y) {
        for (int k = 1; k <= 7; ++k)
            if (std::abs(y - view.getGridY(k)) < 2.5) return true;
        return std::abs(y - view.levelY(view.getThresholdDb())) < 3;
    };
    int columns = 0;
    for (int i = 20; i < ZuGLGraph::pointCount - 20; i += 10) {
        const double inputY = view.levelY(view.getInputDb()[i]);
        const double outputY = view.levelY(view.getOutputDb()[i]);
        const double depth = view.reductionDepth(i);
        // Columns where the curves run flat enough for a clean look between them.
        bool flat = true;
        for (int j = i - 6; j <= i + 6; ++j) {
            flat = flat && std::abs(view.levelY(view.getInputDb()[j]) - inputY) < 2 &&
                   std::abs(view.levelY(view.getOutputDb()[j]) - outputY) < 2 && std::abs(view.reductionDepth(j) - depth) < 2;
        }
        if (!flat || depth < 10 || inputY < depth + 10 || outputY > 228) continue;
        ++columns;
        const int x = static_cast<int>(view.getPointX(i));
        for (int y = 3; y < depth - 3; ++y) EXPECT_TRUE(onALine(y) || graph.red(x, y)) << x << " " << y;
        for (int y = static_cast<int>(depth) + 4; y < inputY - 3; ++y)
            EXPECT_TRUE(onALine(y) || graph.black(x, y)) << x << " " << y;
        for (int y = static_cast<int>(inputY) + 4; y < outputY - 3; ++y)
            EXPECT_TRUE(onALine(y) || graph.neutral(x, y, 90, 150)) << x << " " << y;
        for (int y = static_cast<int>(outputY) + 4; y < 237; ++y)
            EXPECT_TRUE(onALine(y) || graph.lightGreen(x, y)) << x << " " << y;
    }
    EXPECT_GE(columns, 5);
}

// Each area is filled in wide pieces below the curve and narrow ones up to it: along a row inside
// an area, where the curves run flat, every pixel shows the same as its neighbour, with no gap or
// pixel filled twice where the pieces meet.
TEST(GraphWindow, AreasFillEveryPixelOnceAtScales1And2) {
    for (double scale : {1.0, 2.0}) {
        EditorPicture picture(scale);
        auto engine = makeEngine(-24.f, -24.f, 6.f);
        playPhrase(*engine, 44100 * 3);
        ZuGLGraph& view = *picture.graph;
        view.updateFromEngine(*engine);
        const WindowImage image = picture.drawAndCapture();
        const GraphPixels graph(image, scale);
        const int margin = static_cast<int>(4 * scale);
        const int height = static_cast<int>(240 * scale);
        int pairs = 0;
        for (int i = 20; i < ZuGLGraph::pointCount - 20; i += 5) {
            // Where each curve runs over the neighbourhood of the pair, in rows.
            double inputTop = 1e9, inputBottom = -1e9, outputTop = 1e9, outputBottom = -1e9, depth = 1e9;
            for (int j = i - 12; j <= i + 12; ++j) {
                const double in = view.levelY(view.getInputDb()[j]), out = view.levelY(view.getOutputDb()[j]);
                inputTop = std::min(inputTop, in);
                inputBottom = std::max(inputBottom, in);
                outputTop = std::min(outputTop, out);
                outputBottom = std::max(outputBottom, out);
                depth = std::min(depth, view.reductionDepth(j));
            }
            if (inputBottom - inputTop > 2 * scale) continue;
            const int x = static_cast<int>(view.getPointX(i));
            auto same = [&](int y) {
                const CColor a = graph.at(x, y), b = graph.at(x + 1, y);
                return std::abs(a.red - b.red) <= 4 && std::abs(a.green - b.green) <= 4 &&
                       std::abs(a.blue - b.blue) <= 4;
            };
            for (int y = margin; y < depth - margin; ++y) EXPECT_TRUE(same(y)) << scale << ": " << x << " " << y;
            for (int y = static_cast<int>(inputBottom) + margin; y < height - margin; ++y) {
                if (y > outputTop - margin && y < outputBottom + margin) continue;
                EXPECT_TRUE(same(y)) << scale << ": " << x << " " << y;
            }
            ++pairs;
        }
        EXPECT_GE(pairs, 10) << scale;
    }
}

TEST(GraphWindow, NothingIsRedAtRatio1To1) {
    EditorPicture picture;
    auto engine = makeEngine(-24.f, -24.f, 1.f);
    playPhrase(*engine, 44100 * 3);
    picture.graph->updateFromEngine(*engine);
    const WindowImage image = picture.drawAndCapture();
    const GraphPixels graph(image);
    int green = 0;
    // The reduction curve lies on the top edge, under the border: nothing red below it.
    for (int y = 2; y < 239; ++y) {
        for (int x = 1; x < 359; ++x) {
            ASSERT_FALSE(graph.reddish(x, y)) << x << " " << y;
            green += graph.lightGreen(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(green, 5000);
}

TEST(GraphWindow, TheIdleTimerDrawsEvery8ms) {
    EditorPicture picture;
    EXPECT_EQ(picture.frame->getIdleTimerPeriod(), 8u);
    picture.drawAndCapture();
    auto engine = makeEngine(-24.f, -24.f, 6.f);
    playPhrase(*engine, 44100 * 3);
    picture.graph->updateFromEngine(*engine);
    // No pass is asked for: the timer's ticks draw the new data.
    int red = 0;
    picture.idleUntil([&] {
        const WindowImage image = picture.capture();
        red = 0;
        for (int x = 1; x < 359; ++x) red += GraphPixels(image).red(x, 5) ? 1 : 0;
        return red > 100;
    });
    EXPECT_GT(red, 100);
}

// The graph's surface is painted green behind its back: as long as the graph draws no pass,
// the window keeps showing green.
TEST(GraphWindow, ATickWithNothingNewDrawsNothingAndEachNewThingIsDrawnAtTheNextTick) {
    EditorPicture picture;
    ZuGLGraph& graph = *picture.graph;
    auto engine = makeEngine(-24.f, -30.f, 6.f);
    long played = 44100 * 2;
    playPhrase(*engine, played);
    graph.updateFromEngine(*engine);
    picture.drawAndCapture();
    EXPECT_FALSE(graph.isStale());
    IPlatformOpenGLView* surface = graph.getPlatformOpenGLView();
    auto green = [&] { return picture.capture().at(185, 240) == CColor(0, 255, 0, 255); };
    auto paintGreen = [&] {
        ASSERT_TRUE(surface->makeContextCurrent());
        glClearColor(0.f, 1.f, 0.f, 1.f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.f, 0.f, 0.f, 0.f);
        surface->swapBuffers();
        picture.idleUntil(green);
        ASSERT_TRUE(green());
    };
    auto drawnAgain = [&] {
        picture.idleUntil([&] { return !green(); });
        return !green();
    };

    paintGreen();
    // Ticks with nothing new, and an update that brings nothing new.
    for (int i = 0; i < 20; ++i) {
        picture.frame->idle();
        usleep(5000);
    }
    graph.updateFromEngine(*engine);
    EXPECT_FALSE(graph.isStale());
    for (int i = 0; i < 5; ++i) {
        picture.frame->idle();
        usleep(5000);
    }
    EXPECT_TRUE(green());

    // New levels.
    playPhrase(*engine, 4410, played);
    graph.updateFromEngine(*engine);
    EXPECT_TRUE(graph.isStale());
    EXPECT_TRUE(drawnAgain());

    // A new threshold.
    paintGreen();
    engine->setThresholdDb(-12.0);
    graph.updateFromEngine(*engine);
    EXPECT_TRUE(drawnAgain());

    // A new knee start alone.
    paintGreen();
    engine->setKneeDb(-3.0);
    graph.updateFromEngine(*engine);
    EXPECT_TRUE(drawnAgain());

    // Silence, once the whole history shows it (the detectors decay below -120 dB within two
    // seconds), draws nothing however long it goes on.
    auto playSilence = [&](long frames) {
        double left = 0;
        double right = 0;
        for (long i = 0; i < frames; ++i) engine->processSample(0.0, 0.0, &left, &right, 44100.f);
    };
    paintGreen();
    playSilence(45L * 3 * ZuGLGraph::pointCount);
    graph.updateFromEngine(*engine);
    EXPECT_TRUE(drawnAgain());
    paintGreen();
    playSilence(45L * 20);
    graph.updateFromEngine(*engine);
    EXPECT_FALSE(graph.isStale());

    // An expose of the surface's window.
    paintGreen();
    const Window surfaceWindow = static_cast<GLXOpenGLView*>(surface)->getWindow();
    XClearArea(picture.window.display(), surfaceWindow, 0, 0, 0, 0, True);
    XFlush(picture.window.display());
    EXPECT_TRUE(drawnAgain());

    // A step of the range drag.
    paintGreen();
    CPoint where(100, 100);
    graph.onMouseDown(where, CButtonState(kLButton));
    where.y -= 1;
    graph.onMouseMoved(where, CButtonState(kLButton));
    EXPECT_TRUE(drawnAgain());
}

TEST(GraphWindow, RangeDragMovesTheGridOnTheNextPass) {
    EditorPicture picture;
    CPoint where(100, 300);
    picture.graph->onMouseDown(where, CButtonState(kLButton));
    for (int i = 0; i < 40; ++i) {
        where.y -= 2;
        picture.graph->onMouseMoved(where, CButtonState(kLButton));
    }
    ASSERT_NEAR(picture.graph->getDisplayRange(), 4.f, 1e-4);
    const WindowImage image = picture.drawAndCapture();
    const GraphPixels graph(image);
    // At range 4 the grid lines lie at twice their rows at range 8, and 0 dB at 60.
    for (int k = 2; k <= 3; ++k) EXPECT_GE(graph.lineStrength(180, static_cast<int>(picture.graph->getGridY(k))), 30) << k;
    EXPECT_TRUE(graph.black(180, 90));
    EXPECT_TRUE(graph.near(180, 59, kThresholdColor, 12));
}

TEST(GraphWindow, PassesWithoutASurfaceOrForAnEmptyViewTouchNoGL) {
    EditorPicture picture;
    auto* probe = new ProbeView(CRect(400, 10, 440, 40));
    picture.frame->addView(probe);
    auto* empty = new ZuGLGraph(CRect(10, 10, 10, 100));
    picture.frame->addView(empty);
    auto* flat = new ZuGLGraph(CRect(20, 10, 100, 10));
    picture.frame->addView(flat);
    auto loose = owned(new ZuGLGraph(kGraphRect));
    auto windowless = owned(new CFrame(CRect(0, 0, 550, 375), nullptr, nullptr));
    auto* unsurfaced = new ZuGLGraph(kGraphRect);
    windowless->addView(unsurfaced);

    IPlatformOpenGLView* surface = probe->getPlatformOpenGLView();
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(surface->makeContextCurrent());
    GLXContext probeContext = glXGetCurrentContext();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    ASSERT_TRUE(modelviewIsIdentity());

    loose->draw(nullptr);
    loose->onIdle();
    unsurfaced->draw(nullptr);
    empty->draw(nullptr);
    flat->onIdle();

    EXPECT_EQ(glXGetCurrentContext(), probeContext);
    EXPECT_TRUE(modelviewIsIdentity());
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    GLfloat lineWidth = 0;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    EXPECT_EQ(lineWidth, 1.f);
    GLint after[4];
    glGetIntegerv(GL_VIEWPORT, after);
    EXPECT_TRUE(std::equal(viewport, viewport + 4, after));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GraphWindow, ScreenshotOfBothViewsFedFromACompressingEngine) {
    EditorPicture picture;
    auto engine = makeEngine(-24.f, -32.f, 6.f);
    playPhrase(*engine, 44100 * 3);
    picture.graph->updateFromEngine(*engine);
    picture.drawAndCapture();
    // The frame paints the scale view at its idle.
    auto titleShown = [&] {
        const WindowImage image = picture.capture();
        for (int x = 500; x < 540; ++x)
            if (image.at(x, 352).red > 150) return true;
        return false;
    };
    picture.idleUntil(titleShown);
    const WindowImage image = picture.capture();
    EXPECT_TRUE(image.savePNG(SCREENSHOT_PATH)) << SCREENSHOT_PATH;

    // Each label is centred on its grid line, in the column beside the graph.
    for (int k = 1; k <= 7; ++k) {
        const double gridY = picture.graph->getGridY(k) + kGraphRect.top;
        int first = -1;
        int last = -1;
        for (int y = static_cast<int>(gridY) - 8; y <= static_cast<int>(gridY) + 8; ++y) {
            bool text = false;
            for (int x = 370; x < 420; ++x) text = text || image.at(x, y).red > 150;
            if (!text) continue;
            if (first < 0) first = y;
            last = y;
        }
        ASSERT_GE(first, 0) << "label " << k;
        EXPECT_NEAR((first + last + 1) / 2.0, gridY, 1.5) << "label " << k;
    }
    // Some of every part of the graph: red reduction, white input, green output.
    const GraphPixels graph(image);
    int red = 0;
    int green = 0;
    int white = 0;
    for (int y = 2; y < 238; ++y) {
        for (int x = 2; x < 358; ++x) {
            red += graph.red(x, y) ? 1 : 0;
            green += graph.lightGreen(x, y) ? 1 : 0;
            white += graph.neutral(x, y, 100, 160) ? 1 : 0;
        }
    }
    EXPECT_GT(red, 2000);
    EXPECT_GT(green, 2000);
    EXPECT_GT(white, 2000);
}
