#pragma once
// The VST 3 audio side: the component with its buses and state, the audio processor with its
// process data, and the host's parameter-change queues. Matches VST SDK 3.7.14. Records have
// their members' natural alignment on the 64-bit platforms we build for.
#include <cstddef>

#include "gui/vst3/Base.h"

namespace tarn::vst3 {

using ParamID = std::uint32_t;
using ParamValue = double;
using SpeakerArrangement = std::uint64_t;
using String128 = char16[128];

enum MediaType : std::int32_t { kAudio = 0, kEvent = 1 };
enum BusDirection : std::int32_t { kInput = 0, kOutput = 1 };
enum BusType : std::int32_t { kMain = 0, kAux = 1 };
enum SymbolicSampleSize : std::int32_t { kSample32 = 0, kSample64 = 1 };
enum ProcessMode : std::int32_t { kRealtime = 0, kPrefetch = 1, kOffline = 2 };

constexpr SpeakerArrangement kSpeakerL = 1 << 0;
constexpr SpeakerArrangement kSpeakerR = 1 << 1;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;

struct BusInfo {
    static constexpr std::uint32_t kDefaultActive = 1 << 0;
    std::int32_t mediaType;
    std::int32_t direction;
    std::int32_t channelCount;
    String128 name;
    std::int32_t busType;
    std::uint32_t flags;
};

struct RoutingInfo {
    std::int32_t mediaType;
    std::int32_t busIndex;
    std::int32_t channel;
};

struct ProcessSetup {
    std::int32_t processMode;
    std::int32_t symbolicSampleSize;
    std::int32_t maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    std::int32_t numChannels;
    std::uint64_t silenceFlags;
    union {
        float** channelBuffers32;
        double** channelBuffers64;
    };
};

class IParameterChanges;
class IEventList;
struct ProcessContext;

struct ProcessData {
    std::int32_t processMode;
    std::int32_t symbolicSampleSize;
    std::int32_t numSamples;
    std::int32_t numInputs;
    std::int32_t numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

static_assert(sizeof(void*) != 8 || (sizeof(ProcessSetup) == 24 && sizeof(AudioBusBuffers) == 24 &&
                                     offsetof(ProcessData, inputs) == 24 && sizeof(ProcessData) == 80),
              "VST 3 process records");

class IComponent : public IPluginBase {
public:
    virtual tresult TARN_VST3_API getControllerClassId(TUID classId) = 0;
    virtual tresult TARN_VST3_API setIoMode(std::int32_t mode) = 0;
    virtual std::int32_t TARN_VST3_API getBusCount(std::int32_t type, std::int32_t dir) = 0;
    virtual tresult TARN_VST3_API getBusInfo(std::int32_t type, std::int32_t dir, std::int32_t index, BusInfo& bus) = 0;
    virtual tresult TARN_VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult TARN_VST3_API activateBus(std::int32_t type, std::int32_t dir, std::int32_t index, TBool state) = 0;
    virtual tresult TARN_VST3_API setActive(TBool state) = 0;
    virtual tresult TARN_VST3_API setState(IBStream* state) = 0;
    virtual tresult TARN_VST3_API getState(IBStream* state) = 0;
    static constexpr Uid iid = makeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);

protected:
    ~IComponent() = default;
};

class IAudioProcessor : public FUnknown {
public:
    virtual tresult TARN_VST3_API setBusArrangements(SpeakerArrangement* inputs, std::int32_t numIns,
                                                     SpeakerArrangement* outputs, std::int32_t numOuts) = 0;
    virtual tresult TARN_VST3_API getBusArrangement(std::int32_t dir, std::int32_t index, SpeakerArrangement& arr) = 0;
    virtual tresult TARN_VST3_API canProcessSampleSize(std::int32_t symbolicSampleSize) = 0;
    virtual std::uint32_t TARN_VST3_API getLatencySamples() = 0;
    virtual tresult TARN_VST3_API setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult TARN_VST3_API setProcessing(TBool state) = 0;
    virtual tresult TARN_VST3_API process(ProcessData& data) = 0;
    virtual std::uint32_t TARN_VST3_API getTailSamples() = 0;
    static constexpr Uid iid = makeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);

protected:
    ~IAudioProcessor() = default;
};

// One parameter's changes within a block: points of sample offset and normalised value.
class IParamValueQueue : public FUnknown {
public:
    virtual ParamID TARN_VST3_API getParameterId() = 0;
    virtual std::int32_t TARN_VST3_API getPointCount() = 0;
    virtual tresult TARN_VST3_API getPoint(std::int32_t index, std::int32_t& sampleOffset, ParamValue& value) = 0;
    virtual tresult TARN_VST3_API addPoint(std::int32_t sampleOffset, ParamValue value, std::int32_t& index) = 0;
    static constexpr Uid iid = makeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);

protected:
    ~IParamValueQueue() = default;
};

class IParameterChanges : public FUnknown {
public:
    virtual std::int32_t TARN_VST3_API getParameterCount() = 0;
    virtual IParamValueQueue* TARN_VST3_API getParameterData(std::int32_t index) = 0;
    virtual IParamValueQueue* TARN_VST3_API addParameterData(const ParamID& id, std::int32_t& index) = 0;
    static constexpr Uid iid = makeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);

protected:
    ~IParameterChanges() = default;
};

} // namespace tarn::vst3
