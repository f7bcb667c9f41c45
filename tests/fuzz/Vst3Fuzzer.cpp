// libFuzzer target for the VST 3 module: every input is a sequence of host actions in the
// orders VST 3 allows. The factory makes instances (any class and interface ID asked for too);
// an instance is initialised; while inactive it takes any bus arrangement and any processing
// set-up (sample size, block size, rate); set-up done, it is activated and started; while it
// processes, blocks of 0 to 8192 frames go through in either precision, in place or not, with
// parameter queues of any IDs, offsets and values. At any time after initialising: state saved,
// loaded from random bytes or from a saved state with bytes changed, controller values and
// texts asked and set, a view made and (with a display) attached to a window and refreshed
// through the run loop, then removed. Then terminate and release, and perhaps a new instance.
// Checks after each block: no output sample louder than its input through the gain stages in
// force or of the other sign, and finite input gives finite output without denormals. A failed
// check prints a line and aborts.
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/SoundOracle.h"
#include "tests/fuzz/Signals.h"
#include "tools/vsthost/HostWindow.h"
#include "tools/vsthost/Vst3HostFrame.h"
#include "tools/vsthost/Vst3HostObjects.h"
#include "gui/vst3/Factory.h"

extern "C" tarn::vst3::IPluginFactory* GetPluginFactory();

namespace {

using namespace tarn::vst3;
using namespace tarn::vst3host;
using tarn::fuzz::ByteReader;

constexpr int kMaxFrames = 8192;

std::unique_ptr<tarn::HostWindow> window;

void check(bool ok, const char* what, long long detail) {
    if (ok) return;
    std::fprintf(stderr, "VST 3 host action check failed: %s (%lld)\n", what, detail);
    std::fflush(stderr);
    std::abort();
}

class Vst3Host {
public:
    Vst3Host() {
        for (int c = 0; c < 4; ++c) {
            floats[c].resize(kMaxFrames);
            doubles[c].resize(kMaxFrames);
        }
    }
    ~Vst3Host() { end(); }
    Vst3Host(const Vst3Host&) = delete;
    Vst3Host& operator=(const Vst3Host&) = delete;

    void perform(ByteReader& in) {
        if (!component) return create(in);
        switch (in.byte() % 12) {
        case 0: return active ? void() : arrange(in);
        case 1: return active ? void() : setup(in);
        case 2: return activate(in);
        case 3:
        case 4:
        case 5: return processing ? process(in) : void();
        case 6: return saveOrLoad(in);
        case 7: return controllerCalls(in);
        case 8: return view(in);
        case 9: return processor->setProcessing(processing = active && in.byte() % 2), void();
        default: return in.byte() % 8 ? void() : end();
        }
    }

private:
    void create(ByteReader& in) {
        IPluginFactory* factory = GetPluginFactory();
        PClassInfo info{};
        check(factory->getClassInfo(0, &info) == kResultOk, "the factory describes its class", 0);
        void* obj = nullptr;
        if (in.byte() % 8 == 0) {
            // Any class and interface ID: no instance, no crash.
            char cid[16];
            char iid[16];
            for (char& c : cid) c = static_cast<char>(in.byte());
            for (char& c : iid) c = static_cast<char>(in.byte());
            if (factory->createInstance(cid, iid, &obj) == kResultOk && obj) static_cast<FUnknown*>(obj)->release();
            return;
        }
        check(factory->createInstance(info.cid, IComponent::iid.bytes, &obj) == kResultOk && obj,
              "the factory makes its class", 0);
        component = static_cast<IComponent*>(obj);
        check(component->initialize(nullptr) == kResultOk, "initialize", 0);
        component->queryInterface(IAudioProcessor::iid.bytes, &obj);
        processor = static_cast<IAudioProcessor*>(obj);
        component->queryInterface(IEditController::iid.bytes, &obj);
        controller = static_cast<IEditController*>(obj);
        check(processor && controller, "the component is processor and controller", 0);
        gains[0] = gains[1] = 0.5;
        setUp = false;
    }

    void end() {
        if (!component) return;
        if (processing) processor->setProcessing(0);
        if (active) component->setActive(0);
        processing = active = false;
        controller->release();
        processor->release();
        component->terminate();
        component->release();
        component = nullptr;
    }

