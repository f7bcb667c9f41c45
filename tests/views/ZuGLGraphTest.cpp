#include <gtest/gtest.h>

#include <cmath>

#include "CompressedPhrase.h"
#include "gui/vstgui.h"
#include "views/ZuGLGraph.h"

using namespace VSTGUI;

namespace {

const double kDbPerDoubling = 20.0 * std::log10(2.0);
// Grid rows of a 240-pixel view at range 8.
const double kGridAtRange8[7] = {29.90, 59.79, 89.69, 119.59, 149.49, 179.38, 209.28};

SharedPointer<ZuGLGraph> makeGraph(const CRect& size = CRect(5, 120, 365, 360)) { return owned(new ZuGLGraph(size)); }

// One drag event at height y with the given buttons and modifiers.
CMouseEventResult moveTo(const SharedPointer<ZuGLGraph>& graph, double y, int32_t buttons = kLButton) {
    CPoint where(100, y);
    return graph->onMouseMoved(where, CButtonState(buttons));
}

// Drags up (negative) or down by `events` moves of one pixel, starting with a press at y 200.
void drag(const SharedPointer<ZuGLGraph>& graph, int events, int32_t buttons = kLButton) {
    CPoint start(100, 200);
    graph->onMouseDown(start, CButtonState(buttons));
    double y = 200;
    for (int i = 0; i < std::abs(events); ++i) moveTo(graph, y += events < 0 ? -1 : 1, buttons);
}

} // namespace

TEST(ZuGLGraph, IsAnOpenGLViewThatWantsIdleAtTheFastRateAndHasNoCopy) {
    CView::idleRate = 30;
    auto graph = makeGraph();
    EXPECT_EQ(CView::idleRate, 120u);
    EXPECT_TRUE(graph->isTypeOf("ZuGLGraph"));
    EXPECT_TRUE(graph->isTypeOf("COpenGLView"));
    EXPECT_TRUE(graph->isTypeOf("CView"));
    EXPECT_FALSE(graph->isTypeOf("CControl"));
    EXPECT_STREQ(graph->getClassName(), "ZuGLGraph");
    EXPECT_EQ(graph->newCopy(), nullptr);
    EXPECT_TRUE(graph->getTransparency());
    EXPECT_TRUE(graph->wantsIdle());
    EXPECT_TRUE(graph->wantsFocus());
    EXPECT_TRUE(graph->getMouseEnabled());
    EXPECT_EQ(graph->getDisplayRange(), 8.f);
    EXPECT_EQ(graph->getThresholdDb(), 0.f);
    EXPECT_EQ(graph->getKneeStartDb(), 0.f);
    for (int i = 0; i < ZuGLGraph::pointCount; ++i) {
        ASSERT_EQ(graph->getInputDb()[i], -120.f);
        ASSERT_EQ(graph->getOutputDb()[i], -120.f);
    }
}

TEST(ZuGLGraph, MapsHistoryPointsAndLevelsToPixels) {
    auto graph = makeGraph();
    EXPECT_EQ(ZuGLGraph::pointCount, 1500);
    const float spacing = 1.f / (1500 / 360.f);
    for (int i = 0; i < ZuGLGraph::pointCount; ++i) ASSERT_EQ(graph->getPointX(i), static_cast<float>(i) * spacing);
    EXPECT_EQ(graph->getPointX(0), 0.f);
    EXPECT_NEAR(graph->getPointX(1499), 359.76, 1e-3);

    // +6.02 dB at the top edge, 0 dB one doubling down, -42.1 dB at the bottom edge.
    EXPECT_NEAR(graph->levelY(static_cast<float>(kDbPerDoubling)), 0.0, 1e-5);
    EXPECT_EQ(graph->levelY(0.f), 30.0);
    EXPECT_NEAR(graph->levelY(static_cast<float>(-7 * kDbPerDoubling)), 240.0, 1e-4);
    EXPECT_NEAR(graph->levelY(-20.f), 30 + 20 / kDbPerDoubling * 30, 1e-9);
    EXPECT_GT(graph->levelY(-120.f), 600.0);
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(graph->getGridY(k), kGridAtRange8[k - 1], 0.01) << k;
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(graph->getGridY(k), graph->levelY(static_cast<float>(kDbPerDoubling - 6 * k)), 1e-5);
}

