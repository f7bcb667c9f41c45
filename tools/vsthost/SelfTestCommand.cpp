#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>

#include "tools/vsthost/ChannelBuffers.h"
#include "tools/vsthost/Commands.h"
#include "tools/vsthost/HostCallback.h"
#include "tools/vsthost/Plugin.h"
#include "tools/vsthost/SignalGenerator.h"

// Checks of a stereo plug-in's host boundary that need a host: in-place buffers, degenerate
// blocks, non-finite input and parameters, bad sample rates, null text pointers. Each check
// compares an instance that went through the odd case with one that did not.
namespace tarn {

namespace {

constexpr float kRate = 48000.0f;
constexpr std::size_t kFrames = 2048;
constexpr std::size_t kBlock = 256;
constexpr float kSentinel = 12345.0f;
// Threshold -24 dB, ratio 10:1, short attack: the compressor works on the test signal.
const std::vector<ParameterSetting> kCompressing = {{1, 0.75f}, {3, 0.5f}, {4, 0.01f}, {5, 0.05f}};

struct Report {
    int passed = 0;
    int failed = 0;

    void check(const std::string& name, bool ok, const std::string& detail = "") {
        if (ok) {
            ++passed;
            std::printf("ok   %s\n", name.c_str());
        } else {
            ++failed;
            std::printf("FAIL %s%s%s\n", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
        }
    }
};

template <typename Sample>
struct Stereo {
    std::vector<Sample> left;
    std::vector<Sample> right;

