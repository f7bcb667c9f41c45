#include "gui/vst2/AudioEffect.h"

#include <cmath>
#include <cstring>

namespace {

// The record's function pointers: each finds the instance in the record and forwards.
// Nothing may unwind into the host, which calls these as C functions: a failure (an
// allocation, say) answers 0 or does nothing.
AudioEffect* instanceOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

VstIntPtr VSTCALLBACK dispatchEffect(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                     float opt) {
    AudioEffect* effect = instanceOf(e);
    if (!effect) return 0;
    VstIntPtr answer = 0;
    try {
        answer = effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
    }
    if (opcode == effClose) {
        delete effect;
        return 1;
    }
    return answer;
}

// The deprecated accumulating process call: does nothing.
void VSTCALLBACK processEffect(AEffect*, float**, float**, VstInt32) {}

void VSTCALLBACK processReplacingEffect(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
    try {
        if (AudioEffect* effect = instanceOf(e)) effect->processReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void VSTCALLBACK processDoubleReplacingEffect(AEffect* e, double** inputs, double** outputs, VstInt32 sampleFrames) {
    try {
        if (AudioEffect* effect = instanceOf(e)) effect->processDoubleReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void VSTCALLBACK setParameterEffect(AEffect* e, VstInt32 index, float value) {
    try {
        if (AudioEffect* effect = instanceOf(e)) effect->setParameter(index, value);
    } catch (...) {
    }
}

float VSTCALLBACK getParameterEffect(AEffect* e, VstInt32 index) {
    try {
        AudioEffect* effect = instanceOf(e);
        return effect ? effect->getParameter(index) : 0.0f;
    } catch (...) {
        return 0.0f;
    }
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffect;
    cEffect.process = processEffect;
    cEffect.setParameter = setParameterEffect;
    cEffect.getParameter = getParameterEffect;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEffect;
    cEffect.processDoubleReplacing = processDoubleReplacingEffect;
}

AudioEffect::~AudioEffect() = default;

void AudioEffect::setEditor(AEffEditor* newEditor) {
    if (editor.get() != newEditor) editor.reset(newEditor);
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setSampleRate(float rate) {
    if (std::isfinite(rate) && rate > 0.0f) sampleRate.store(rate, std::memory_order_relaxed);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

bool AudioEffect::openEditor(void* parent) {
    try {
        return editor->open(parent);
    } catch (...) {
        // Whatever the editor built before the failure goes; it can be opened again later.
        editor->close();
        return false;
    }
}

void AudioEffect::masterIdle() { callHost(audioMasterIdle, 0, 0, nullptr, 0.0f); }

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName:
        if (text) setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text) getProgramName(text);
        return 0;
    case effGetParamLabel:
        if (text) getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        if (text) getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        if (text) getParameterName(index, text);
        return 0;
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
    case effMainsChanged:
        if (value) resume();
        else suspend();
        return 0;
    case effEditGetRect:
        if (!editor || !ptr) return 0;
        return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        // Without a parent window there is nothing to embed the editor in.
        if (!editor || !ptr) return 0;
        return openEditor(ptr) ? 1 : 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effIdentify: return CCONST('N', 'v', 'E', 'f');
    case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk: return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default: return 0;
    }
}
