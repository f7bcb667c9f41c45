#include "gui/vst2/AEffGUIEditor.h"

#include "gui/CKnob.h"
#include "gui/vst2/AudioEffectX.h"

using namespace VSTGUI;

int32_t AEffGUIEditor::knobMode = kCircularMode;

namespace {

AudioEffectX* pluginOf(AudioEffect* effect) { return static_cast<AudioEffectX*>(effect); }

VSTGUI::VstKeyCode toolkitKey(const ::VstKeyCode& key) { return {key.character, key.virt, key.modifier}; }

} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffectX* effect) : AEffEditor(effect) {
    if (effect) effect->setEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() {
    // Destroyed while open (the plug-in closed before the editor): the frame goes too, and no
    // view is left to call back into this editor.
    if (frame) frame->forget();
}

bool AEffGUIEditor::getRect(ERect** ppRect) {
    if (!ppRect) return false;
    *ppRect = &rect;
    return true;
}

bool AEffGUIEditor::open(void* ptr) { return AEffEditor::open(ptr); }

void AEffGUIEditor::close() { AEffEditor::close(); }

void AEffGUIEditor::idle() {
    if (inIdleStuff) return;
    AEffEditor::idle();
    if (frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(::VstKeyCode& keyCode) {
    if (!frame) return false;
    VSTGUI::VstKeyCode key = toolkitKey(keyCode);
    return frame->onKeyDown(key) == 1;
}

bool AEffGUIEditor::onKeyUp(::VstKeyCode& keyCode) {
    if (!frame) return false;
    VSTGUI::VstKeyCode key = toolkitKey(keyCode);
    return frame->onKeyUp(key) == 1;
}

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) return false;
    CPoint where;
    if (!frame->getCurrentMouseLocation(where)) return false;
    return frame->onWheel(where, distance, frame->getCurrentMouseButtons());
}

bool AEffGUIEditor::setKnobMode(VstInt32 val) {
    knobMode = val;
    return true;
}

void AEffGUIEditor::doIdleStuff() {
    // While the host runs its idle for us, our own idle must not run the frame again.
    inIdleStuff = true;
    if (effect) effect->masterIdle();
    inIdleStuff = false;
}

void AEffGUIEditor::beginEdit(int32_t index) {
    if (effect) pluginOf(effect)->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
    if (effect) pluginOf(effect)->endEdit(index);
}

bool AEffGUIEditor::beforeSizeChange(const CRect& newSize, const CRect& /*oldSize*/) {
    if (!effect) return true;
    AudioEffectX* plugin = pluginOf(effect);
    char text[] = "sizeWindow";
    if (plugin->canHostDo(text) == 1)
        plugin->sizeWindow(static_cast<VstInt32>(newSize.getWidth()), static_cast<VstInt32>(newSize.getHeight()));
    return true;
}
