#pragma once
// A minimal host for tests: creates instances through the exported entry point and records
// every call the plug-in makes back.
#include <mutex>
#include <vector>

#include "vst2/ZuVstCore.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

class TestHost {
public:
    TestHost() { reset(); }

    static void reset() {
        std::lock_guard<std::mutex> guard(mutex);
        calls.clear();
        versionAnswer = 2400;
    }
    static std::vector<HostCall> recorded() {
        std::lock_guard<std::mutex> guard(mutex);
        return calls;
    }
    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                          float opt) {
        std::lock_guard<std::mutex> guard(mutex);
        calls.push_back({opcode, index, value, opt});
        return opcode == audioMasterVersion ? versionAnswer : 0;
    }

    static inline std::mutex mutex;
    static inline std::vector<HostCall> calls;
    static inline VstIntPtr versionAnswer = 2400;
};

// One plug-in instance, closed through effClose when the test ends.
class Instance {
public:
    Instance() : effect(VSTPluginMain(TestHost::callback)) {}
    ~Instance() {
        if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    void set(VstInt32 index, float value) { effect->setParameter(effect, index, value); }
    float get(VstInt32 index) { return effect->getParameter(effect, index); }
    ZuVstCore& core() { return *static_cast<ZuVstCore*>(effect->object); }
    tarn::CompressorEngine& engine() { return core().getEngine(); }

    // Processes one stereo block in place or between separate buffers.
    template <typename Sample> void process(Sample* left, Sample* right, Sample* outLeft, Sample* outRight, int frames) {
        Sample* inputs[2] = {left, right};
        Sample* outputs[2] = {outLeft, outRight};
        if constexpr (sizeof(Sample) == sizeof(float))
            effect->processReplacing(effect, inputs, outputs, frames);
        else
            effect->processDoubleReplacing(effect, inputs, outputs, frames);
    }

    AEffect* effect;
};
