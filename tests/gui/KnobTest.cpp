#include <gtest/gtest.h>

#include "Recorders.h"

namespace {

// A 100 x 100 knob centred on (150, 150) in a frame without a window.
class KnobTest : public ::testing::Test {
protected:
    KnobTest() : listener(editor.log) {
        frame = new CFrame(CRect(0, 0, 300, 300), nullptr, &editor);
        knob = new CAnimKnob(CRect(100, 100, 200, 200), &listener, 0, nullptr);
        frame->addView(knob);
    }
    ~KnobTest() override { frame->forget(); }

    float press(CCoord x, CCoord y, int32_t buttons = kLButton) {
        CPoint where(x, y);
        frame->onMouseDown(where, CButtonState(buttons));
        return knob->getValue();
    }
    float move(CCoord x, CCoord y, int32_t buttons = kLButton) {
        CPoint where(x, y);
        frame->onMouseMoved(where, CButtonState(buttons));
        return knob->getValue();
    }
    void release() {
        CPoint where;
        frame->onMouseUp(where, CButtonState(kLButton));
    }

    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame;
    CAnimKnob* knob;
};

} // namespace

TEST_F(KnobTest, CircularModeFollowsThePointersAngleOverA270DegreeSweep) {
    EXPECT_FLOAT_EQ(press(150, 110), 0.5f);             // top
    EXPECT_FLOAT_EQ(move(190, 150), 0.5f + 1.f / 3.f);  // right: 90 degrees further
    EXPECT_FLOAT_EQ(move(150, 110), 0.5f);              // back over the top
    EXPECT_FLOAT_EQ(move(110, 150), 1.f / 6.f);         // left
    EXPECT_NEAR(move(110, 190), 0.f, 1e-6);             // lower left: start of the sweep
    release();
    EXPECT_NEAR(press(190, 190), 1.f, 1e-6);            // lower right: end of the sweep
    release();
}

TEST_F(KnobTest, CircularModeDoesNotJumpAcrossTheGapAtTheBottom) {
    press(190, 190);
    EXPECT_FLOAT_EQ(move(150, 195), 1.f);
    // Over to the lower left, the value stays at the end it came from.
    EXPECT_FLOAT_EQ(move(105, 190), 1.f);
    release();
}

TEST_F(KnobTest, RelativeCircularModeMovesByTheChangeOfAngle) {
    editor.knobMode = kRelativCircularMode;
    knob->setValue(0.2f);
    EXPECT_FLOAT_EQ(press(150, 110), 0.2f);
    EXPECT_NEAR(move(190, 150), 0.2f + 1.f / 3.f, 1e-6);
    release();
}

TEST_F(KnobTest, LinearModeSpansTheRangeOver200PixelsAndShiftZooms) {
    editor.knobMode = kLinearMode;
    knob->setZoomFactor(10.f);
    knob->setValue(0.5f);
    EXPECT_FLOAT_EQ(press(150, 150), 0.5f);
    EXPECT_FLOAT_EQ(move(150, 110), 0.7f);  // up 40
    EXPECT_FLOAT_EQ(move(170, 110), 0.8f);  // and right 20
    EXPECT_FLOAT_EQ(move(150, 350), 0.f);
    release();

    knob->setValue(0.5f);
    press(150, 150, kLButton | kShift);
    EXPECT_FLOAT_EQ(move(150, 110, kLButton | kShift), 0.52f);
    // Shift let go mid-drag: from here on at the normal scale.
    EXPECT_FLOAT_EQ(move(150, 90, kLButton), 0.62f);
    release();
}

TEST_F(KnobTest, AltTakesTheOtherWayForOneDrag) {
    knob->setValue(0.5f);
    // Circular mode with Alt drags in a line: a press at the left keeps the value.
    EXPECT_FLOAT_EQ(press(110, 150, kLButton | kAlt), 0.5f);
    release();
    EXPECT_FLOAT_EQ(press(110, 150), 1.f / 6.f);
    release();

    editor.knobMode = kLinearMode;
    EXPECT_FLOAT_EQ(press(190, 150, kLButton | kAlt), 0.5f + 1.f / 3.f);
    release();
}

TEST_F(KnobTest, FilmStripFrameFollowsTheValue) {
    auto* strip = new CBitmap(100, 100 * 100);
    auto* animKnob = new CAnimKnob(CRect(0, 0, 100, 100), nullptr, 1, strip);
    strip->forget();
    EXPECT_EQ(animKnob->getNumSubPixmaps(), 100);
    const std::pair<float, int32_t> cases[] = {{0.f, 0}, {0.5f, 49}, {0.999f, 98}, {1.f, 99}, {0.0102f, 1}, {0.0101f, 0}};
    for (const auto& [value, index] : cases) {
        animKnob->setValue(value);
        EXPECT_EQ(animKnob->getFrameIndex(), index) << value;
    }
    animKnob->forget();
}

TEST(FrameMouse, TopmostEnabledViewUnderThePointerKeepsTheDragUntilRelease) {
    auto* frame = new CFrame(CRect(0, 0, 300, 300), nullptr, nullptr);
    auto* below = new CountingView(CRect(0, 0, 200, 200), "below");
    auto* above = new CountingView(CRect(100, 100, 300, 300), "above");
    frame->addView(below);
    frame->addView(above);

    CPoint overlap(150, 150);
    frame->onMouseDown(overlap, CButtonState(kLButton | kShift));
    EXPECT_EQ(above->presses, 1);
    EXPECT_EQ(above->lastButtons, CButtonState(kLButton | kShift));
    EXPECT_EQ(below->presses, 0);
    // Moves outside the view, over the other one, still go to the pressed view.
    CPoint outside(20, 20);
    frame->onMouseMoved(outside, CButtonState(kLButton));
    EXPECT_EQ(above->moves, 1);
    EXPECT_EQ(above->lastMove, CPoint(20, 20));
    frame->onMouseUp(outside, CButtonState(kLButton));
    EXPECT_EQ(above->releases, 1);
    // After the release moves go to the view under the pointer again.
    frame->onMouseMoved(outside, CButtonState());
    EXPECT_EQ(below->moves, 1);

    above->setMouseEnabled(false);
    frame->onMouseDown(overlap, CButtonState(kLButton));
    EXPECT_EQ(below->presses, 1);
    frame->onMouseUp(overlap, CButtonState(kLButton));

    // A transparent view that does not take the press lets it through.
    above->setMouseEnabled(true);
    above->handlesMouse = false;
    above->setTransparency(true);
    frame->onMouseDown(overlap, CButtonState(kLButton));
    EXPECT_EQ(above->presses, 2);
    EXPECT_EQ(below->presses, 2);
    frame->forget();
}
