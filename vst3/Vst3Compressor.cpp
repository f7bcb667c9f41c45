#include "vst3/Vst3Compressor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <locale>
#include <sstream>

#include "dsp/EngineMapping.h"
#include "dsp/StereoBlock.h"
#include "editor/ValueText.h"
#include "editor/ZuVstGui.h"
#include "vst3/StateFormat.h"
#include "vst3/Utf16.h"
#include "vst3/Vst3EditorView.h"

namespace tarn::vst3 {

namespace {

bool known(ParamID id) { return id < static_cast<ParamID>(kNumControls); }

const char* unitText(Unit unit) {
    switch (unit) {
    case Unit::Decibels: return "dB";
    case Unit::Ratio: return ":1";
    case Unit::Milliseconds: return "ms";
    }
    return "";
}

bool isStereo(std::int32_t type, std::int32_t dir, std::int32_t index) {
    return type == kAudio && (dir == kInput || dir == kOutput) && index == 0;
}

} // namespace

Vst3Compressor::Vst3Compressor() : engine(std::make_unique<CompressorEngine>()) {
    // Set up as the VST 2.4 plug-in is, so that both sound the same from the same values.
    engine->sampleRate = 44100.0f;
    engine->init();
    for (int i = 0; i < kNumControls; ++i) {
        values[i].store(defaultValue(i), std::memory_order_relaxed);
        applyParameter(*engine, i, defaultValue(i));
    }
    gui = std::make_unique<ZuVstGui>(*this);
    gui->setEngine(engine.get());
}

Vst3Compressor::~Vst3Compressor() {
    gui->setEngine(nullptr);
    gui->close();
}

tresult Vst3Compressor::queryInterface(const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (FUnknown::iid == iid || IComponent::iid == iid || IPluginBase::iid == iid)
        *obj = static_cast<IComponent*>(this);
    else if (IAudioProcessor::iid == iid)
        *obj = static_cast<IAudioProcessor*>(this);
    else if (IEditController::iid == iid)
        *obj = static_cast<IEditController*>(this);
    else
        return kNoInterface;
    addRef();
    return kResultOk;
}

std::uint32_t Vst3Compressor::addRef() { return references.fetch_add(1, std::memory_order_relaxed) + 1; }

std::uint32_t Vst3Compressor::release() {
    const std::uint32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
    // The host's last reference ends the object, as in every reference-counted interface.
    if (left == 0) delete this;
    return left;
}

tresult Vst3Compressor::initialize(FUnknown* hostContext) {
    // A host that treats the object as two calls this twice; the first context stays.
    if (!context) context = hostContext;
    return kResultOk;
}

tresult Vst3Compressor::terminate() {
    handler = nullptr;
    context = nullptr;
    return kResultOk;
}

tresult Vst3Compressor::setState(IBStream* state) {
    float read[kNumControls];
    if (!state || !readState(*state, read)) return kResultFalse;
    {
        CompressorEngine::SettingsGroup group(*engine);
        for (int i = 0; i < kNumControls; ++i) applyValue(i, read[i]);
    }
    if (handler) handler->restartComponent(kParamValuesChanged);
    return kResultOk;
}

tresult Vst3Compressor::getState(IBStream* state) {
    float current[kNumControls];
    for (int i = 0; i < kNumControls; ++i) current[i] = values[i].load(std::memory_order_relaxed);
    return state && writeState(*state, current) ? kResultOk : kResultFalse;
}

tresult Vst3Compressor::setComponentState(IBStream* /*state*/) {
    // The component's state is already this object's own.
    return kResultOk;
}

tresult Vst3Compressor::getControllerClassId(TUID /*classId*/) {
    // No controller class of its own: hosts then take this object's IEditController.
    return kResultFalse;
}

tresult Vst3Compressor::setIoMode(std::int32_t /*mode*/) { return kResultOk; }

std::int32_t Vst3Compressor::getBusCount(std::int32_t type, std::int32_t dir) {
    return type == kAudio && (dir == kInput || dir == kOutput) ? 1 : 0;
}

tresult Vst3Compressor::getBusInfo(std::int32_t type, std::int32_t dir, std::int32_t index, BusInfo& bus) {
    if (!isStereo(type, dir, index)) return kInvalidArgument;
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = 2;
    copyUtf16(bus.name, dir == kInput ? "Input" : "Output", 128);
    bus.busType = kMain;
    bus.flags = BusInfo::kDefaultActive;
    return kResultOk;
}

tresult Vst3Compressor::getRoutingInfo(RoutingInfo& /*inInfo*/, RoutingInfo& /*outInfo*/) { return kNotImplemented; }

tresult Vst3Compressor::activateBus(std::int32_t type, std::int32_t dir, std::int32_t index, TBool /*state*/) {
    return isStereo(type, dir, index) ? kResultOk : kInvalidArgument;
}

tresult Vst3Compressor::setActive(TBool state) {
    // Activation starts from silence, as a fresh instance does.
    if (state) {
        LockGuard guard(engineLock);
        engine->clearState();
    }
    return kResultOk;
}

tresult Vst3Compressor::setBusArrangements(SpeakerArrangement* inputs, std::int32_t numIns,
                                           SpeakerArrangement* outputs, std::int32_t numOuts) {
    const bool stereo = numIns == 1 && numOuts == 1 && inputs && outputs && inputs[0] == kStereo && outputs[0] == kStereo;
    return stereo ? kResultTrue : kResultFalse;
}

tresult Vst3Compressor::getBusArrangement(std::int32_t dir, std::int32_t index, SpeakerArrangement& arr) {
    if (!isStereo(kAudio, dir, index)) return kInvalidArgument;
    arr = kStereo;
    return kResultOk;
}

tresult Vst3Compressor::canProcessSampleSize(std::int32_t symbolicSampleSize) {
    return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

tresult Vst3Compressor::setupProcessing(ProcessSetup& setup) {
    if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) return kResultFalse;
    if (!(setup.sampleRate > 0.0) || !(setup.sampleRate < 1e7)) return kInvalidArgument;
    sampleSize = setup.symbolicSampleSize;
    sampleRate = static_cast<float>(setup.sampleRate);
    return kResultOk;
}

tresult Vst3Compressor::setProcessing(TBool /*state*/) { return kResultOk; }

void Vst3Compressor::applyValue(int index, float value) {
    if (std::isnan(value)) return;
    value = std::clamp(value, 0.0f, 1.0f);
    values[index].store(value, std::memory_order_relaxed);
    applyParameter(*engine, index, value);
    gui->showLater(index);
}

template <typename Sample>
void Vst3Compressor::processRange(Lock::FastSide& side, Sample** in, Sample** out, std::int32_t start,
                                  std::int32_t end) {
    if (end <= start) return;
    const float rate = sampleRate;
    processStereoBlock(*engine, side, in[0] + start, in[1] + start, out[0] + start, out[1] + start, end - start,
                       [rate] { return rate; });
}

tresult Vst3Compressor::process(ProcessData& data) {
    const std::int32_t frames = std::max(data.numSamples, 0);
    // The next point of each parameter's queue, and the queue; one queue per parameter counts.
    IParamValueQueue* queues[kNumControls] = {};
    std::int32_t next[kNumControls] = {};
    std::int32_t points[kNumControls] = {};
    if (IParameterChanges* changes = data.inputParameterChanges) {
        const std::int32_t count = changes->getParameterCount();
        for (std::int32_t q = 0; q < count; ++q) {
            IParamValueQueue* queue = changes->getParameterData(q);
            if (!queue) continue;
            const ParamID id = queue->getParameterId();
            if (!known(id)) continue;
            queues[id] = queue;
            points[id] = std::max(queue->getPointCount(), 0);
        }
    }
    const bool audio = data.numInputs >= 1 && data.numOutputs >= 1 && data.inputs && data.outputs &&
                       data.inputs[0].numChannels >= 2 && data.outputs[0].numChannels >= 2;
    const bool wide = data.symbolicSampleSize == kSample64;
    void** inChannels = audio ? reinterpret_cast<void**>(data.inputs[0].channelBuffers32) : nullptr;
    void** outChannels = audio ? reinterpret_cast<void**>(data.outputs[0].channelBuffers32) : nullptr;
    const bool buffers = inChannels && outChannels && inChannels[0] && inChannels[1] && outChannels[0] && outChannels[1];
    if (buffers) engine->io64Bit.store(wide, std::memory_order_relaxed);
    Lock::FastSide side(engineLock);
    std::int32_t position = 0;
    for (;;) {
        // The earliest offset still pending, within the block; points past its end act at its end.
        std::int32_t at = frames;
        for (int i = 0; i < kNumControls; ++i) {
            if (!queues[i] || next[i] >= points[i]) continue;
            std::int32_t offset = 0;
            ParamValue value = 0.0;
            if (queues[i]->getPoint(next[i], offset, value) != kResultOk) {
                next[i] = points[i];
                continue;
            }
            at = std::min(at, std::clamp(offset, position, frames));
        }
        if (buffers) {
            if (wide) processRange(side, reinterpret_cast<double**>(inChannels), reinterpret_cast<double**>(outChannels), position, at);
            else processRange(side, reinterpret_cast<float**>(inChannels), reinterpret_cast<float**>(outChannels), position, at);
        }
        position = at;
        bool applied = false;
        for (int i = 0; i < kNumControls; ++i) {
            while (queues[i] && next[i] < points[i]) {
                std::int32_t offset = 0;
                ParamValue value = 0.0;
                if (queues[i]->getPoint(next[i], offset, value) != kResultOk || std::clamp(offset, position, frames) > at)
                    break;
                applyValue(i, static_cast<float>(value));
                ++next[i];
                applied = true;
            }
        }
        if (applied) continue;
        if (at >= frames) break;
        // A queue that answers differently from one call to the next: its points are dropped.
        for (int i = 0; i < kNumControls; ++i) next[i] = points[i];
    }
    return kResultOk;
}

tresult Vst3Compressor::getParameterInfo(std::int32_t paramIndex, ParameterInfo& info) {
    if (paramIndex < 0 || paramIndex >= kNumControls) return kInvalidArgument;
    const ParameterInfo blank{};
    info = blank;
    const tarn::ParameterInfo& p = kParameters[paramIndex];
    info.id = static_cast<ParamID>(paramIndex);
    copyUtf16(info.title, p.name, 128);
    copyUtf16(info.shortTitle, p.label, 128);
    copyUtf16(info.units, unitText(p.unit), 128);
    info.stepCount = 0;
    info.defaultNormalizedValue = defaultValue(paramIndex);
    info.unitId = 0;
    info.flags = ParameterInfo::kCanAutomate;
    return kResultOk;
}

tresult Vst3Compressor::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) {
    if (!known(id) || !string) return kInvalidArgument;
    const tarn::ParameterInfo& p = kParameters[id];
    const auto v = static_cast<float>(valueNormalized);
    if (p.topText && v == 1.0f) {
        copyUtf16(string, p.topText, 128);
        return kResultOk;
    }
    // The unit is the host's to add; the number is the knob's text without it.
    copyUtf16(string, formatValue(toNatural(static_cast<int>(id), v), p.decimals).text, 128);
    return kResultOk;
}

