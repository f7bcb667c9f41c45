#include "tools/vsthost/Vst3Effect.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <mutex>
#include <sys/stat.h>

#include "platform/SharedLibrary.h"
#include "tools/vsthost/Vst3HostFrame.h"
#include "tools/vsthost/Vst3HostObjects.h"
#include "vst3/Utf16.h"
#include "gui/vst3/Factory.h"

namespace tarn {

namespace {

using namespace tarn::vst3;
using namespace tarn::vst3host;

#if defined(_WIN32)
constexpr const char* kArchitectureFolder = "x86_64-win";
constexpr const char* kModuleSuffix = ".vst3";
constexpr const char* kParentType = kPlatformTypeHWND;
#else
constexpr const char* kArchitectureFolder = "x86_64-linux";
constexpr const char* kModuleSuffix = ".so";
constexpr const char* kParentType = kPlatformTypeX11EmbedWindowID;
#endif

// The module file inside a bundle: Contents/<architecture>/<bundle name><suffix>. A path that
// is not a folder is taken as the module itself.
std::string modulePath(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return path;
    std::string bundle = path;
    while (bundle.size() > 1 && (bundle.back() == '/' || bundle.back() == '\\')) bundle.pop_back();
    const std::size_t slash = bundle.find_last_of("/\\");
    std::string name = bundle.substr(slash == std::string::npos ? 0 : slash + 1);
    name = name.substr(0, name.size() - 5);
    return bundle + "/Contents/" + kArchitectureFolder + "/" + name + kModuleSuffix;
}

using GetFactory = IPluginFactory*(TARN_VST3_API*)();
#if defined(_WIN32)
using InitModule = bool (*)();
#else
using InitModule = bool (*)(void*);
#endif
using ExitModule = bool (*)();

// Edits from the plug-in's editor go on to its processor with the next block, as a host's do.
class EditHandler final : public HostObject<IComponentHandler> {
public:
    explicit EditHandler(std::function<void(ParamID, ParamValue)> perform) : perform(std::move(perform)) {}
    tresult TARN_VST3_API beginEdit(ParamID) override { return kResultOk; }
    tresult TARN_VST3_API performEdit(ParamID id, ParamValue value) override {
        perform(id, value);
        return kResultOk;
    }
    tresult TARN_VST3_API endEdit(ParamID) override { return kResultOk; }
    tresult TARN_VST3_API restartComponent(std::int32_t) override { return kResultOk; }

private:
    std::function<void(ParamID, ParamValue)> perform;
};

class Vst3Effect {
public:
    // Takes over one reference to each interface; separate tells a controller of its own.
    Vst3Effect(std::unique_ptr<SharedLibrary> library, IComponent* component, IAudioProcessor* processor,
               IEditController* controller, bool separate, const PClassInfo& info, const char* vendor);
    ~Vst3Effect();

    AEffect record{};

private:
    static Vst3Effect& of(AEffect* e) { return *static_cast<Vst3Effect*>(e->object); }
    static VstIntPtr VSTCALLBACK dispatchProc(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                              float opt);
    static void VSTCALLBACK setParameterProc(AEffect* e, VstInt32 index, float value);
    static float VSTCALLBACK getParameterProc(AEffect* e, VstInt32 index);
    static void VSTCALLBACK processProc(AEffect* e, float** inputs, float** outputs, VstInt32 frames);
    static void VSTCALLBACK processDoubleProc(AEffect* e, double** inputs, double** outputs, VstInt32 frames);

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    ParamID idOf(VstInt32 index);
    void queue(ParamID id, ParamValue value);
    template <typename Sample> void process(Sample** inputs, Sample** outputs, VstInt32 frames, std::int32_t size);
    bool openView(void* parent);
    void closeView();