TEST(ZuGLGraph, CopiesBothHistoriesAndTheLinesFromTheEngine) {
    auto graph = makeGraph();
    auto engine = makeEngine(-18.f, -30.f, 4.f);
    // A distinct level at every step, some of them silent.
    for (int i = 0; i < 1500; ++i) {
        engine->inputHistory.push(i % 100 == 0 ? 0.0 : std::pow(10.0, -i / 500.0));
        engine->outputHistory.push(std::pow(10.0, -i / 250.0));
    }
    graph->updateFromEngine(*engine);
    EXPECT_TRUE(graph->isStale());
    for (int i = 0; i < 1500; ++i) {
        const float in = i % 100 == 0 ? -120.f : static_cast<float>(20.0 * std::log10(std::pow(10.0, -i / 500.0)));
        ASSERT_EQ(graph->getInputDb()[i], in) << i;
        const float out = static_cast<float>(20.0 * std::log10(std::pow(10.0, -i / 250.0)));
        ASSERT_EQ(graph->getOutputDb()[i], out < -120.f ? -120.f : out) << i;
    }
    EXPECT_EQ(graph->getThresholdDb(), 20.f * std::log10(engine->threshold()));
    EXPECT_EQ(graph->getKneeStartDb(), 20.f * std::log10(engine->kneeStart()));
    EXPECT_NEAR(graph->getKneeStartDb(), -30.f, 1e-4);

    // Gain reduction: input minus output in dB, in pixels below the top edge.
    const int i = 701;
    const float difference = graph->getInputDb()[i] - graph->getOutputDb()[i];
    EXPECT_EQ(graph->reductionDepth(i), (difference / kDbPerDoubling) * 30.0);
    EXPECT_NEAR(graph->reductionDepth(i), 701 / 500.0 * 20 / kDbPerDoubling * 30, 1e-3);
}

TEST(ZuGLGraph, AThresholdOrKneeStartOf0ShowsAtMinus120) {
    auto graph = makeGraph();
    auto engine = makeEngine(0.f, 0.f, 1.f);
    engine->setThresholdDb(-1e30);
    graph->updateFromEngine(*engine);
    EXPECT_EQ(graph->getThresholdDb(), -120.f);
    EXPECT_EQ(graph->getKneeStartDb(), -120.f);
    EXPECT_TRUE(std::isfinite(graph->levelY(graph->getThresholdDb())));
}

TEST(ZuGLGraph, RangeDragStepsOncePerEventBetween1And8) {
    auto graph = makeGraph();
    drag(graph, -40);
    EXPECT_NEAR(graph->getDisplayRange(), 4.f, 1e-4);
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(graph->getGridY(k), 2 * kGridAtRange8[k - 1], 0.02) << k;
    EXPECT_NEAR(graph->levelY(0.f), 60.0, 1e-3);

    // The distance moved does not matter: one event, one step.
    CPoint far(100, 0);
    EXPECT_EQ(graph->onMouseMoved(far, CButtonState(kLButton)), kMouseEventHandled);
    EXPECT_NEAR(graph->getDisplayRange(), 3.9f, 1e-4);

    drag(graph, -100);
    EXPECT_EQ(graph->getDisplayRange(), 1.f);
    EXPECT_NEAR(graph->getGridY(1), 239.18, 0.01);
    EXPECT_GT(graph->getGridY(2), 240.0);
    drag(graph, 200);
    EXPECT_EQ(graph->getDisplayRange(), 8.f);
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(graph->getGridY(k), kGridAtRange8[k - 1], 0.01) << k;

    // With Shift alone the steps are a hundredth; with Shift and Alt, a tenth again.
    drag(graph, -3, kLButton | kShift);
    EXPECT_NEAR(graph->getDisplayRange(), 7.97f, 1e-5);
    drag(graph, -1, kLButton | kShift | kAlt);
    EXPECT_NEAR(graph->getDisplayRange(), 7.87f, 1e-5);
}

