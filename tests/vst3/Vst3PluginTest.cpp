#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/SharedLibrary.h"
#include "tools/vsthost/Vst3HostObjects.h"
#include "vst3/Utf16.h"
#include "gui/vst3/Factory.h"

// The VST 3 module as a host meets it: loaded from the bundle, asked through its factory, and
// driven through the interfaces alone.
namespace tarn {
namespace {

using namespace tarn::vst3;
using namespace tarn::vst3host;

class Module {
public:
    Module() {
        std::string error;
        library = SharedLibrary::open(VST3_MODULE, error);
        EXPECT_TRUE(library) << error;
        auto get = reinterpret_cast<IPluginFactory* (*)()>(library->symbol("GetPluginFactory"));
        factory = get ? get() : nullptr;
    }
    std::unique_ptr<SharedLibrary> library;
    IPluginFactory* factory = nullptr;
};

Module& module() {
    static Module loaded;
    return loaded;
}

// One instance with its three interfaces, set up for stereo 32-bit processing at 48 kHz.
class Instance {
public:
    Instance() {
        PClassInfo info{};
        EXPECT_EQ(module().factory->getClassInfo(0, &info), kResultOk);
        void* obj = nullptr;
        EXPECT_EQ(module().factory->createInstance(info.cid, IComponent::iid.bytes, &obj), kResultOk);
        component = static_cast<IComponent*>(obj);
        component->initialize(nullptr);
        component->queryInterface(IAudioProcessor::iid.bytes, &obj);
        processor = static_cast<IAudioProcessor*>(obj);
        component->queryInterface(IEditController::iid.bytes, &obj);
        controller = static_cast<IEditController*>(obj);
    }
    ~Instance() {
        if (active) component->setActive(0);
        controller->release();
        processor->release();
        component->terminate();
        component->release();
    }

    void start(std::int32_t sampleSize = kSample32) {
        ProcessSetup setup{kRealtime, sampleSize, 1024, 48000.0};
        ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
        ASSERT_EQ(component->setActive(1), kResultOk);
        active = true;
        processor->setProcessing(1);
    }

