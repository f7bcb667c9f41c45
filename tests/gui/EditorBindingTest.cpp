#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <vector>

#include "Recorders.h"
#include "TestWindow.h"
#include "gui/vst2/AEffGUIEditor.h"
#include "gui/vst2/AudioEffectX.h"

namespace {

std::vector<VstInt32> hostCalls;
VstIntPtr canDoAnswer = 1;

VstIntPtr VSTCALLBACK recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
    hostCalls.push_back(opcode);
    if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit || opcode == audioMasterSizeWindow)
        hostCalls.push_back(index * 1000 + static_cast<VstInt32>(value));
    return opcode == audioMasterCanDo ? canDoAnswer : 0;
}

class Effect : public AudioEffectX {
public:
    Effect() : AudioEffectX(recordingHost, 1, 4) {}
};

// An editor with one knob of tag 2, and a frame whose idle it counts through a view.
class Editor : public AEffGUIEditor {
public:
    explicit Editor(Effect* effect) : AEffGUIEditor(effect) {
        rect.right = 200;
        rect.bottom = 100;
    }
    bool open(void* parent) override {
        AEffGUIEditor::open(parent);
        frame = new CFrame(CRect(0, 0, 200, 100), parent, this);
        knob = new CAnimKnob(CRect(0, 0, 100, 100), nullptr, 2, nullptr);
        view = new CountingView(CRect(100, 0, 200, 100), "keys");
        view->setWantsFocus(true);
        frame->addView(knob);
        frame->addView(view);
        return true;
    }
    void close() override {
        CFrame* old = frame;
        frame = nullptr;
        old->forget();
        AEffGUIEditor::close();
    }
    bool insideIdle() const { return inIdleStuff; }

    CAnimKnob* knob = nullptr;
    CountingView* view = nullptr;
};

} // namespace

TEST(EditorBinding, RegistersWithThePluginAndAnswersTheHostsEditorOpcodes) {
    hostCalls.clear();
    auto effect = std::make_unique<Effect>();
    auto* editor = new Editor(effect.get());
    AEffect* e = effect->getAeffect();
    EXPECT_TRUE(e->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 200);
    EXPECT_FALSE(editor->isOpen());
    // The knob mode is kept for every editor.
    EXPECT_EQ(e->dispatcher(e, effSetEditKnobMode, 0, kLinearMode, nullptr, 0), 1);
    Effect other;
    auto* otherEditor = new Editor(&other);
    EXPECT_EQ(otherEditor->getKnobMode(), kLinearMode);
    e->dispatcher(e, effSetEditKnobMode, 0, kCircularMode, nullptr, 0);
    EXPECT_EQ(otherEditor->getKnobMode(), kCircularMode);
    // Closed, keys and wheel find no frame.
    EXPECT_EQ(e->dispatcher(e, effEditKeyDown, 'a', 0, nullptr, 0), 0);
    EXPECT_FALSE(editor->onWheel(1.f));
    EXPECT_TRUE(hostCalls.empty());
}

TEST(EditorBinding, ForwardsEditsKeysWheelAndIdleBetweenHostAndFrame) {
    TestWindow window;
    hostCalls.clear();
    auto effect = std::make_unique<Effect>();
    auto* editor = new Editor(effect.get());
    AEffect* e = effect->getAeffect();
    ASSERT_EQ(e->dispatcher(e, effEditOpen, 0, 0, window.handle(), 0), 1);
    EXPECT_TRUE(editor->isOpen());
    e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0);

    // A knob gesture reaches the host as begin and end of an edit of its tag.
    CPoint where(50, 10);
    editor->getFrame()->onMouseDown(where, CButtonState(kLButton));
    editor->getFrame()->onMouseUp(where, CButtonState(kLButton));
    EXPECT_EQ(hostCalls, (std::vector<VstInt32>{audioMasterBeginEdit, 2000, audioMasterEndEdit, 2000}));

    // Keys go to the focus view, the wheel to the view under the pointer.
    EXPECT_EQ(e->dispatcher(e, effEditKeyDown, 'x', VKEY_UP, nullptr, MODIFIER_SHIFT), 0);
    CPoint focus(150, 50);
    editor->getFrame()->onMouseDown(focus, CButtonState(kLButton));
    editor->getFrame()->onMouseUp(focus, CButtonState(kLButton));
    EXPECT_EQ(e->dispatcher(e, effEditKeyDown, 'x', VKEY_UP, nullptr, MODIFIER_SHIFT), 1);
    ASSERT_EQ(editor->view->keys.size(), 1u);
    EXPECT_EQ(editor->view->keys[0].character, 'x');
    EXPECT_EQ(editor->view->keys[0].virt, VKEY_UP);
    EXPECT_EQ(editor->view->keys[0].modifier, MODIFIER_SHIFT);
    const Window frameWindow = window.children().front();
    XWarpPointer(window.display(), None, frameWindow, 0, 0, 0, 0, 150, 50);
    XSync(window.display(), False);
    EXPECT_TRUE(editor->onWheel(-1.f));
    EXPECT_FLOAT_EQ(editor->view->wheel, -1.f);

    // While the host runs its idle for the editor, the editor's idle leaves the frame alone.
    hostCalls.clear();
    editor->doIdleStuff();
    EXPECT_EQ(hostCalls, std::vector<VstInt32>{audioMasterIdle});
    EXPECT_FALSE(editor->insideIdle());

    // A size change asks the host first.
    hostCalls.clear();
    EXPECT_TRUE(editor->getFrame()->setSize(300, 150));
    EXPECT_EQ(hostCalls, (std::vector<VstInt32>{audioMasterCanDo, audioMasterSizeWindow, 300150}));

    e->dispatcher(e, effEditClose, 0, 0, nullptr, 0);
    EXPECT_FALSE(editor->isOpen());
    EXPECT_TRUE(window.children().empty());
}

TEST(EditorBinding, PluginClosedWithTheEditorOpenTakesTheWindowAlong) {
    TestWindow window;
    auto effect = std::make_unique<Effect>();
    new Editor(effect.get());
    AEffect* e = effect->getAeffect();
    ASSERT_EQ(e->dispatcher(e, effEditOpen, 0, 0, window.handle(), 0), 1);
    EXPECT_EQ(window.children().size(), 1u);
    effect.reset();
    EXPECT_TRUE(window.children().empty());
}
