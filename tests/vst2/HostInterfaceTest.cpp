#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "tests/vst2/TestHost.h"


// Can replace, can double-replace, and has an editor where the build has one.
#if TARN_EDITOR
constexpr VstInt32 kExpectedFlags = 0x1011;
#else
constexpr VstInt32 kExpectedFlags = 0x1010;
#endif

namespace {

// A text buffer with a canary after `bound` + 1 bytes, to see exactly what an opcode wrote.
struct TextBuffer {
    explicit TextBuffer(char fill = 'x') { std::memset(bytes, fill, sizeof(bytes)); }
    std::string text() const { return std::string(bytes); }
    bool untouchedFrom(std::size_t from, char fill = 'x') const {
        for (std::size_t i = from; i < sizeof(bytes); ++i)
            if (bytes[i] != fill) return false;
        return true;
    }
    bool zeroBetween(std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i <= to; ++i)
            if (bytes[i] != '\0') return false;
        return true;
    }
    char bytes[200];
};

} // namespace

TEST(Entry, RefusesHostsThatAnswerZeroToTheVersionQuery) {
    TestHost host;
    TestHost::versionAnswer = 0;
    EXPECT_EQ(VSTPluginMain(TestHost::callback), nullptr);
    ASSERT_EQ(TestHost::recorded().size(), 1u);
    EXPECT_EQ(TestHost::recorded()[0].opcode, audioMasterVersion);
    EXPECT_EQ(VSTPluginMain(nullptr), nullptr);
}

TEST(Entry, NewInstanceRecord) {
    TestHost host;
    Instance plugin;
    const AEffect& e = *plugin.effect;
    EXPECT_EQ(e.magic, 0x56737450);
    EXPECT_EQ(e.numInputs, 2);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.numPrograms, 1);
    EXPECT_EQ(e.numParams, 9);
    EXPECT_EQ(e.uniqueID, CCONST('w', 'y', '6', '2'));
    EXPECT_EQ(e.uniqueID, 0x77793632);
    EXPECT_EQ(e.version, 1);
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_EQ(e.flags, kExpectedFlags);
    EXPECT_EQ(e.ioRatio, 1.0f);
    EXPECT_EQ(e.resvd1, 0);
    EXPECT_EQ(e.user, nullptr);
    for (char c : e.future) ASSERT_EQ(c, 0);
    // Only the version query reaches the host while an instance is made.
    EXPECT_EQ(TestHost::recorded().size(), 1u);
}