tresult Vst3Compressor::getParamValueByString(ParamID id, char16* string, ParamValue& valueNormalized) {
    if (!known(id) || !string) return kInvalidArgument;
    const tarn::ParameterInfo& p = kParameters[id];
    char text[64];
    copyAscii(text, string, sizeof text);
    if (p.topText && std::strcmp(text, p.topText) == 0) {
        valueNormalized = 1.0;
        return kResultOk;
    }
    // The classic locale reads "." as the decimal point whatever the host's locale, as
    // from_chars would, which GCC 10's runtime (release builds) lacks for floating point.
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double natural = 0.0;
    if (!(in >> natural) || !std::isfinite(natural)) return kResultFalse;
    valueNormalized = std::clamp(static_cast<double>(toNormalised(static_cast<int>(id), static_cast<float>(natural))), 0.0, 1.0);
    return kResultOk;
}

ParamValue Vst3Compressor::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
    return known(id) ? toNatural(static_cast<int>(id), static_cast<float>(valueNormalized)) : valueNormalized;
}

ParamValue Vst3Compressor::plainParamToNormalized(ParamID id, ParamValue plainValue) {
    if (!known(id) || std::isnan(plainValue)) return 0.0;
    return std::clamp(static_cast<double>(toNormalised(static_cast<int>(id), static_cast<float>(plainValue))), 0.0, 1.0);
}