    void arrange(ByteReader& in) {
        SpeakerArrangement ins[2] = {in.raw<std::uint8_t>(), in.raw<std::uint64_t>()};
        SpeakerArrangement outs[2] = {in.raw<std::uint8_t>(), kStereo};
        const int numIns = in.byte() % 3;
        const int numOuts = in.byte() % 3;
        const tresult result = processor->setBusArrangements(ins, numIns, outs, numOuts);
        const bool stereo = numIns == 1 && numOuts == 1 && ins[0] == kStereo && outs[0] == kStereo;
        check((result == kResultTrue) == stereo, "only stereo in and out is accepted", static_cast<long long>(ins[0]));
    }

    void setup(ByteReader& in) {
        static const double rates[] = {44100.0, 48000.0, 96000.0, 192000.0, 8000.0, 1.0, 0.0, -48000.0, 1e12, 1e-9,
                                       std::nan(""), INFINITY};
        const std::uint8_t pick = in.byte();
        ProcessSetup s{in.byte() % 3, in.byte() % 3, in.raw<std::int16_t>(), pick < 200 ? rates[pick % 12] : in.raw<double>()};
        if (processor->setupProcessing(s) == kResultOk) {
            setUp = true;
            sampleSize = s.symbolicSampleSize;
        }
    }

    void activate(ByteReader& in) {
        const bool on = in.byte() % 2;
        if (on == active || (on && !setUp)) return;
        if (!on && processing) processor->setProcessing(processing = false);
        component->setActive(on);
        active = on;
    }

    void process(ByteReader& in) {
        const std::uint8_t pick = in.byte();
        const int frames = pick < 160 ? in.raw<std::uint16_t>() % (kMaxFrames + 1) : pick < 240 ? pick % 17 : kMaxFrames;
        const bool wide = sampleSize == kSample64;
        const bool inPlace = in.byte() % 2;
        for (int c = 0; c < 4; ++c) {
            if (wide) tarn::fuzz::fillSignal(doubles[c].data(), frames, in);
            else tarn::fuzz::fillSignal(floats[c].data(), frames, in);
        }
        // The gains in force anywhere in the block bound every sample.
        changes.clear();
        const double previous[2] = {gains[0], gains[1]};
        double inGain = tarn::oracle::gainOfNormalised(gains[0]);
        double outGain = tarn::oracle::gainOfNormalised(gains[1]);
        for (int points = in.byte() % 8; points > 0; --points) {
            const std::uint8_t idPick = in.byte();
            const ParamID id = idPick < 200 ? idPick % 8 : in.raw<std::uint32_t>();
            const std::int32_t offset = in.byte() % 4 ? in.raw<std::uint16_t>() % (frames + 2) : in.raw<std::int32_t>();
            const double value = tarn::fuzz::anyFloat(in);
            changes.add(id, offset, value);
            if ((id == 0 || id == 6) && !std::isnan(value)) {
                const double v = std::clamp(value, 0.0, 1.0);
                gains[id == 6] = v;
                (id == 0 ? inGain : outGain) = std::max(id == 0 ? inGain : outGain, tarn::oracle::gainOfNormalised(v));
            }
        }
        void* inChannels[2];
        void* outChannels[2];
        for (int c = 0; c < 2; ++c) {
            inChannels[c] = wide ? static_cast<void*>(doubles[c].data()) : static_cast<void*>(floats[c].data());
            outChannels[c] = inPlace ? inChannels[c] : wide ? static_cast<void*>(doubles[c + 2].data())
                                                            : static_cast<void*>(floats[c + 2].data());
        }
        std::vector<double> sent[2];
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < frames; ++i)
                sent[c].push_back(wide ? doubles[c][static_cast<std::size_t>(i)] : floats[c][static_cast<std::size_t>(i)]);
        const bool passed = in.byte() % 4;
        HostBlock block(inChannels, outChannels, frames, sampleSize, passed ? &changes : nullptr);
        check(processor->process(block.data) == kResultOk, "process answers ok", frames);
        if (!passed) {
            // The changes never reached the plug-in: what it holds is what it had.
            gains[0] = previous[0];
            gains[1] = previous[1];
        }
        for (int c = 0; c < 2; ++c) {
            bool finite = true;
            for (int i = 0; i < frames; ++i) {
                const double out = wide ? static_cast<double*>(outChannels[c])[i] : static_cast<float*>(outChannels[c])[i];
                const double input = sent[c][static_cast<std::size_t>(i)];
                check(tarn::oracle::keepsGainAndSign(input, out, inGain * outGain),
                      "no output sample louder than its input through the gains, or of the other sign", i);
                finite = finite && std::isfinite(input);
            }
            if (finite)
                check(wide ? tarn::fuzz::allCanBeNormalOrZero(static_cast<double*>(outChannels[c]), frames)
                           : tarn::fuzz::allCanBeNormalOrZero(static_cast<float*>(outChannels[c]), frames),
                      "finite input gives finite output without denormals", frames);
        }
    }

