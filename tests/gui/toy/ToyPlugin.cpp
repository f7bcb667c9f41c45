// A toy plug-in with an editor for the vsthost editor test: one parameter at 1.0 and a
// pass-through; the editor shows a blue label, a knob from an embedded film strip (resource
// 900) whose drags automate the parameter, and an OpenGL view cleared to magenta.
#include <GL/gl.h>

#include <atomic>

#include "gui/vst2/AEffGUIEditor.h"
#include "gui/vstgui.h"
#include "gui/vst2/AudioEffectX.h"

using namespace VSTGUI;

namespace {

class MagentaView : public COpenGLView {
public:
    explicit MagentaView(const CRect& size) : COpenGLView(size) {}
    void drawOpenGL(const CRect&) override {
        glClearColor(1.f, 0.f, 1.f, 1.f);
        glClear(GL_COLOR_BUFFER_BIT);
        getPlatformOpenGLView()->swapBuffers();
    }
};

class ToyEditor : public AEffGUIEditor, public CControlListener {
public:
    explicit ToyEditor(AudioEffectX* effect) : AEffGUIEditor(effect) {
        rect.right = 240;
        rect.bottom = 120;
    }
    bool open(void* parent) override {
        AEffGUIEditor::open(parent);
        frame = new CFrame(CRect(0, 0, 240, 120), parent, this);
        auto* strip = new CBitmap(CResourceDescription(900));
        knob = new CAnimKnob(CRect(10, 10, 50, 50), this, 0, strip);
        strip->forget();
        knob->setValue(effect->getParameter(0));
        auto* label = new CTextLabel(CRect(60, 10, 160, 30), "toy", nullptr, 8);
        label->setBackColor(CColor(0, 0, 255, 255));
        frame->addView(knob);
        frame->addView(label);
        frame->addView(new MagentaView(CRect(170, 10, 230, 110)));
        return true;
    }
    void close() override {
        CFrame* old = frame;
        frame = nullptr;
        if (old) old->forget();
        AEffGUIEditor::close();
    }
    void setParameter(VstInt32 index, float value) override {
        if (index == 0 && frame) knob->setValue(value);
    }
    void valueChanged(CControl* control) override {
        static_cast<AudioEffectX*>(effect)->setParameterAutomated(control->getTag(), control->getValue());
    }

private:
    CAnimKnob* knob = nullptr;
};

class ToyPlugin : public AudioEffectX {
public:
    explicit ToyPlugin(audioMasterCallback master) : AudioEffectX(master, 1, 1) {
        setNumInputs(2);
        setNumOutputs(2);
        canProcessReplacing(true);
        editorOwned = new ToyEditor(this);
    }
    void setParameter(VstInt32 index, float value) override {
        if (index != 0) return;
        gain.store(value);
        if (editorOwned->isOpen()) editorOwned->setParameter(index, value);
    }
    float getParameter(VstInt32 index) override { return index == 0 ? gain.load() : 0.f; }
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override {
        const float g = gain.load();
        for (int c = 0; c < 2; ++c)
            for (VstInt32 i = 0; i < frames; ++i) outputs[c][i] = inputs[c][i] * g;
    }

private:
    std::atomic<float> gain{1.f};
    ToyEditor* editorOwned;
};

} // namespace

extern "C" TARN_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback master) {
    if (!master || master(nullptr, audioMasterVersion, 0, 0, nullptr, 0) == 0) return nullptr;
    return (new ToyPlugin(master))->getAeffect();
}
