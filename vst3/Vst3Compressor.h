#pragma once
#include <atomic>
#include <memory>

#include "dsp/CompressorEngine.h"
#include "dsp/ParameterTable.h"
#include "editor/EditorClient.h"
#include "platform/Lock.h"
#include "gui/vst3/Controller.h"

class ZuVstGui;

namespace tarn::vst3 {

class Vst3EditorView;

// The VST 3 plug-in: one object that is the component, the audio processor and the edit
// controller, as hosts accept for a plug-in without a separate controller class (they ask
// the component for IEditController first). One stereo bus each way, both sample sizes, the
// seven controls as parameters 0 to 6 in normalised values. Owns the engine, its lock and the
// editor, which the view shows.
// Threads: process on the host's audio thread; parameter values are atomics that any thread
// reads; everything else on the host's user-interface thread.
class Vst3Compressor final : public IComponent, public IAudioProcessor, public IEditController, public EditorClient {
public:
    // Starts with one reference. Throws std::bad_alloc.
    Vst3Compressor();

    static constexpr Uid kClassId = makeUid(0x7461726E, 0x436F6D70, 0x56535433, 0x77793632);

    tresult TARN_VST3_API queryInterface(const TUID iid, void** obj) override;
    std::uint32_t TARN_VST3_API addRef() override;
    std::uint32_t TARN_VST3_API release() override;

    // Shared by the component and the controller: a host may call them on either, or on both.
    tresult TARN_VST3_API initialize(FUnknown* context) override;
    tresult TARN_VST3_API terminate() override;
    // The component's state, which the controller's state is as well: the seven values in the
    // form StateFormat.h describes. A state that does not read whole keeps the current values.
    tresult TARN_VST3_API setState(IBStream* state) override;
    tresult TARN_VST3_API getState(IBStream* state) override;

    tresult TARN_VST3_API getControllerClassId(TUID classId) override;
    tresult TARN_VST3_API setIoMode(std::int32_t mode) override;
    std::int32_t TARN_VST3_API getBusCount(std::int32_t type, std::int32_t dir) override;
    tresult TARN_VST3_API getBusInfo(std::int32_t type, std::int32_t dir, std::int32_t index, BusInfo& bus) override;
    tresult TARN_VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
    tresult TARN_VST3_API activateBus(std::int32_t type, std::int32_t dir, std::int32_t index, TBool state) override;
    tresult TARN_VST3_API setActive(TBool state) override;

    tresult TARN_VST3_API setBusArrangements(SpeakerArrangement* inputs, std::int32_t numIns,
                                             SpeakerArrangement* outputs, std::int32_t numOuts) override;
    tresult TARN_VST3_API getBusArrangement(std::int32_t dir, std::int32_t index, SpeakerArrangement& arr) override;
    tresult TARN_VST3_API canProcessSampleSize(std::int32_t symbolicSampleSize) override;
    std::uint32_t TARN_VST3_API getLatencySamples() override { return 0; }
    tresult TARN_VST3_API setupProcessing(ProcessSetup& setup) override;
    tresult TARN_VST3_API setProcessing(TBool state) override;
    // Applies the host's parameter points at their sample offsets, splitting the block there.
    // Allocates nothing; waits only on the engine lock.
    tresult TARN_VST3_API process(ProcessData& data) override;
    std::uint32_t TARN_VST3_API getTailSamples() override { return 0; }

    tresult TARN_VST3_API setComponentState(IBStream* state) override;
    std::int32_t TARN_VST3_API getParameterCount() override { return kNumControls; }
    tresult TARN_VST3_API getParameterInfo(std::int32_t paramIndex, ParameterInfo& info) override;
    tresult TARN_VST3_API getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) override;
    tresult TARN_VST3_API getParamValueByString(ParamID id, char16* string, ParamValue& valueNormalized) override;
    ParamValue TARN_VST3_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
    ParamValue TARN_VST3_API plainParamToNormalized(ParamID id, ParamValue plainValue) override;
    ParamValue TARN_VST3_API getParamNormalized(ParamID id) override;
    tresult TARN_VST3_API setParamNormalized(ParamID id, ParamValue value) override;
    tresult TARN_VST3_API setComponentHandler(IComponentHandler* handler) override;
    IPlugView* TARN_VST3_API createView(FIDString name) override;

    // The editor's side: knobs reach the host as begin, perform and end edit.
    float getParameter(std::int32_t index) override;
    void setParameterAutomated(std::int32_t index, float value) override;
    bool beginEdit(std::int32_t index) override;
    bool endEdit(std::int32_t index) override;
    bool resizeEditor(std::int32_t width, std::int32_t height) override;

    // For the view: the editor, and whether a view shows it now.
    ZuVstGui& editor() { return *gui; }
    // The view that shows the editor, or null; the host's user-interface thread.
    Vst3EditorView* shownView = nullptr;
    // The host context given to initialize (on Linux the run loop may be asked of it).
    FUnknown* hostContext() const { return context; }
    std::atomic<bool> viewOpen{false};

private:
    ~Vst3Compressor();
    // Stores a value and hands it to the engine and the editor. Any thread; no lock.
    void applyValue(int index, float value);
    template <typename Sample>
    void processRange(Lock::FastSide& side, Sample** in, Sample** out, std::int32_t start, std::int32_t end);

    std::atomic<std::uint32_t> references{1};
    std::unique_ptr<CompressorEngine> engine;
    Lock engineLock;
    std::unique_ptr<ZuVstGui> gui;
    std::atomic<float> values[kNumControls];
    float sampleRate = 44100.0f;
    std::int32_t sampleSize = kSample32;
    FUnknown* context = nullptr;
    IComponentHandler* handler = nullptr;
};

} // namespace tarn::vst3