    std::unique_ptr<SharedLibrary> library;
    IComponent* component;
    IAudioProcessor* processor;
    IEditController* controller;
    bool separateController;
    PClassInfo info;
    char name[64] = {};
    char vendor[64] = {};
    ProcessSetup setup{kRealtime, kSample32, 512, 44100.0};
    bool active = false;
    bool processing = false;
    // Changes for the next block, filled from any thread; the audio thread takes them over.
    std::mutex pendingMutex;
    HostParameterChanges pending;
    HostParameterChanges changes;
    EditHandler handler{[this](ParamID id, ParamValue v) { queue(id, v); }};
    HostFrame frame;
    IPlugView* view = nullptr;
    ERect rect{};
    MemoryStream chunk;
};

Vst3Effect::Vst3Effect(std::unique_ptr<SharedLibrary> lib, IComponent* c, IAudioProcessor* p, IEditController* e,
                       bool separate, const PClassInfo& classInfo, const char* vendorName)
    : library(std::move(lib)), component(c), processor(p), controller(e), separateController(separate), info(classInfo) {
    std::memcpy(vendor, vendorName, sizeof vendor - 1);
    record.magic = kEffectMagic;
    record.object = this;
    record.dispatcher = dispatchProc;
    record.setParameter = setParameterProc;
    record.getParameter = getParameterProc;
    record.processReplacing = processProc;
    record.processDoubleReplacing = processDoubleProc;
    record.numPrograms = 0;
    record.numParams = controller->getParameterCount();
    BusInfo bus{};
    record.numInputs = component->getBusInfo(kAudio, kInput, 0, bus) == kResultOk ? bus.channelCount : 0;
    record.numOutputs = component->getBusInfo(kAudio, kOutput, 0, bus) == kResultOk ? bus.channelCount : 0;
    record.flags = effFlagsCanReplacing | effFlagsProgramChunks;
    if (processor->canProcessSampleSize(kSample64) == kResultTrue) record.flags |= effFlagsCanDoubleReplacing;
    // The class ID's first four bytes, read as a VST 2.4 ID is written: the first the highest.
    for (int i = 0; i < 4; ++i)
        record.uniqueID = static_cast<VstInt32>(static_cast<std::uint32_t>(record.uniqueID) << 8 |
                                                static_cast<unsigned char>(info.cid[i]));
    std::memcpy(name, info.name, sizeof name - 1);
    controller->setComponentHandler(&handler);
    if (IPlugView* probe = controller->createView(kEditorViewType)) {
        ViewRect size{};
        if (probe->getSize(&size) == kResultOk) {
            record.flags |= effFlagsHasEditor;
            rect = ERect{0, 0, static_cast<VstInt16>(size.bottom - size.top), static_cast<VstInt16>(size.right - size.left)};
        }
        probe->release();
    }
}

Vst3Effect::~Vst3Effect() {
    closeView();
    if (processing) processor->setProcessing(0);
    if (active) component->setActive(0);
    controller->setComponentHandler(nullptr);
    if (separateController) controller->terminate();
    controller->release();
    processor->release();
    component->terminate();
    component->release();
    if (auto exitModule = reinterpret_cast<ExitModule>(library->symbol(
#if defined(_WIN32)
            "ExitDll"
#else
            "ModuleExit"
#endif
            )))
        exitModule();
}

ParamID Vst3Effect::idOf(VstInt32 index) {
    ParameterInfo parameter{};
    return controller->getParameterInfo(index, parameter) == kResultOk ? parameter.id : static_cast<ParamID>(index);
}

void Vst3Effect::queue(ParamID id, ParamValue value) {
    std::lock_guard<std::mutex> guard(pendingMutex);
    pending.add(id, 0, value);
}

template <typename Sample>
void Vst3Effect::process(Sample** inputs, Sample** outputs, VstInt32 frames, std::int32_t size) {
    {
        std::lock_guard<std::mutex> guard(pendingMutex);
        changes.takeFrom(pending);
    }
    HostBlock block(reinterpret_cast<void**>(inputs), reinterpret_cast<void**>(outputs), frames, size, &changes);
    block.inBus.numChannels = record.numInputs;
    block.outBus.numChannels = record.numOutputs;
    block.data.processMode = setup.processMode;
    processor->process(block.data);
}

bool Vst3Effect::openView(void* parent) {
    closeView();
    view = controller->createView(kEditorViewType);
    if (!view) return false;
    view->setFrame(&frame);
    if (view->attached(parent, kParentType) != kResultOk) {
        closeView();
        return false;
    }
    return true;
}

void Vst3Effect::closeView() {
    if (!view) return;
    view->removed();
    view->setFrame(nullptr);
    view->release();
    view = nullptr;
}

VstIntPtr Vst3Effect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    auto text = [ptr](const char* from, std::size_t bound) {
        if (!ptr) return;
        std::strncpy(static_cast<char*>(ptr), from, bound);
        static_cast<char*>(ptr)[bound] = 0;
    };
    switch (opcode) {
    case effClose:
        delete this;
        return 1;
    case effGetEffectName:
    case effGetProductString:
        text(name, 32);
        return 1;
    case effGetVendorString:
        text(vendor, 64);
        return 1;
    case effGetVstVersion:
        return 3000;
    case effGetPlugCategory:
        return kPlugCategEffect;
    case effGetParamName:
    case effGetParamLabel: {
        ParameterInfo parameter{};
        if (controller->getParameterInfo(index, parameter) != kResultOk) return 0;
        char narrow[129];
        copyAscii(narrow, opcode == effGetParamName ? parameter.title : parameter.units, sizeof narrow);
        text(narrow, 64);
        return 1;
    }
    case effGetParamDisplay: {
        const ParamID id = idOf(index);
        String128 wide{};
        if (controller->getParamStringByValue(id, controller->getParamNormalized(id), wide) != kResultOk) return 0;
        char narrow[129];
        copyAscii(narrow, wide, sizeof narrow);
        text(narrow, 64);
        return 1;
    }
    case effSetSampleRate:
        setup.sampleRate = opt;
        return 1;
    case effSetBlockSize:
        setup.maxSamplesPerBlock = static_cast<std::int32_t>(value);
        return 1;
    case effSetProcessPrecision:
        setup.symbolicSampleSize = value ? kSample64 : kSample32;
        return 1;
    case effMainsChanged:
        if (value && !active) {
            SpeakerArrangement in = kStereo;
            SpeakerArrangement out = kStereo;
            processor->setBusArrangements(&in, 1, &out, 1);
            component->activateBus(kAudio, kInput, 0, 1);
            component->activateBus(kAudio, kOutput, 0, 1);
            processor->setupProcessing(setup);
            active = component->setActive(1) == kResultOk;
        } else if (!value && active) {
            component->setActive(0);
            active = false;
        }
        return 1;
    case effStartProcess:
        processing = processor->setProcessing(1) == kResultOk;
        return 1;
    case effStopProcess:
        processor->setProcessing(0);
        processing = false;
        return 1;
    case effEditGetRect:
        if (!ptr || !(record.flags & effFlagsHasEditor)) return 0;
        *static_cast<ERect**>(ptr) = &rect;
        return 1;
    case effEditOpen:
        return openView(ptr) ? 1 : 0;
    case effEditClose:
        closeView();
        return 1;
    case effEditIdle:
        frame.runDue();
        return 1;
    case effGetChunk: {
        chunk = MemoryStream();
        if (!ptr || component->getState(&chunk) != kResultOk) return 0;
        *static_cast<void**>(ptr) = chunk.data.data();
        return static_cast<VstIntPtr>(chunk.data.size());
    }
    case effSetChunk: {
        if (!ptr || value < 0) return 0;
        MemoryStream state(ptr, static_cast<std::size_t>(value));
        if (component->setState(&state) != kResultOk) return 0;
        state.position = 0;
        controller->setComponentState(&state);
        return 1;
    }
    default:
        return 0;
    }
}

VstIntPtr VSTCALLBACK Vst3Effect::dispatchProc(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                               float opt) {
    return of(e).dispatch(opcode, index, value, ptr, opt);
}

void VSTCALLBACK Vst3Effect::setParameterProc(AEffect* e, VstInt32 index, float value) {
    Vst3Effect& self = of(e);
    const ParamID id = self.idOf(index);
    self.controller->setParamNormalized(id, value);
    self.queue(id, value);
}

float VSTCALLBACK Vst3Effect::getParameterProc(AEffect* e, VstInt32 index) {
    Vst3Effect& self = of(e);
    return static_cast<float>(self.controller->getParamNormalized(self.idOf(index)));
}

void VSTCALLBACK Vst3Effect::processProc(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
    of(e).process(inputs, outputs, frames, kSample32);
}

void VSTCALLBACK Vst3Effect::processDoubleProc(AEffect* e, double** inputs, double** outputs, VstInt32 frames) {
    of(e).process(inputs, outputs, frames, kSample64);
}

} // namespace