TEST(Dispatcher, FixedAnswers) {
    TestHost host;
    Instance plugin;
    EXPECT_EQ(plugin.dispatch(effIdentify), 1316373862);
    EXPECT_EQ(plugin.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin.dispatch(effGetVendorVersion), 1240);
    EXPECT_EQ(plugin.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(plugin.dispatch(effCanBeAutomated, 100), 1);
    EXPECT_EQ(plugin.dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(plugin.dispatch(effSetTotalSampleToProcess, 0, 4096), 4096);
    EXPECT_EQ(plugin.dispatch(effGetProgram), 0);
    void* chunk = &plugin;
    EXPECT_EQ(plugin.dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(plugin.dispatch(effOpen), 0);
    for (const char* capability : {"receiveVstMidiEvent", "bypass", "sendVstEvents", ""}) {
        std::string text = capability;
        EXPECT_EQ(plugin.dispatch(effCanDo, 0, 0, text.data()), 0) << capability;
    }
    // Resuming asks for no MIDI: not a synth, and canDo answers 0.
    EXPECT_EQ(plugin.dispatch(effMainsChanged, 0, 1), 0);
    EXPECT_EQ(plugin.dispatch(effMainsChanged, 0, 0), 0);
    EXPECT_EQ(TestHost::recorded().size(), 1u);
}

TEST(Dispatcher, EveryOtherOpcodeAnswersZeroAndChangesNothing) {
    TestHost host;
    Instance plugin;
    const VstInt32 answered[] = {effClose, effGetProgram, effIdentify, effCanBeAutomated, effGetProgramNameIndexed,
                                 effGetPlugCategory, effGetEffectName, effGetVendorString, effGetProductString,
                                 effGetVendorVersion, effGetVstVersion, effGetCurrentMidiProgram,
                                 effSetTotalSampleToProcess,
#if TARN_EDITOR
                                 effEditGetRect, effEditOpen, effSetEditKnobMode,
#endif
    };
    for (VstInt32 opcode = -5; opcode <= 200; ++opcode) {
        if (std::find(std::begin(answered), std::end(answered), opcode) != std::end(answered)) continue;
        // A real buffer for every pointer argument, as hosts send.
        char buffer[512] = {};
        void* pointers[4] = {buffer, buffer, buffer, buffer};
        EXPECT_EQ(plugin.dispatch(opcode, 3, opcode == effGetSpeakerArrangement ? reinterpret_cast<VstIntPtr>(&pointers[0]) : 0,
                                  opcode == effGetSpeakerArrangement ? static_cast<void*>(&pointers[1]) : buffer, 0.0f),
                  0)
            << "opcode " << opcode;
    }
    for (int i = 0; i < 9; ++i) EXPECT_EQ(plugin.get(i), plugin.core().getParameter(i));
    EXPECT_EQ(plugin.get(0), 0.5f);
    EXPECT_EQ(plugin.effect->flags, kExpectedFlags);
    // Only the version query: mains on/off, bypass and the rest send nothing to the host.
    EXPECT_EQ(TestHost::recorded().size(), 1u);
}

TEST(Dispatcher, SpeakerArrangementQueryWritesNullArrangements) {
    TestHost host;
    Instance plugin;
    int dummy = 0;
    void* input = &dummy;
    void* output = &dummy;
    EXPECT_EQ(plugin.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
    EXPECT_EQ(plugin.dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 0);
}

TEST(Dispatcher, IdentityTextsAreBoundedZeroFilledAndTerminated) {
    TestHost host;
    Instance plugin;
    struct Case {
        VstInt32 opcode;
        const char* text;
        std::size_t bound;
    };
    for (const Case& c : {Case{effGetEffectName, "tarn Compressor", 32}, Case{effGetProductString, "tarn Compressor", 64},
                          Case{effGetVendorString, "tarn studio", 64}}) {
        TextBuffer buffer;
        EXPECT_EQ(plugin.dispatch(c.opcode, 0, 0, buffer.bytes), 1);
        EXPECT_EQ(buffer.text(), c.text);
        EXPECT_TRUE(buffer.zeroBetween(std::strlen(c.text), c.bound));
        EXPECT_TRUE(buffer.untouchedFrom(c.bound + 1)) << "wrote past the terminator";
        EXPECT_EQ(plugin.dispatch(c.opcode, 0, 0, nullptr), 0);
    }
}

TEST(Dispatcher, ParameterTextsAreEmptyForEveryIndex) {
    TestHost host;
    Instance plugin;
    for (VstInt32 opcode : {effGetParamLabel, effGetParamDisplay, effGetParamName}) {
        for (VstInt32 index : {0, 6, 8, 9, 100, -1}) {
            TextBuffer buffer;
            EXPECT_EQ(plugin.dispatch(opcode, index, 0, buffer.bytes), 0);
            EXPECT_EQ(buffer.bytes[0], '\0');
            EXPECT_TRUE(buffer.untouchedFrom(1));
        }
        EXPECT_EQ(plugin.dispatch(opcode, 0, 0, nullptr), 0);
    }
}

TEST(Programs, OneProgramNamedDefault) {
    TestHost host;
    Instance plugin;
    TextBuffer name;
    EXPECT_EQ(plugin.dispatch(effGetProgramName, 0, 0, name.bytes), 0);
    EXPECT_EQ(name.text(), "Default");
    EXPECT_TRUE(name.zeroBetween(7, 24));
    EXPECT_TRUE(name.untouchedFrom(25));

    TextBuffer indexed;
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 0, 0, indexed.bytes), 1);
    EXPECT_EQ(indexed.text(), "Default");
    TextBuffer other;
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 1, 0, other.bytes), 0);
    EXPECT_TRUE(other.untouchedFrom(0));
    EXPECT_EQ(plugin.dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);
}

