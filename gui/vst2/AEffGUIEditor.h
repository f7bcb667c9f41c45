#pragma once
#include "gui/CFrame.h"
#include "gui/VSTGUIEditorInterface.h"
#include "gui/vst2/AEffEditor.h"

class AudioEffectX;

// The toolkit's binding to a VST 2.4 editor: answers the host's editor opcodes for a
// frame-based editor. Subclasses build the frame in open and release it in close.
// Threads: the host's user-interface thread; setParameter may come from any thread.
class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface {
public:
    // Registers the editor with effect, which owns it from now on.
    explicit AEffGUIEditor(AudioEffectX* effect);
    ~AEffGUIEditor() override;

    // The plug-in's parameter changes, for the editor to show.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}

    bool getRect(ERect** ppRect) override;
    bool open(void* ptr) override;
    void close() override;
    // Runs the frame's idle unless the binding is inside its own idle processing.
    void idle() override;
    // The host's key record, handed to the frame as the toolkit's.
    bool onKeyDown(::VstKeyCode& keyCode) override;
    bool onKeyUp(::VstKeyCode& keyCode) override;
    // Turns the wheel under the mouse pointer.
    bool onWheel(float distance) override;
    // Stores the mode for the knobs of every editor; answers true.
    bool setKnobMode(VstInt32 val) override;

    void doIdleStuff() override;
    int32_t getKnobMode() const override { return knobMode; }
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    // Asks the host to resize its window when it can.
    bool beforeSizeChange(const VSTGUI::CRect& newSize, const VSTGUI::CRect& oldSize) override;

protected:
    ERect rect{};
    bool inIdleStuff = false;

private:
    static int32_t knobMode;
};
