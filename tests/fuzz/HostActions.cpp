#include "tests/fuzz/HostActions.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "tests/SoundOracle.h"
#include "tests/fuzz/Signals.h"
#include "tools/vsthost/HostWindow.h"

namespace tarn::fuzz {

std::atomic<std::uint64_t> HostActions::performed{0};

namespace {

constexpr VstInt32 kParams = 9;
constexpr int kMaxFrames = 8192;
constexpr float kSentinel = 7.0f;

[[noreturn]] void fail(const char* what, long long detail = 0) {
    std::fprintf(stderr, "host action check failed: %s (%lld)\n", what, detail);
    std::fflush(stderr);
    std::abort();
}

void check(bool ok, const char* what, long long detail = 0) {
    if (!ok) fail(what, detail);
}

VstInt32 anyInt(ByteReader& in) {
    static const VstInt32 special[] = {0, 1, -1, 2, 8, 9, 10, 24, 100, 255, 256, INT_MAX, INT_MIN, INT_MAX - 1};
    const std::uint8_t pick = in.byte();
    if (pick < 128) return special[pick % (sizeof special / sizeof *special)];
    return in.raw<VstInt32>();
}

VstIntPtr anyIntPtr(ByteReader& in) {
    const std::uint8_t pick = in.byte();
    if (pick < 96) return anyInt(in);
    if (pick < 128) return pick % 2 ? std::numeric_limits<VstIntPtr>::max() : std::numeric_limits<VstIntPtr>::min();
    return in.raw<VstIntPtr>();
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

// A host's buffer: exactly `size` bytes on the heap, so the address sanitizer sees any access
// past the end.
struct Buffer {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;

    void* make(std::size_t n, ByteReader& in, bool terminated) {
        size = n;
        bytes = std::make_unique<char[]>(n);
        SplitMix random(in.raw<std::uint32_t>());
        for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(random.next());
        if (terminated && n > 0) bytes[n - 1] = '\0';
        return bytes.get();
    }
    bool terminatedWithin(std::size_t bound) const {
        return std::memchr(bytes.get(), '\0', std::min(bound + 1, size)) != nullptr;
    }
};

// The least a host's buffer holds for an opcode that writes through ptr; 0 where the opcode
// writes nothing.
std::size_t writtenSize(VstInt32 opcode) {
    switch (opcode) {
    case effGetProgramName:
    case effGetProgramNameIndexed: return 25;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName: return 9;
    case effGetEffectName: return 33;
    case effGetVendorString:
    case effGetProductString: return 65;
    case effEditGetRect:
    case effGetChunk:
    case effGetSpeakerArrangement: return sizeof(void*);
    default: return 0;
    }
}

bool readsText(VstInt32 opcode) {
    return opcode == effSetProgramName || opcode == effString2Parameter || opcode == effCanDo;
}


} // namespace

HostActions::HostActions(PluginEntry entry, HostWindow* window) : entry(entry), window(window) {}

HostActions::~HostActions() { closeInstance(); }

std::uint64_t HostActions::run(ByteReader& in) {
    std::uint64_t count = 0;
    while (!in.done()) {
        perform(in);
        ++count;
        const std::uint64_t all = ++performed;
        if (all % 1000000 == 0) std::fprintf(stderr, "host actions: %llu\n", static_cast<unsigned long long>(all));
    }
    return count;
}

void HostActions::perform(ByteReader& in) {
    const std::uint8_t action = in.byte() % 32;
    if (action == 31) return refusedEntry();
    ensureInstance(in);
    if (action < 12) return dispatchAny(in);
    if (action < 16) return setParameter(in);
    if (action < 18) return getParameter(in);
    if (action < 22) return process<float>(in);
    if (action < 26) return process<double>(in);
    if (action == 26) {
        dispatch(effSetSampleRate, 0, 0, nullptr, anyFloat(in));
        return;
    }
    if (action == 27) {
        dispatch(effSetBlockSize, 0, anyIntPtr(in), nullptr, 0.0f);
        return;
    }
    if (action < 30) return editor(in);
    closeInstance();
}

void HostActions::ensureInstance(ByteReader& in) {
    if (effect) return;
    effect = entry(hostCallback);
    check(effect != nullptr, "the entry point made no instance");
    check(effect->magic == kEffectMagic && effect->numParams == kParams, "the record's magic or parameter count");
    effect->user = this;
    static const VstIntPtr answers[] = {0, 1, -1, 0};
    hostAnswer = answers[in.byte() % 4];
    std::fill(std::begin(known), std::end(known), false);
    gainValues[0] = gainValues[1] = 0.5f;
}

void HostActions::remember(VstInt32 index, float value) {
    expected[index] = value;
    known[index] = true;
    // A value that is not a number leaves the engine's setting as it was.
    if ((index == 0 || index == 6) && !std::isnan(value)) gainValues[index == 0 ? 0 : 1] = value;
}

void HostActions::closeInstance() {
    if (!effect) return;
    const VstIntPtr answer = effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
    check(answer == 1, "effClose answers 1", answer);
}

VstIntPtr HostActions::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void HostActions::dispatchAny(ByteReader& in) {
    const VstInt32 opcode = -10 + in.byte() % 211;
    const VstInt32 index = anyInt(in);
    VstIntPtr value = anyIntPtr(in);
    const float opt = anyFloat(in);

    Buffer buffer;
    Buffer valueBuffer;
    void* ptr = nullptr;
    const std::uint8_t pointerChoice = in.byte();
    if (opcode == effEditOpen) {
        ptr = window && pointerChoice % 4 != 0 ? window->handle() : nullptr;
    } else if (pointerChoice % 8 != 0) {
        // A text input holds at least its terminator.
        const std::size_t least = readsText(opcode) ? 1 : writtenSize(opcode);
        const std::size_t size = least ? least + in.byte() % 16 : in.raw<std::uint16_t>() % 4097;
        ptr = buffer.make(size, in, readsText(opcode));
    }
    if (opcode == effGetSpeakerArrangement || opcode == effSetSpeakerArrangement)
        value = in.byte() % 2 ? reinterpret_cast<VstIntPtr>(valueBuffer.make(sizeof(void*), in, false)) : 0;
    if (opcode == effSetChunk && ptr) value = static_cast<VstIntPtr>(buffer.size);
    if (opcode == effClose) return closeInstance();

    const VstIntPtr answer = dispatch(opcode, index, value, ptr, opt);

    if (ptr && opcode != effEditOpen) {
        if (opcode == effGetProgramName || (opcode == effGetProgramNameIndexed && answer == 1))
            check(buffer.terminatedWithin(24), "program name terminated within 24", opcode);
        if (opcode == effGetEffectName) check(buffer.terminatedWithin(32), "effect name terminated within 32");
        if (opcode == effGetVendorString || opcode == effGetProductString)
            check(buffer.terminatedWithin(64), "vendor or product terminated within 64", opcode);
        if (opcode == effGetParamLabel || opcode == effGetParamDisplay || opcode == effGetParamName)
            check(buffer.terminatedWithin(8), "parameter text terminated within 8", opcode);
    }
    if (opcode == effEditGetRect && answer == 1) {
        ERect* rect = nullptr;
        std::memcpy(&rect, buffer.bytes.get(), sizeof rect);
        check(rect && rect->right > rect->left && rect->bottom > rect->top, "effEditGetRect gives a rectangle");
    }
    if (opcode == effIdentify) check(answer == CCONST('N', 'v', 'E', 'f'), "effIdentify", answer);
    if (opcode == effSetTotalSampleToProcess) check(answer == value, "effSetTotalSampleToProcess echoes value");
    if (opcode < 0 || opcode > effGetNumMidiOutputChannels) check(answer == 0, "unknown opcodes answer 0", opcode);
}

void HostActions::setParameter(ByteReader& in) {
    const std::uint8_t pick = in.byte();
    const VstInt32 index = pick < 224 ? static_cast<VstInt32>(pick % 12) - 1 : anyInt(in);
    const float value = anyFloat(in);
    effect->setParameter(effect, index, value);
    if (index >= 0 && index < kParams) remember(index, value);
}

void HostActions::getParameter(ByteReader& in) {
    const std::uint8_t pick = in.byte();
    const VstInt32 index = pick < 224 ? static_cast<VstInt32>(pick % 12) - 1 : anyInt(in);
    const float value = effect->getParameter(effect, index);
    if (index < 0 || index >= kParams)
        check(value == 0.0f, "parameters outside 0 to 8 read as 0", index);
    else if (known[index])
        check(sameBits(value, expected[index]), "a parameter reads back as set", index);
}

template <typename Sample> void HostActions::process(ByteReader& in) {
    const std::uint8_t framePick = in.byte();
    VstInt32 frames;
    if (framePick < 160) frames = static_cast<VstInt32>(in.raw<std::uint16_t>() % (kMaxFrames + 1));
    else if (framePick < 232) frames = framePick % 17;
    else if (framePick < 240) frames = kMaxFrames;
    else if (framePick < 248) frames = -static_cast<VstInt32>(in.byte()) - 1;
    else frames = framePick % 2 ? INT_MIN : -static_cast<VstInt32>(in.raw<std::uint16_t>());
    const int n = std::max(frames, 0);

    const Layout layout = static_cast<Layout>(in.byte() % 6);
    // Four channels of exactly n samples: two of input, two of output.
    std::vector<std::unique_ptr<Sample[]>> channels;
    for (int c = 0; c < 4; ++c) channels.push_back(std::make_unique<Sample[]>(static_cast<std::size_t>(n)));
    Sample* inL = channels[0].get();
    Sample* inR = channels[1].get();
    fillSignal(inL, n, in);
    if (in.byte() % 4 == 0) std::copy_n(inL, n, inR);
    else fillSignal(inR, n, in);
    for (int c = 2; c < 4; ++c) std::fill_n(channels[static_cast<std::size_t>(c)].get(), n, static_cast<Sample>(kSentinel));
    const bool finiteInput = allFinite(inL, n) && allFinite(inR, n);
    const std::vector<Sample> sent[2] = {{inL, inL + n}, {inR, inR + n}};

    Sample* inputs[2] = {inL, inR};
    Sample* outputs[2] = {channels[2].get(), channels[3].get()};
    Sample** inputArray = inputs;
    Sample** outputArray = outputs;
    const std::uint8_t which = in.byte();
    switch (layout) {
    case Layout::Separate: break;
    case Layout::InPlace: outputs[0] = inL, outputs[1] = inR; break;
    case Layout::Crossed: outputs[0] = inR, outputs[1] = inL; break;
    case Layout::SharedOutput: outputs[1] = outputs[0]; break;
    case Layout::NullArray: (which % 2 ? inputArray : outputArray) = nullptr; break;
    case Layout::NullChannel: (which % 4 < 2 ? inputs : outputs)[which % 2] = nullptr; break;
    }

    // Now and then the deprecated accumulating call, which must do nothing at all.
    const bool accumulating = sizeof(Sample) == sizeof(float) && layout == Layout::Separate && which % 8 == 0;
    if constexpr (sizeof(Sample) == sizeof(float)) {
        if (accumulating) effect->process(effect, inputArray, outputArray, frames);
        else effect->processReplacing(effect, inputArray, outputArray, frames);
    } else {
        effect->processDoubleReplacing(effect, inputArray, outputArray, frames);
    }

    if (accumulating || layout == Layout::NullArray || layout == Layout::NullChannel || frames <= 0) {
        for (int c = 2; c < 4; ++c)
            for (int i = 0; i < n; ++i)
                check(channels[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] == static_cast<Sample>(kSentinel),
                      "a block that must do nothing wrote output", frames);
        return;
    }
    // Both outputs on one buffer leave the right channel's samples in it.
    const double gains = oracle::gainOfNormalised(gainValues[0]) * oracle::gainOfNormalised(gainValues[1]);
    for (int c = layout == Layout::SharedOutput ? 1 : 0; c < 2; ++c)
        for (int i = 0; i < n; ++i)
            check(oracle::keepsGainAndSign(sent[c][static_cast<std::size_t>(i)], outputs[c][i], gains),
                  "no output sample louder than its input through the gains, or of the other sign", i);
    if (!finiteInput) return;
    check(allCanBeNormalOrZero(outputs[0], n) && allCanBeNormalOrZero(outputs[1], n),
          "finite input gives finite output without denormals", frames);
}

void HostActions::editor(ByteReader& in) {
    if (!(effect->flags & effFlagsHasEditor)) {
        if (window) check(dispatch(effEditOpen, 0, 0, window->handle(), 0.0f) == 0, "effEditOpen without an editor");
        return;
    }
    ERect* rect = nullptr;
    check(dispatch(effEditGetRect, 0, 0, &rect, 0.0f) == 1 && rect, "effEditGetRect with an editor");
    if (!window) return;
    dispatch(effEditOpen, 0, 0, window->handle(), 0.0f);
    const int idles = in.byte() % 3;
    for (int i = 0; i < idles; ++i) {
        window->processEvents();
        dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
    }
    // Otherwise the editor stays open: closed later, or with the instance.
    if (in.byte() % 2) dispatch(effEditClose, 0, 0, nullptr, 0.0f);
    window->processEvents();
}

void HostActions::refusedEntry() { check(entry(oldHostCallback) == nullptr, "a host answering version 0 is refused"); }

VstIntPtr VSTCALLBACK HostActions::hostCallback(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                                float opt) {
    if (opcode == audioMasterVersion) return 2400;
    check(e && e->user, "the plug-in calls the host with its own record", opcode);
    auto* host = static_cast<HostActions*>(e->user);
    check(host->effect == e, "the plug-in calls the host with its own record", opcode);
    if (opcode == audioMasterAutomate && index >= 0 && index < kParams) host->remember(index, opt);
    return host->hostAnswer;
}

VstIntPtr VSTCALLBACK HostActions::oldHostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    check(opcode == audioMasterVersion, "a refused host receives only the version query", opcode);
    return 0;
}

} // namespace tarn::fuzz