    double controllerGain(ParamID id) { return std::clamp(controller->getParamNormalized(id), 0.0, 1.0); }

    void saveOrLoad(ByteReader& in) {
        const std::uint8_t how = in.byte() % 4;
        MemoryStream saved;
        check(component->getState(&saved) == kResultOk && saved.data.size() == 40, "the state saves", 0);
        MemoryStream load;
        if (how == 0) {
            load = saved;
            load.position = 0;
        } else if (how == 1) {
            load = saved;
            load.position = 0;
            load.data[in.byte() % load.data.size()] ^= static_cast<char>(in.byte() | 1);
        } else {
            for (int n = in.byte() % 64; n > 0; --n) load.data.push_back(static_cast<char>(in.byte()));
        }
        const double was[2] = {controllerGain(0), controllerGain(6)};
        if (component->setState(&load) == kResultOk) {
            gains[0] = controllerGain(0);
            gains[1] = controllerGain(6);
        } else {
            check(controllerGain(0) == was[0] && controllerGain(6) == was[1], "a refused state changes nothing", how);
        }
    }

    void controllerCalls(ByteReader& in) {
        const ParamID id = in.byte() < 200 ? in.byte() % 9 : in.raw<std::uint32_t>();
        const double value = tarn::fuzz::anyFloat(in);
        String128 text{};
        switch (in.byte() % 5) {
        case 0:
            controller->setParamNormalized(id, value);
            return;
        case 1:
            if (controller->getParamStringByValue(id, value, text) == kResultOk) {
                ParamValue back = 0;
                controller->getParamValueByString(id, text, back);
            }
            return;
        case 2: {
            for (int i = 0; i < 127; ++i) text[i] = static_cast<char16>(in.byte() % 3 ? '0' + in.byte() % 16 : in.raw<std::uint16_t>());
            text[127] = 0;
            ParamValue back = 0;
            if (controller->getParamValueByString(id, text, back) == kResultOk)
                check(back >= 0.0 && back <= 1.0, "a text reads as a value from 0 to 1", id);
            return;
        }
        case 3: {
            const double plain = controller->normalizedParamToPlain(id, value);
            controller->plainParamToNormalized(id, plain);
            return;
        }
        default: {
            ParameterInfo info{};
            controller->getParameterInfo(static_cast<std::int32_t>(id), info);
            return;
        }
        }
    }

    void view(ByteReader& in) {
        IPlugView* view = controller->createView(in.byte() % 8 ? kEditorViewType : "other");
        if (!view) return;
        ViewRect size{};
        check(view->getSize(&size) == kResultOk && size.right > 0 && size.bottom > 0, "the view has a size", 0);
        HostFrame frame;
        view->setFrame(&frame);
        if (window && in.byte() % 4 == 0 && view->attached(window->handle(), kPlatformTypeX11EmbedWindowID) == kResultOk) {
            for (int n = in.byte() % 4; n > 0; --n) {
                window->processEvents();
                frame.runDue();
            }
            view->onWheel(tarn::fuzz::anyFloat(in));
            if (in.byte() % 4) view->removed();
        }
        view->setFrame(nullptr);
        view->release();
    }

    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;
    IEditController* controller = nullptr;
    bool setUp = false;
    bool active = false;
    bool processing = false;
    std::int32_t sampleSize = kSample32;
    // The normalised input and output gains the engine holds.
    double gains[2] = {0.5, 0.5};
    HostParameterChanges changes;
    std::vector<float> floats[4];
    std::vector<double> doubles[4];
};

} // namespace

// See BoundaryFuzzer.cpp: what the system libraries under the editor keep for the process.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libGLX_mesa.so\nleak:swrast_dri.so\nleak:libLLVM\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (std::getenv("DISPLAY")) {
        dlopen("libGLX_mesa.so.0", RTLD_NOW | RTLD_NODELETE);
        dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE);
        std::string error;
        window = tarn::HostWindow::create(600, 400, "tarn VST 3 fuzzer", error);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    Vst3Host host;
    while (!in.done()) host.perform(in);
    return 0;
}