TEST(Programs, LongNamesAreCutTo24Characters) {
    TestHost host;
    Instance plugin;
    std::string longName = "abcdefghijklmnopqrstuvwxyz0123";
    EXPECT_EQ(plugin.dispatch(effSetProgramName, 0, 0, longName.data()), 0);
    TextBuffer name;
    plugin.dispatch(effGetProgramName, 0, 0, name.bytes);
    EXPECT_EQ(name.text(), longName.substr(0, 24));
    EXPECT_TRUE(name.untouchedFrom(25));
    EXPECT_EQ(plugin.dispatch(effSetProgramName, 0, 0, nullptr), 0);
    plugin.dispatch(effGetProgramName, 0, 0, name.bytes);
    EXPECT_EQ(name.text(), longName.substr(0, 24));
}

TEST(Programs, SelectingTheProgramKeepsChangedValuesAndOthersAreIgnored) {
    TestHost host;
    Instance plugin;
    plugin.set(0, 0.25f);
    plugin.set(7, 0.75f);
    plugin.set(8, 0.125f);
    const float gain = plugin.engine().inputGain();
    for (VstIntPtr program : {VstIntPtr{1}, VstIntPtr{-1}, VstIntPtr{0}}) {
        EXPECT_EQ(plugin.dispatch(effSetProgram, 0, program), 0);
        EXPECT_EQ(plugin.dispatch(effGetProgram), 0);
        EXPECT_EQ(plugin.get(0), 0.25f);
        EXPECT_EQ(plugin.get(7), 0.75f);
        EXPECT_EQ(plugin.get(8), 0.125f);
        EXPECT_EQ(plugin.engine().inputGain(), gain);
    }
}

#if TARN_EDITOR
// Opening the window needs a display: the editor's own tests do that.
TEST(Dispatcher, EditorOpcodesReachTheEditorWhileItIsClosed) {
    TestHost host;
    Instance plugin;
    ERect* rect = nullptr;
    EXPECT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 550);
    EXPECT_EQ(rect->bottom - rect->top, 375);
    EXPECT_EQ(plugin.dispatch(effEditGetRect, 0, 0, nullptr), 0);
    EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(plugin.dispatch(effEditClose), 0);
    EXPECT_EQ(plugin.dispatch(effEditIdle), 0);
    EXPECT_EQ(plugin.dispatch(effEditKeyDown, 'a', 0, nullptr, 1e30f), 0);
    EXPECT_EQ(plugin.dispatch(effSetEditKnobMode, 0, 2), 1);
    plugin.dispatch(effSetEditKnobMode, 0, 0);
}
#else
TEST(Dispatcher, EditorOpcodesWithoutAnEditorAnswerZero) {
    TestHost host;
    Instance plugin;
    ERect* rect = reinterpret_cast<ERect*>(&plugin);
    EXPECT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 0);
    int window = 0;
    EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, &window), 0);
    EXPECT_EQ(plugin.dispatch(effEditClose), 0);
    EXPECT_EQ(plugin.dispatch(effEditIdle), 0);
    EXPECT_EQ(plugin.dispatch(effEditKeyDown, 'a', 0, nullptr, 1e30f), 0);
    EXPECT_EQ(plugin.dispatch(effSetEditKnobMode, 0, 2), 0);
}
#endif