    bool operator==(const Stereo& other) const { return left == other.left && right == other.right; }
};

template <typename Sample>
Stereo<Sample> testSignal(double peak, int variant = 0) {
    Stereo<Sample> s;
    const std::vector<double> l = generateSignal(Signal::Noise, peak, 0.0, kRate, variant * 2, kFrames);
    const std::vector<double> r = generateSignal(Signal::Noise, peak, 0.0, kRate, variant * 2 + 1, kFrames);
    s.left.assign(l.begin(), l.end());
    s.right.assign(r.begin(), r.end());
    return s;
}

std::unique_ptr<Plugin> startedInstance(const std::string& path, bool doublePrecision, std::string& error) {
    std::unique_ptr<Plugin> plugin = Plugin::load(path, error);
    if (!plugin || !plugin->setParameters(kCompressing, error)) return nullptr;
    plugin->start(kRate, static_cast<VstInt32>(kBlock), doublePrecision);
    return plugin;
}

// Streams the signal through in blocks, from separate input buffers or from buffers that
// serve as input and output at once.
template <typename Sample>
Stereo<Sample> run(Plugin& plugin, const Stereo<Sample>& input, bool inPlace = false) {
    Stereo<Sample> output = input;
    ChannelBuffers<Sample> in(2, kBlock);
    ChannelBuffers<Sample> out(2, kBlock);
    for (std::size_t start = 0; start < kFrames; start += kBlock) {
        std::copy_n(input.left.begin() + static_cast<long>(start), kBlock, in[0]);
        std::copy_n(input.right.begin() + static_cast<long>(start), kBlock, in[1]);
        plugin.process(in.data(), inPlace ? in.data() : out.data(), static_cast<VstInt32>(kBlock));
        ChannelBuffers<Sample>& result = inPlace ? in : out;
        std::copy_n(result[0], kBlock, output.left.begin() + static_cast<long>(start));
        std::copy_n(result[1], kBlock, output.right.begin() + static_cast<long>(start));
    }
    return output;
}

template <typename Sample>
bool allFinite(const Stereo<Sample>& s) {
    for (const std::vector<Sample>* channel : {&s.left, &s.right})
        for (Sample x : *channel)
            if (!std::isfinite(x)) return false;
    return true;
}

template <typename Sample>
void checkInPlace(Report& report, const std::string& path, const char* name) {
    std::string error;
    const bool wide = sizeof(Sample) == sizeof(double);
    auto separate = startedInstance(path, wide, error);
    auto inPlace = startedInstance(path, wide, error);
    if (!separate || !inPlace) return report.check(name, false, error);
    const Stereo<Sample> signal = testSignal<Sample>(0.5);
    const Stereo<Sample> expected = run(*separate, signal);
    report.check(name, run(*inPlace, signal, true) == expected && !(expected == signal),
                 "in-place output differs from separate buffers (or nothing was processed)");
}

// Runs `oddCase` on one instance between two blocks of signal, and compares what follows with
// an instance that saw only the signal.
template <typename OddCase>
void checkHarmless(Report& report, const std::string& path, const std::string& name, OddCase oddCase) {
    std::string error;
    auto touched = startedInstance(path, false, error);
    auto reference = startedInstance(path, false, error);
    if (!touched || !reference) return report.check(name, false, error);
    const Stereo<float> first = testSignal<float>(0.5, 0);
    const Stereo<float> second = testSignal<float>(0.5, 1);
    run(*touched, first);
    run(*reference, first);
    std::string detail;
    const bool ok = oddCase(*touched, detail);
    const bool same = run(*touched, second) == run(*reference, second);
    report.check(name, ok && same, !ok ? detail : "later output differs from an instance that did not see it");
}

// A block call that must do nothing: outputs keep the sentinel.
bool untouched(ChannelBuffers<float>& out, std::string& detail) {
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < kBlock; ++i)
            if (out[c][i] != kSentinel) {
                detail = "an output sample was written";
                return false;
            }
    return true;
}

void checkDegenerateBlocks(Report& report, const std::string& path) {
    // nullChannel: 0 or 1 nulls that input channel, 2 or 3 that output channel, -1 none.
    const auto degenerate = [](VstInt32 frames, bool nullInputs, bool nullOutputs, int nullChannel) {
        return [=](Plugin& plugin, std::string& detail) {
            ChannelBuffers<float> in(2, kBlock);
            ChannelBuffers<float> out(2, kBlock);
            for (std::size_t c = 0; c < 2; ++c) {
                std::fill_n(in[c], kBlock, 0.25f);
                std::fill_n(out[c], kBlock, kSentinel);
            }
            float* inputs[2] = {in[0], in[1]};
            float* outputs[2] = {out[0], out[1]};
            if (nullChannel == 0 || nullChannel == 1) inputs[nullChannel] = nullptr;
            if (nullChannel == 2 || nullChannel == 3) outputs[nullChannel - 2] = nullptr;
            plugin.process(nullInputs ? nullptr : inputs, nullOutputs ? nullptr : outputs, frames);
            return untouched(out, detail);
        };
    };
    checkHarmless(report, path, "zero-frame block", degenerate(0, false, false, -1));
    checkHarmless(report, path, "negative frame count", degenerate(-1, false, false, -1));
    checkHarmless(report, path, "most negative frame count", degenerate(INT_MIN, false, false, -1));
    checkHarmless(report, path, "null input array", degenerate(static_cast<VstInt32>(kBlock), true, false, -1));
    checkHarmless(report, path, "null output array", degenerate(static_cast<VstInt32>(kBlock), false, true, -1));
    checkHarmless(report, path, "null input channel", degenerate(static_cast<VstInt32>(kBlock), false, false, 1));
    checkHarmless(report, path, "null output channel", degenerate(static_cast<VstInt32>(kBlock), false, false, 3));
}

template <typename Sample>
void checkNonFiniteInput(Report& report, const std::string& path, const char* name) {
    std::string error;
    auto plugin = startedInstance(path, sizeof(Sample) == sizeof(double), error);
    if (!plugin) return report.check(name, false, error);
    Stereo<Sample> signal = testSignal<Sample>(0.5);
    const Sample odd[] = {std::numeric_limits<Sample>::quiet_NaN(), std::numeric_limits<Sample>::infinity(),
                          -std::numeric_limits<Sample>::infinity(), std::numeric_limits<Sample>::max(),
                          -std::numeric_limits<Sample>::max()};
    for (std::size_t i = 0; i < kFrames; i += 97) signal.left[i] = signal.right[(i + 13) % kFrames] = odd[i % 5];
    const bool duringFinite = allFinite(run(*plugin, signal));
    const bool afterFinite = allFinite(run(*plugin, testSignal<Sample>(0.5, 1)));
    report.check(name, duringFinite && afterFinite, duringFinite ? "later output not finite" : "output not finite");
}

void checkParameters(Report& report, const std::string& path) {
    checkHarmless(report, path, "parameter index out of range", [](Plugin& plugin, std::string& detail) {
        AEffect& e = plugin.effect();
        std::vector<float> before;
        for (VstInt32 i = 0; i < e.numParams; ++i) before.push_back(e.getParameter(&e, i));
        for (VstInt32 index : {e.numParams, -1, INT_MAX, INT_MIN}) e.setParameter(&e, index, 0.3f);
        for (VstInt32 i = 0; i < e.numParams; ++i)
            if (e.getParameter(&e, i) != before[static_cast<std::size_t>(i)]) {
                detail = "parameter " + std::to_string(i) + " changed";
                return false;
            }
        if (e.getParameter(&e, e.numParams) != 0.0f || e.getParameter(&e, -1) != 0.0f) {
            detail = "getParameter outside the range answers non-zero";
            return false;
        }
        return true;
    });

    std::string error;
    auto plugin = startedInstance(path, false, error);
    if (!plugin) return report.check("odd parameter values kept and harmless", false, error);
    AEffect& e = plugin->effect();
    const float odd[] = {1.5f, -0.25f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f, 2.0f, -3.0f};
    bool kept = true;
    for (VstInt32 i = 0; i < e.numParams && i < 9; ++i) {
        e.setParameter(&e, i, odd[i]);
        const float back = e.getParameter(&e, i);
        kept = kept && (std::isnan(odd[i]) ? std::isnan(back) : back == odd[i]);
    }
    const bool finite = allFinite(run(*plugin, testSignal<float>(0.5)));
    report.check("odd parameter values kept and harmless", kept && finite,
                 kept ? "output not finite" : "getParameter does not return the value set");
}

void checkSampleRates(Report& report, const std::string& path) {
    checkHarmless(report, path, "invalid sample rates ignored", [](Plugin& plugin, std::string&) {
        for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity()})
            plugin.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        return true;
    });
}

