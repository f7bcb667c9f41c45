#pragma once
#include <atomic>
#include <memory>

#include "gui/vst2/AEffEditor.h"
#include "gui/vst2/aeffect.h"

// The root of the plug-in side: owns the effect record, turns the host's opcodes 0 to 24
// into virtual operations and wraps the calls back to the host.
// Threads: the dispatcher and the parameter operations may run on any host thread;
// processReplacing and processDoubleReplacing run on the audio thread.
// Exceptions: the operations may throw (std::bad_alloc); the record's callbacks catch
// everything and give the host a safe answer.
class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    // Rates that are not finite or not above 0 are ignored: the previous rate stays.
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    virtual void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}
    virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/, VstInt32 /*sampleFrames*/) {}
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { *name = '\0'; }
    virtual void getParameterLabel(VstInt32 /*index*/, char* label) { *label = '\0'; }
    virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { *text = '\0'; }
    virtual void getParameterName(VstInt32 /*index*/, char* text) { *text = '\0'; }
    virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
    virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) { return 0; }
    virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
    virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
    virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state) { setFlag(effFlagsCanDoubleReplacing, state); }
    virtual AEffect* getAeffect() { return &cEffect; }
    virtual float getSampleRate() { return sampleRate.load(std::memory_order_relaxed); }
    virtual void masterIdle();

    // Attaches the editor (owned from now on; a different earlier one is deleted) and sets or
    // clears effFlagsHasEditor.
    void setEditor(AEffEditor* newEditor);
    AEffEditor* getEditor() const { return editor.get(); }
    void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }

protected:
    void setFlag(VstInt32 flag, bool state) { cEffect.flags = state ? (cEffect.flags | flag) : (cEffect.flags & ~flag); }
    // Calls the host, or answers 0 without a host callback.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    // Opens the editor in parent; when its open throws, closes it and answers false.
    bool openEditor(void* parent);

    audioMasterCallback audioMaster;
    std::unique_ptr<AEffEditor> editor;
    // Written by the dispatcher's thread, read per frame by the audio thread.
    std::atomic<float> sampleRate{44100.0f};
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram = 0;
    AEffect cEffect;
};
