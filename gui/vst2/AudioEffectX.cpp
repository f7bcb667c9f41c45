#include "gui/vst2/AudioEffectX.h"

#include <cmath>

namespace {

VstKeyCode keyCode(VstInt32 index, VstIntPtr value, float opt) {
    VstKeyCode key{};
    key.character = index;
    key.virt = static_cast<unsigned char>(value & 0xFF);
    // Modifiers travel in opt as a float; one that is no integer in range counts as none.
    const bool representable = std::isfinite(opt) && std::fabs(opt) < 2147483520.0f;
    key.modifier = representable ? static_cast<unsigned char>(static_cast<VstInt32>(opt) & 0xFF) : 0;
    return key;
}

} // namespace

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
    case effGetProgramNameIndexed:
        return text && getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
    case effGetPlugCategory: return getPlugCategory();
    case effGetEffectName: return text && getEffectName(text) ? 1 : 0;
    case effGetVendorString: return text && getVendorString(text) ? 1 : 0;
    case effGetProductString: return text && getProductString(text) ? 1 : 0;
    case effGetVendorVersion: return getVendorVersion();
    case effCanDo: return text ? canDo(text) : 0;
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (!editor) return 0;
        VstKeyCode key = keyCode(index, value, opt);
        const bool handled = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
        return handled ? 1 : 0;
    }
    case effSetEditKnobMode: return editor && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
    case effGetCurrentMidiProgram: return -1;
    case effGetSpeakerArrangement:
        // Both places receive a null arrangement: the host passes their addresses in value and ptr.
        if (void** input = reinterpret_cast<void**>(value)) *input = nullptr;
        if (void** output = static_cast<void**>(ptr)) *output = nullptr;
        return 0;
    case effSetTotalSampleToProcess: return value;
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    default:
        // Opcodes 25 to 79 not handled above are answered 0; everything else is the base's.
        if (opcode >= effProcessEvents && opcode <= effGetNumMidiOutputChannels) return 0;
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::resume() {
    char receive[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) || canDo(receive) == 1) wantEvents(1);
}

bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index, 0, nullptr, 0.0f) != 0; }

bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index, 0, nullptr, 0.0f) != 0; }

VstInt32 AudioEffectX::canHostDo(char* text) {
    // Hosts answer -1 or 1 for yes.
    return callHost(audioMasterCanDo, 0, 0, text, 0.0f) != 0 ? 1 : 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height, nullptr, 0.0f) != 0;
}

void AudioEffectX::wantEvents(VstInt32 filter) { callHost(audioMasterWantMidi, 0, filter, nullptr, 0.0f); }