bool isVst3Path(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\')) trimmed.pop_back();
    return trimmed.size() > 5 && trimmed.compare(trimmed.size() - 5, 5, ".vst3") == 0;
}

AEffect* openVst3Effect(const std::string& path, std::string& error) {
    const std::string module = modulePath(path);
    std::string reason;
    std::unique_ptr<SharedLibrary> library = SharedLibrary::open(module, reason);
    if (!library) {
        error = "cannot load VST 3 module '" + module + "': " + reason;
        return nullptr;
    }
#if defined(_WIN32)
    if (auto init = reinterpret_cast<InitModule>(library->symbol("InitDll")); init && !init()) {
#else
    if (auto init = reinterpret_cast<InitModule>(library->symbol("ModuleEntry")); init && !init(nullptr)) {
#endif
        error = "'" + module + "' refused to start (module entry)";
        return nullptr;
    }
    auto getFactory = reinterpret_cast<GetFactory>(library->symbol("GetPluginFactory"));
    IPluginFactory* factory = getFactory ? getFactory() : nullptr;
    if (!factory) {
        error = "'" + module + "' has no VST 3 factory (GetPluginFactory)";
        return nullptr;
    }
    PClassInfo info{};
    bool found = false;
    for (std::int32_t i = 0; !found && i < factory->countClasses(); ++i)
        found = factory->getClassInfo(i, &info) == kResultOk && std::strcmp(info.category, kVstAudioEffectClass) == 0;
    char vendor[64] = {};
    PFactoryInfo factoryInfo{};
    if (factory->getFactoryInfo(&factoryInfo) == kResultOk) std::memcpy(vendor, factoryInfo.vendor, sizeof vendor - 1);
    void* obj = nullptr;
    if (!found || factory->createInstance(info.cid, IComponent::iid.bytes, &obj) != kResultOk || !obj) {
        factory->release();
        error = "'" + module + "' offers no audio effect";
        return nullptr;
    }
    auto* component = static_cast<IComponent*>(obj);
    component->initialize(nullptr);
    // A plug-in without a controller of its own is its own controller.
    void* controller = nullptr;
    component->queryInterface(IEditController::iid.bytes, &controller);
    const bool separate = !controller;
    if (separate) {
        TUID controllerId{};
        if (component->getControllerClassId(controllerId) == kResultOk &&
            factory->createInstance(controllerId, IEditController::iid.bytes, &controller) == kResultOk && controller)
            static_cast<IEditController*>(controller)->initialize(nullptr);
    }
    void* processor = nullptr;
    component->queryInterface(IAudioProcessor::iid.bytes, &processor);
    factory->release();
    if (!controller || !processor) {
        if (controller) static_cast<IEditController*>(controller)->release();
        if (processor) static_cast<IAudioProcessor*>(processor)->release();
        component->terminate();
        component->release();
        error = "'" + module + "' has no edit controller or audio processor";
        return nullptr;
    }
    // The record's effClose ends the object.
    auto* effect = new Vst3Effect(std::move(library), component, static_cast<IAudioProcessor*>(processor),
                                  static_cast<IEditController*>(controller), separate, info, vendor);
    return &effect->record;
}

} // namespace tarn