void checkNullText(Report& report, const std::string& path) {
    checkHarmless(report, path, "text opcodes with a null pointer", [](Plugin& plugin, std::string& detail) {
        const std::string name = plugin.text(effGetProgramName);
        for (VstInt32 opcode : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                                effGetParamName, effGetProgramNameIndexed, effGetEffectName, effGetVendorString,
                                effGetProductString, effCanDo})
            if (plugin.dispatch(opcode, 0, 0, nullptr) != 0) {
                detail = "opcode " + std::to_string(opcode) + " answers non-zero";
                return false;
            }
        if (plugin.text(effGetProgramName) != name) {
            detail = "the program name changed";
            return false;
        }
        return true;
    });
}

void checkPrecisionsAgree(Report& report, const std::string& path) {
    std::string error;
    auto narrow = startedInstance(path, false, error);
    auto wide = startedInstance(path, true, error);
    if (!narrow || !wide) return report.check("32-bit output is the 64-bit output rounded", false, error);
    const Stereo<float> signal = testSignal<float>(0.5);
    Stereo<double> widened;
    widened.left.assign(signal.left.begin(), signal.left.end());
    widened.right.assign(signal.right.begin(), signal.right.end());
    const Stereo<float> narrowOut = run(*narrow, signal);
    const Stereo<double> wideOut = run(*wide, widened);
    Stereo<float> rounded;
    rounded.left.assign(wideOut.left.begin(), wideOut.left.end());
    rounded.right.assign(wideOut.right.begin(), wideOut.right.end());
    report.check("32-bit output is the 64-bit output rounded", rounded == narrowOut);
}

void checkSilence(Report& report, const std::string& path) {
    std::string error;
    auto plugin = startedInstance(path, false, error);
    if (!plugin) return report.check("no denormal output in silence", false, error);
    run(*plugin, testSignal<float>(1.0));
    const Stereo<float> silence = testSignal<float>(0.0);
    bool normal = true;
    for (int i = 0; i < 100 && normal; ++i) {
        const Stereo<float> out = run(*plugin, silence);
        for (const std::vector<float>* channel : {&out.left, &out.right})
            for (float x : *channel) normal = normal && std::fpclassify(x) != FP_SUBNORMAL && std::isfinite(x);
    }
    report.check("no denormal output in silence", normal);
}

std::atomic<int> versionQueries{0};
std::atomic<int> otherCalls{0};

VstIntPtr VSTCALLBACK oldHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    (opcode == audioMasterVersion ? versionQueries : otherCalls).fetch_add(1);
    return 0;
}

void checkEntry(Report& report, Plugin& plugin) {
    // A VST 3 bundle has no VST 2.4 entry point to probe.
    if (!plugin.entry()) return;
    AEffect* refused = plugin.entry()(oldHost);
    report.check("entry refuses a host that answers version 0",
                 !refused && versionQueries.load() == 1 && otherCalls.load() == 0);
    AEffect* extra = plugin.entry()(hostCallback);
    const bool made = extra && extra->magic == kEffectMagic && extra != &plugin.effect();
    const bool closed = made && extra->dispatcher(extra, effClose, 0, 0, nullptr, 0.0f) == 1;
    report.check("entry makes a separate instance; effClose answers 1", made && closed);
}

} // namespace

int runSelfTest(const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError("usage: vsthost selftest <plugin>");
    const std::string& path = args[0];
    std::string error;
    std::unique_ptr<Plugin> plugin = Plugin::load(path, error);
    if (!plugin) return fail(error);
    const AEffect& e = plugin->effect();
    if (e.numInputs != 2 || e.numOutputs != 2 || !(e.flags & effFlagsCanReplacing) ||
        !(e.flags & effFlagsCanDoubleReplacing))
        return fail("the self-test needs a stereo plug-in with both replacing callbacks");

    Report report;
    checkEntry(report, *plugin);
    checkInPlace<float>(report, path, "in-place buffers, 32-bit");
    checkInPlace<double>(report, path, "in-place buffers, 64-bit");
    checkPrecisionsAgree(report, path);
    checkDegenerateBlocks(report, path);
    checkNonFiniteInput<float>(report, path, "non-finite input, 32-bit");
    checkNonFiniteInput<double>(report, path, "non-finite input, 64-bit");
    checkParameters(report, path);
    checkSampleRates(report, path);
    checkNullText(report, path);
    checkSilence(report, path);
    std::printf("selftest: %d checks, %d failed\n", report.passed + report.failed, report.failed);
    return report.failed == 0 ? 0 : 1;
}

} // namespace tarn