ParamValue Vst3Compressor::getParamNormalized(ParamID id) {
    return known(id) ? values[id].load(std::memory_order_relaxed) : 0.0;
}

tresult Vst3Compressor::setParamNormalized(ParamID id, ParamValue value) {
    if (!known(id) || std::isnan(value)) return kInvalidArgument;
    // The controller's side: what the editor shows. The sound follows the host's queues.
    const float v = std::clamp(static_cast<float>(value), 0.0f, 1.0f);
    values[id].store(v, std::memory_order_relaxed);
    if (viewOpen.load()) gui->setParameter(static_cast<VstInt32>(id), v);
    return kResultOk;
}

tresult Vst3Compressor::setComponentHandler(IComponentHandler* componentHandler) {
    handler = componentHandler;
    return kResultOk;
}

IPlugView* Vst3Compressor::createView(FIDString name) {
    // One editor, one view at a time.
    if (!name || std::strcmp(name, kEditorViewType) != 0 || viewOpen.load()) return nullptr;
    try {
        return new Vst3EditorView(*this);
    } catch (...) {
        return nullptr;
    }
}

bool Vst3Compressor::resizeEditor(std::int32_t width, std::int32_t height) {
    return shownView && shownView->resizeTo(width, height);
}

float Vst3Compressor::getParameter(std::int32_t index) {
    return index >= 0 && index < kNumControls ? values[index].load(std::memory_order_relaxed) : 0.0f;
}

void Vst3Compressor::setParameterAutomated(std::int32_t index, float value) {
    if (index < 0 || index >= kNumControls) return;
    values[index].store(value, std::memory_order_relaxed);
    gui->setParameter(index, value);
    if (handler) handler->performEdit(static_cast<ParamID>(index), value);
}

bool Vst3Compressor::beginEdit(std::int32_t index) {
    return handler && index >= 0 && index < kNumControls && handler->beginEdit(static_cast<ParamID>(index)) == kResultOk;
}

bool Vst3Compressor::endEdit(std::int32_t index) {
    return handler && index >= 0 && index < kNumControls && handler->endEdit(static_cast<ParamID>(index)) == kResultOk;
}

} // namespace tarn::vst3
