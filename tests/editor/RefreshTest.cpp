#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "EditorHost.h"
#include "tests/WaitUntil.h"
#include "views/ZuGLGraph.h"
#include "views/ZuMeter.h"

using namespace VSTGUI;

namespace {

template <typename Sample> void processBlock(EditorHost& host) {
    std::vector<Sample> left(64, Sample(0.5)), right(64, Sample(0.5));
    Sample* io[2] = {left.data(), right.data()};
    if constexpr (sizeof(Sample) == sizeof(float))
        host.effect->processReplacing(host.effect, io, io, 64);
    else
        host.effect->processDoubleReplacing(host.effect, io, io, 64);
}

// Moves the graph's range by one drag step: up (-1) or down (+1).
void dragGraph(ZuGLGraph* graph, int direction, CPoint& at) {
    CPoint next(at.x, at.y + direction);
    graph->onMouseMoved(next, CButtonState(kLButton));
    at = next;
}

double labelYAt(double range, int k) { return 6.0 * k / (20 * std::log10(2.0)) * (240.0 / range); }

} // namespace

TEST(EditorRefresh, PrecisionLabelShowsTheLatestBlocksPrecisionEverySixthRefresh) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    processBlock<float>(host);
    host.idle(5);
    EXPECT_EQ(host.gui().getIoLabel()->getText(), "");
    host.idle();
    EXPECT_EQ(host.gui().getIoLabel()->getText(), "I/O 32bit");
    processBlock<double>(host);
    int refreshes = 0;
    while (host.gui().getIoLabel()->getText() != "I/O 64bit" && refreshes < 10) {
        host.idle();
        ++refreshes;
    }
    EXPECT_LE(refreshes, 6);
    processBlock<float>(host);
    host.idle(6);
    EXPECT_EQ(host.gui().getIoLabel()->getText(), "I/O 32bit");
}

TEST(EditorRefresh, ScaleFollowsTheGraphsRangeOnlyByMoreThanATenth) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    ZuGLGraph* graph = host.gui().getGraph();
    ZuMeter* meter = host.gui().getMeter();
    CPoint at(100, 100);
    graph->onMouseDown(at, CButtonState(kLButton));

    dragGraph(graph, -1, at);
    ASSERT_FLOAT_EQ(graph->getDisplayRange(), 7.9f);
    host.idle();
    EXPECT_NEAR(meter->getLabelY(1), labelYAt(8, 1), 1e-9);
    dragGraph(graph, -1, at);
    host.idle();
    EXPECT_NEAR(meter->getLabelY(1), labelYAt(7.8f, 1), 1e-9);
    EXPECT_NEAR(meter->getLabelY(7), labelYAt(7.8f, 7), 1e-9);

    for (int i = 0; i < 100; ++i) dragGraph(graph, -1, at);
    ASSERT_FLOAT_EQ(graph->getDisplayRange(), 1.f);
    host.idle();
    EXPECT_NEAR(meter->getLabelY(1), labelYAt(1, 1), 1e-9);
    dragGraph(graph, +1, at);
    host.idle();
    EXPECT_NEAR(meter->getLabelY(1), labelYAt(1.1f, 1), 1e-9);
}

TEST(EditorRefresh, WithoutAnEngineIdleTouchesNeitherTheLockNorTheViews) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    processBlock<float>(host);
    host.gui().setEngine(nullptr);
    // Another thread holds the engine lock until told to let go, or for ten seconds: idle calls
    // that took the lock would wait until then.
    tarn::test::Signal held, release;
    std::atomic<bool> timedOut{false};
    std::thread holder([&] {
        tarn::LockGuard guard(host.core().getEngineLock());
        held.raise();
        timedOut = !release.wait(std::chrono::seconds(10));
    });
    const bool holding = held.wait();
    if (holding) host.idle(12);
    release.raise();
    holder.join();
    ASSERT_TRUE(holding);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(host.gui().getIoLabel()->getText(), "");
    host.gui().setEngine(&host.core().getEngine());
}

TEST(EditorRefresh, IdleWhileClosedPacesButTouchesNoView) {
    EditorHost host;
    ASSERT_TRUE(host.open());
    host.close();
    host.idle(8);
    ASSERT_TRUE(host.open());
    // The count ran on while closed, so the label may come early, but never before a refresh.
    EXPECT_EQ(host.gui().getIoLabel()->getText(), "");
    EXPECT_GT(host.gui().getPacer().frameStart, 0.0);
}
