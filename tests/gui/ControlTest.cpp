#include <gtest/gtest.h>

#include <cmath>

#include "Recorders.h"

namespace {

class ControlTest : public ::testing::Test {
protected:
    ControlTest() : listener(editor.log) {
        frame = new CFrame(CRect(0, 0, 200, 200), nullptr, &editor);
        knob = new CAnimKnob(CRect(10, 10, 66, 66), &listener, 3, nullptr);
        frame->addView(knob);
    }
    ~ControlTest() override { frame->forget(); }

    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame;
    CAnimKnob* knob;
};

} // namespace

TEST_F(ControlTest, ValueStaysWithinZeroToOneAndMarksTheViewDirtyOnAChange) {
    knob->setDirty(false);
    knob->setValue(0.4f);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.4f);
    EXPECT_TRUE(knob->isDirty());
    knob->setDirty(false);
    knob->setValue(0.4f);
    EXPECT_FALSE(knob->isDirty());
    knob->setValue(1.5f);
    EXPECT_EQ(knob->getValue(), 1.f);
    knob->setValue(-2.f);
    EXPECT_EQ(knob->getValue(), 0.f);
    knob->setValue(std::nanf(""));
    EXPECT_EQ(knob->getValue(), 0.f);
    // Values set by the program are not user changes.
    EXPECT_TRUE(editor.log.empty());
}

TEST_F(ControlTest, ControlClickRestoresTheDefaultInsideOneEdit) {
    knob->setDefaultValue(0.75f);
    knob->setValue(0.1f);
    CPoint where(38, 38);
    EXPECT_EQ(frame->onMouseDown(where, CButtonState(kLButton | kControl)),
              kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.75f);
    const std::vector<std::string> expected = {"begin 3", "changed 3 0.750000", "end 3"};
    EXPECT_EQ(editor.log, expected);
    EXPECT_FALSE(knob->isEditing());
}

TEST_F(ControlTest, ControlWithAnotherModifierOrButtonIsAnOrdinaryPress) {
    knob->setDefaultValue(0.75f);
    knob->setValue(0.1f);
    CPoint where(38, 38);
    frame->onMouseDown(where, CButtonState(kRButton | kControl));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.1f);
    EXPECT_TRUE(editor.log.empty());
    frame->onMouseDown(where, CButtonState(kLButton | kControl | kShift));
    frame->onMouseUp(where, CButtonState(kLButton));
    EXPECT_NE(knob->getValue(), 0.75f);
    EXPECT_EQ(editor.log.front(), "begin 3");
    EXPECT_EQ(editor.log.back(), "end 3");
}

TEST_F(ControlTest, GrabChangesAndReleaseComeInOrder) {
    editor.knobMode = kLinearMode;
    knob->setValue(0.5f);
    CPoint where(38, 38);
    frame->onMouseDown(where, CButtonState(kLButton));
    CPoint up(38, 18);
    frame->onMouseMoved(up, CButtonState(kLButton));
    frame->onMouseUp(up, CButtonState(kLButton));
    const std::vector<std::string> expected = {"begin 3", "changed 3 0.600000", "end 3"};
    EXPECT_EQ(editor.log, expected);
}

TEST_F(ControlTest, WheelMovesATenthPerNotchAsOneEdit) {
    knob->setValue(0.5f);
    EXPECT_TRUE(frame->onWheel(CPoint(38, 38), 1.f, CButtonState()));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    EXPECT_TRUE(frame->onWheel(CPoint(38, 38), -2.f, CButtonState()));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.4f);
    EXPECT_EQ(editor.log.size(), 6u);
    EXPECT_EQ(editor.log[0], "begin 3");
    EXPECT_EQ(editor.log[2], "end 3");
    // At an end of the range nothing changes and nothing is reported.
    knob->setValue(1.f);
    editor.log.clear();
    frame->onWheel(CPoint(38, 38), 1.f, CButtonState());
    EXPECT_TRUE(editor.log.empty());
}
