#pragma once
#include <atomic>
#include <memory>

#include "dsp/CompressorEngine.h"
#include "editor/EditorClient.h"
#include "platform/Lock.h"
#include "gui/vst2/AudioEffectX.h"

class ZuVstGui;

// The plug-in object: two inputs, two outputs, one program, nine parameters, both sample
// precisions. Owns the engine, the current parameter values, the engine lock and the editor,
// which edits it through EditorClient.
class ZuVstCore : public AudioEffectX, public EditorClient {
public:
    static constexpr VstInt32 kNumPrograms = 1;
    static constexpr VstInt32 kNumParams = 9;
    static constexpr int kProgramNameLength = 24;

    // Throws std::bad_alloc when an allocation fails; nothing is leaked then.
    explicit ZuVstCore(audioMasterCallback audioMaster);
    ~ZuVstCore() override;

    // Audio thread. Null buffers or a negative frame count make the block do nothing.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;

    // Any thread, without the engine lock. Indices outside 0 to 8 change nothing.
    void setParameter(VstInt32 index, float value) override;
    // Any thread. Answers 0 for indices outside 0 to 8.
    float getParameter(VstInt32 index) override;
    // The base's: sets the parameter, then reports it to the host.
    void setParameterAutomated(VstInt32 index, float value) override { AudioEffectX::setParameterAutomated(index, value); }
    bool beginEdit(VstInt32 index) override { return AudioEffectX::beginEdit(index); }
    bool endEdit(VstInt32 index) override { return AudioEffectX::endEdit(index); }
    // Through audioMasterSizeWindow, where the host can do it.
    bool resizeEditor(std::int32_t width, std::int32_t height) override;

    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstPlugCategory getPlugCategory() override;
    // The editor's scale from hosts that send it: index 'PreS', value 'AeCs' and the factor in
    // opt (PreSonus's published convention; some hosts send 'AeCs' as the index). Answers 1
    // when taken.
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // The editor's refresh reads the engine's display fields with the engine lock held.
    tarn::CompressorEngine& getEngine() { return *engine; }
    tarn::Lock& getEngineLock() { return engineLock; }

private:
    // Stores value as parameter index and sets the engine to agree with the value stored.
    void storeAndApply(VstInt32 index, float value);
    template <typename Sample>
    void processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames, bool io64Bit);

    VstInt32 programIndex = 0;
    char programNames[kNumPrograms][kProgramNameLength + 1] = {};
    float programValues[kNumPrograms][kNumParams] = {};
    std::unique_ptr<tarn::CompressorEngine> engine;
    std::unique_ptr<std::atomic<float>[]> paramValues;
    tarn::Lock engineLock;
    // The editor (owned by the base class), or null in builds without one.
    ZuVstGui* gui = nullptr;
};