    // Processes a steady 1 kHz sine at -6 dBFS in place, with the changes given.
    std::vector<float> run(int frames, IParameterChanges* changes = nullptr) {
        std::vector<float> left(static_cast<std::size_t>(frames));
        for (int i = 0; i < frames; ++i) left[static_cast<std::size_t>(i)] = 0.5f * std::sin(0.1309f * static_cast<float>(position + i));
        position += frames;
        std::vector<float> right = left;
        void* channels[2] = {left.data(), right.data()};
        HostBlock block(channels, channels, frames, kSample32, changes);
        EXPECT_EQ(processor->process(block.data), kResultOk);
        return left;
    }

    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;
    IEditController* controller = nullptr;
    bool active = false;
    long position = 0;
};

std::string narrow(const char16* text) {
    char buffer[129];
    copyAscii(buffer, text, sizeof buffer);
    return buffer;
}

TEST(Vst3Module, FactoryOffersOneDynamicsEffectThatIsItsOwnController) {
    IPluginFactory* factory = module().factory;
    ASSERT_TRUE(factory);
    PFactoryInfo info{};
    ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "tarn studio");
    ASSERT_EQ(factory->countClasses(), 1);
    void* obj = nullptr;
    ASSERT_EQ(factory->queryInterface(IPluginFactory2::iid.bytes, &obj), kResultOk);
    PClassInfo2 extended{};
    ASSERT_EQ(static_cast<IPluginFactory2*>(obj)->getClassInfo2(0, &extended), kResultOk);
    EXPECT_STREQ(extended.category, "Audio Module Class");
    EXPECT_STREQ(extended.subCategories, "Fx|Dynamics");
    EXPECT_STREQ(extended.name, "tarn Compressor");
    EXPECT_STREQ(extended.vendor, "tarn studio");
    const char unknown[16] = {1, 2, 3};
    EXPECT_NE(factory->createInstance(unknown, IComponent::iid.bytes, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);

    Instance plugin;
    TUID controllerId{};
    EXPECT_NE(plugin.component->getControllerClassId(controllerId), kResultOk);
    EXPECT_TRUE(plugin.controller);
}

TEST(Vst3Module, StereoInAndOutOnlyInBothPrecisions) {
    Instance plugin;
    EXPECT_EQ(plugin.component->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(plugin.component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(plugin.component->getBusCount(kEvent, kInput), 0);
    BusInfo bus{};
    ASSERT_EQ(plugin.component->getBusInfo(kAudio, kInput, 0, bus), kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_NE(plugin.component->getBusInfo(kAudio, kInput, 1, bus), kResultOk);
    SpeakerArrangement stereo = kStereo;
    SpeakerArrangement mono = kSpeakerL;
    EXPECT_EQ(plugin.processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
    EXPECT_NE(plugin.processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
    EXPECT_NE(plugin.processor->setBusArrangements(&stereo, 1, &mono, 1), kResultTrue);
    EXPECT_NE(plugin.processor->setBusArrangements(&stereo, 0, &stereo, 1), kResultTrue);
    EXPECT_EQ(plugin.processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(plugin.processor->canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_NE(plugin.processor->canProcessSampleSize(7), kResultTrue);
}

TEST(Vst3Module, ParametersDescribeThemselvesAndTheirTextsReadBack) {
    Instance plugin;
    IEditController& c = *plugin.controller;
    ASSERT_EQ(c.getParameterCount(), 7);
    const char* titles[] = {"Input gain", "Threshold", "Knee", "Ratio", "Attack", "Release", "Output gain"};
    const char* units[] = {"dB", "dB", "dB", ":1", "ms", "ms", "dB"};
    for (int i = 0; i < 7; ++i) {
        ParameterInfo info{};
        ASSERT_EQ(c.getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(narrow(info.title), titles[i]);
        EXPECT_EQ(narrow(info.units), units[i]);
        EXPECT_EQ(info.stepCount, 0);
        EXPECT_EQ(c.getParamNormalized(info.id), info.defaultNormalizedValue);
        for (double v : {0.0, 0.25, 0.6875, 1.0}) {
            String128 text{};
            ASSERT_EQ(c.getParamStringByValue(info.id, v, text), kResultOk);
            ParamValue back = -1.0;
            ASSERT_EQ(c.getParamValueByString(info.id, text, back), kResultOk) << narrow(text);
            // The text has one decimal or none: it reads back to within half a step of it.
            const double plain = c.normalizedParamToPlain(info.id, v);
            EXPECT_NEAR(c.normalizedParamToPlain(info.id, back), plain, 0.5) << titles[i] << " " << narrow(text);
            EXPECT_NEAR(c.plainParamToNormalized(info.id, plain), v, 1e-6);
        }
    }
    String128 text{};
    EXPECT_EQ(c.getParamStringByValue(1, 0.6875, text), kResultOk);
    EXPECT_EQ(narrow(text), "-30.0");
    EXPECT_EQ(c.getParamStringByValue(2, 1.0, text), kResultOk);
    EXPECT_EQ(narrow(text), "OFF");
    ParameterInfo none{};
    EXPECT_NE(c.getParameterInfo(7, none), kResultOk);
    EXPECT_NE(c.getParamStringByValue(99, 0.5, text), kResultOk);
    copyUtf16(text, "loud", 128);
    ParamValue value = 0.25;
    EXPECT_NE(c.getParamValueByString(1, text, value), kResultOk);
}

TEST(Vst3Module, ParameterPointsActAtTheirSampleOffsets) {
    // A threshold drop at frame 300 of a block: the same as two blocks split there.
    Instance split;
    Instance whole;
    split.start();
    whole.start();
    HostParameterChanges changes;
    const std::vector<float> settle = split.run(4800);
    EXPECT_EQ(whole.run(4800), settle);
    changes.add(3, 0, 0.5);
    EXPECT_EQ(whole.run(300, &changes), split.run(300, &changes));
    changes.clear();
    changes.add(1, 300, 0.5);
    std::vector<float> expected = split.run(300);
    HostParameterChanges atStart;
    atStart.add(1, 0, 0.5);
    const std::vector<float> rest = split.run(724, &atStart);
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(whole.run(1024, &changes), expected);
    EXPECT_EQ(whole.controller->getParamNormalized(1), 0.5);
}

TEST(Vst3Module, StateComesBackAndDamagedStatesAreRefused) {
    Instance plugin;
    plugin.start();
    HostParameterChanges changes;
    const double saved[7] = {0.6, 0.6875, 0.9, 0.158, 0.05, 0.1, 0.7};
    for (ParamID id = 0; id < 7; ++id) changes.add(id, 0, saved[id]);
    plugin.run(64, &changes);
    MemoryStream state;
    ASSERT_EQ(plugin.component->getState(&state), kResultOk);
    const std::vector<float> sound = [&] {
        Instance reference;
        reference.start();
        reference.run(64, &changes);
        reference.component->setActive(0);
        reference.component->setActive(1);
        return reference.run(4800);
    }();

    // Every control moved, then the state loaded: values and sound are back.
    Instance other;
    other.start();
    other.run(64);
    state.position = 0;
    ASSERT_EQ(other.component->setState(&state), kResultOk);
    for (ParamID id = 0; id < 7; ++id) EXPECT_FLOAT_EQ(other.controller->getParamNormalized(id), saved[id]) << id;
    other.component->setActive(0);
    other.component->setActive(1);
    other.position = 64;
    EXPECT_EQ(other.run(4800), sound);

    // Truncated at every length, each byte garbled, a later version, an empty stream: refused,
    // with the current values kept.
    std::vector<std::vector<char>> damaged;
    for (std::size_t n = 0; n < state.data.size(); ++n) damaged.emplace_back(state.data.begin(), state.data.begin() + n);
    for (std::size_t i = 0; i < 12; ++i) {
        damaged.push_back(state.data);
        damaged.back()[i] ^= 0x5a;
    }
    damaged.push_back(state.data);
    damaged.back()[4] = 2;
    for (int value : {0, 6}) {
        damaged.push_back(state.data);
        const float bad = value == 0 ? NAN : 1.5f;
        std::memcpy(damaged.back().data() + 12 + 4 * value, &bad, 4);
    }
    Instance fresh;
    for (const std::vector<char>& bytes : damaged) {
        MemoryStream stream(bytes.data(), bytes.size());
        EXPECT_NE(fresh.component->setState(&stream), kResultOk) << bytes.size();
    }
    for (ParamID id = 0; id < 7; ++id) {
        ParameterInfo info{};
        fresh.controller->getParameterInfo(static_cast<std::int32_t>(id), info);
        EXPECT_EQ(fresh.controller->getParamNormalized(id), info.defaultNormalizedValue) << id;
    }
    EXPECT_NE(fresh.component->setState(nullptr), kResultOk);
}

// The host's scale sizes the view before it is attached: the editor at twice its size.
TEST(Vst3Module, TheViewTakesTheHostsContentScale) {
    Instance plugin;
    IPlugView* view = plugin.controller->createView(kEditorViewType);
    ASSERT_NE(view, nullptr);
    void* obj = nullptr;
    ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid.bytes, &obj), kResultOk);
    auto* scaling = static_cast<IPlugViewContentScaleSupport*>(obj);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, 550);
    EXPECT_EQ(size.bottom - size.top, 375);
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultOk);
    EXPECT_NE(scaling->setContentScaleFactor(std::nanf("")), kResultOk);
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, 1100);
    EXPECT_EQ(size.bottom - size.top, 750);
    scaling->release();
    view->release();
}

} // namespace
} // namespace tarn