TEST(Dispatcher, SampleRateAndBlockSize) {
    TestHost host;
    Instance plugin;
    EXPECT_EQ(plugin.core().getSampleRate(), 44100.0f);
    EXPECT_EQ(plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f), 0);
    EXPECT_EQ(plugin.core().getSampleRate(), 96000.0f);
    for (float bad : {0.0f, -48000.0f, std::nanf(""), HUGE_VALF, -HUGE_VALF}) {
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, bad);
        EXPECT_EQ(plugin.core().getSampleRate(), 96000.0f);
    }
    EXPECT_EQ(plugin.dispatch(effSetBlockSize, 0, 64), 0);
    EXPECT_EQ(plugin.dispatch(effSetBlockSize, 0, -1), 0);
}

TEST(Dispatcher, CloseAnswersOneAndHostCallbacksForwardAnswers) {
    TestHost host;
    AEffect* effect = VSTPluginMain(TestHost::callback);
    ASSERT_NE(effect, nullptr);
    auto* core = static_cast<ZuVstCore*>(effect->object);
    EXPECT_EQ(core->canHostDo(const_cast<char*>("sizeWindow")), 0);
    EXPECT_FALSE(core->beginEdit(3));
    EXPECT_FALSE(core->sizeWindow(550, 375));
    core->setParameterAutomated(4, 0.5f);
    EXPECT_EQ(core->getParameter(4), 0.5f);
    const auto calls = TestHost::recorded();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[1].opcode, audioMasterCanDo);
    EXPECT_EQ(calls[2].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[2].index, 3);
    EXPECT_EQ(calls[3].opcode, audioMasterSizeWindow);
    EXPECT_EQ(calls[3].index, 550);
    EXPECT_EQ(calls[3].value, 375);
    EXPECT_EQ(calls[4].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[4].index, 4);
    EXPECT_EQ(calls[4].opt, 0.5f);
    // The instance is destroyed by effClose; the address sanitizer checks nothing is left.
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST(Dispatcher, NullRecordsAndInstancesAreIgnored) {
    TestHost host;
    Instance plugin;
    AEffectDispatcherProc dispatch = plugin.effect->dispatcher;
    EXPECT_EQ(dispatch(nullptr, effIdentify, 0, 0, nullptr, 0.0f), 0);
    AEffect orphan = *plugin.effect;
    orphan.object = nullptr;
    EXPECT_EQ(dispatch(&orphan, effClose, 0, 0, nullptr, 0.0f), 0);
    orphan.setParameter(&orphan, 0, 1.0f);
    EXPECT_EQ(orphan.getParameter(&orphan, 0), 0.0f);
    orphan.processReplacing(&orphan, nullptr, nullptr, 10);
    orphan.process(&orphan, nullptr, nullptr, 10);
}

namespace {
// A plug-in whose every operation throws, as one would whose allocation failed.
class ThrowingEffect : public AudioEffect {
public:
    ThrowingEffect() : AudioEffect(nullptr, 1, 1) {}
    void open() override { throw std::bad_alloc(); }
    void close() override { throw std::bad_alloc(); }
    VstInt32 getChunk(void**, bool) override { throw std::bad_alloc(); }
    void processReplacing(float**, float**, VstInt32) override { throw std::bad_alloc(); }
    void processDoubleReplacing(double**, double**, VstInt32) override { throw std::bad_alloc(); }
    void setParameter(VstInt32, float) override { throw std::bad_alloc(); }
    float getParameter(VstInt32) override { throw std::bad_alloc(); }
};
} // namespace

TEST(Dispatcher, NoExceptionReachesTheHost) {
    AEffect* e = (new ThrowingEffect)->getAeffect();
    void* chunk = nullptr;
    EXPECT_EQ(e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(e->dispatcher(e, effGetChunk, 0, 0, &chunk, 0.0f), 0);
    float* buffers[2] = {nullptr, nullptr};
    double* doubles[2] = {nullptr, nullptr};
    e->processReplacing(e, buffers, buffers, 0);
    e->processDoubleReplacing(e, doubles, doubles, 0);
    e->setParameter(e, 0, 0.5f);
    EXPECT_EQ(e->getParameter(e, 0), 0.0f);
    // The instance goes even when its close fails.
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
}