TEST(ZuGLGraph, ControlResetsTheRangeAtAPressOrAMove) {
    auto graph = makeGraph();
    drag(graph, -30);
    ASSERT_NEAR(graph->getDisplayRange(), 5.f, 1e-4);
    CPoint same(100, 170);
    EXPECT_EQ(graph->onMouseDown(same, CButtonState(kLButton | kControl)), kMouseEventHandled);
    EXPECT_EQ(graph->getDisplayRange(), 8.f);
    EXPECT_NEAR(graph->getGridY(1), kGridAtRange8[0], 0.01);

    drag(graph, -30);
    EXPECT_EQ(moveTo(graph, 100, kLButton | kControl), kMouseEventHandled);
    EXPECT_EQ(graph->getDisplayRange(), 8.f);
}

TEST(ZuGLGraph, OnlyTheLeftButtonAloneDragsAndAPressOrMoveAtTheSameHeightChangesNothing) {
    auto graph = makeGraph();
    CPoint where(100, 50);
    for (int32_t buttons : std::initializer_list<int32_t>{0, kRButton, kMButton, kLButton | kRButton, kLButton | kMButton, kRButton | kControl}) {
        EXPECT_EQ(graph->onMouseDown(where, CButtonState(buttons)), kMouseEventNotHandled) << buttons;
        EXPECT_EQ(moveTo(graph, 10, buttons), kMouseEventNotHandled) << buttons;
        EXPECT_EQ(moveTo(graph, 300, buttons), kMouseEventNotHandled) << buttons;
        EXPECT_EQ(graph->getDisplayRange(), 8.f) << buttons;
    }
    drag(graph, -5);
    const float range = graph->getDisplayRange();
    // A press stores its height: no step, even far from the last event.
    CPoint press(100, 10);
    EXPECT_EQ(graph->onMouseDown(press, CButtonState(kLButton)), kMouseEventHandled);
    EXPECT_EQ(graph->getDisplayRange(), range);
    EXPECT_EQ(moveTo(graph, 10), kMouseEventHandled);
    EXPECT_EQ(moveTo(graph, 10, kLButton | kShift), kMouseEventHandled);
    EXPECT_EQ(graph->getDisplayRange(), range);
    // A sideways move is no step either.
    CPoint sideways(300, 10);
    graph->onMouseMoved(sideways, CButtonState(kLButton));
    EXPECT_EQ(graph->getDisplayRange(), range);
    EXPECT_EQ(graph->onMouseUp(sideways, CButtonState(kLButton)), kMouseEventHandled);
    EXPECT_EQ(graph->getDisplayRange(), range);
}

TEST(ZuGLGraph, AnEmptyRectangleGivesFiniteGeometryAndNoDrawing) {
    for (const CRect& size : {CRect(10, 10, 10, 100), CRect(10, 10, 100, 10), CRect(0, 0, 0, 0)}) {
        auto graph = makeGraph(size);
        for (int i = 0; i < ZuGLGraph::pointCount; ++i) ASSERT_TRUE(std::isfinite(graph->getPointX(i)));
        for (int k = 1; k <= 7; ++k) EXPECT_TRUE(std::isfinite(graph->getGridY(k)));
        drag(graph, -10);
        for (int k = 1; k <= 7; ++k) EXPECT_TRUE(std::isfinite(graph->getGridY(k)));
        graph->setDirty(true);
        graph->draw(nullptr);
        EXPECT_TRUE(graph->isDirty());
    }
}

TEST(ZuGLGraph, WithoutASurfaceADrawingPassDoesNothing) {
    auto graph = makeGraph();
    graph->setDirty(true);
    graph->draw(nullptr);
    graph->onIdle();
    EXPECT_TRUE(graph->isDirty());

    // In a frame without a window no surface is made.
    auto* frame = new CFrame(CRect(0, 0, 550, 375), nullptr, nullptr);
    auto* attached = new ZuGLGraph(CRect(5, 120, 365, 360));
    frame->addView(attached);
    EXPECT_EQ(attached->getPlatformOpenGLView(), nullptr);
    attached->draw(nullptr);
    EXPECT_TRUE(attached->isDirty());
    frame->forget();
}
