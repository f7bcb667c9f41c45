#include "vst2/ZuVstCore.h"

#include <cmath>

#include "dsp/StereoBlock.h"
#include "dsp/EngineMapping.h"
#include "dsp/ParameterTable.h"
#include "vst2/TextCopy.h"
#if TARN_EDITOR
#include "editor/ZuVstGui.h"
#endif

using tarn::CompressorEngine;

namespace {

constexpr const char* kEffectName = "tarn Compressor";
constexpr const char* kVendor = "tarn studio";
constexpr VstInt32 kVendorVersion = 1240;

} // namespace

ZuVstCore::ZuVstCore(audioMasterCallback audioMaster) : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(CCONST('w', 'y', '6', '2'));
    isSynth(false);
    canProcessReplacing(true);
    canDoubleReplacing(true);

    engine = std::make_unique<CompressorEngine>();
    engine->sampleRate = 44100.0f;
    engine->init();

    paramValues = std::make_unique<std::atomic<float>[]>(kNumParams);
    for (int i = 0; i < kNumParams; ++i) paramValues[i].store(tarn::defaultValue(i), std::memory_order_relaxed);
    tarn::copyText(programNames[0], "Default", kProgramNameLength);
    for (int i = 0; i < kNumParams; ++i) programValues[0][i] = tarn::defaultValue(i);
    for (VstInt32 i = 0; i < kNumParams; ++i) setParameter(i, paramValues[i].load(std::memory_order_relaxed));
#if TARN_EDITOR
    // The editor's base hands it to this instance (setEditor), which owns it from then on.
    gui = new ZuVstGui(*this, this);
    gui->setEngine(engine.get());
#endif
}

ZuVstCore::~ZuVstCore() {
#if TARN_EDITOR
    // The editor goes before the engine, and stops touching the engine and its lock first.
    if (!gui) return;
    gui->setEngine(nullptr);
    setEditor(nullptr);
#endif
}

void ZuVstCore::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kNumParams) return;
    storeAndApply(index, value);
#if TARN_EDITOR
    if (gui && gui->isOpen()) gui->setParameter(index, value);
#endif
}

// The knob and the host's automation may set one parameter at once from two threads. The
// engine is set from the stored value, and set again while the stored value moved on in the
// meantime, so that it ends with the value stored last. No lock and no waiting: a round is
// repeated only when another thread stored a value. Every access to the stored value is a
// read-modify-write, so that each one sees the engine settings made before the previous one.
void ZuVstCore::storeAndApply(VstInt32 index, float value) {
    std::atomic<float>& stored = paramValues[index];
    stored.exchange(value);
    for (float applied = value;;) {
        tarn::applyParameter(*engine, index, applied);
        // Compares the bits, so that a value that is not a number settles too; on a mismatch
        // it reads the newer value into applied.
        if (stored.compare_exchange_strong(applied, applied)) return;
    }
}

bool ZuVstCore::resizeEditor(std::int32_t width, std::int32_t height) {
    char text[] = "sizeWindow";
    return canHostDo(text) == 1 && sizeWindow(width, height);
}

VstIntPtr ZuVstCore::vendorSpecific(VstInt32 index, VstIntPtr value, void*, [[maybe_unused]] float opt) {
    constexpr VstInt32 presonus = CCONST('P', 'r', 'e', 'S');
    constexpr VstInt32 contentScale = CCONST('A', 'e', 'C', 's');
    if (!(index == contentScale || (index == presonus && value == contentScale))) return 0;
#if TARN_EDITOR
    if (gui && std::isfinite(opt) && opt > 0.0f) {
        gui->setHostScale(opt);
        return 1;
    }
#endif
    return 0;
}

float ZuVstCore::getParameter(VstInt32 index) {
    if (index < 0 || index >= kNumParams) return 0.0f;
    return paramValues[index].load();
}

template <typename Sample>
void ZuVstCore::processBlock(Sample** inputs, Sample** outputs, VstInt32 sampleFrames, bool io64Bit) {
    if (!inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1] || sampleFrames < 0) return;
    engine->io64Bit.store(io64Bit, std::memory_order_relaxed);
    tarn::Lock::FastSide side(engineLock);
    tarn::processStereoBlock(*engine, side, inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames,
                             [this] { return AudioEffect::getSampleRate(); });
}

void ZuVstCore::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, false);
}

void ZuVstCore::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, true);
}

void ZuVstCore::setProgram(VstInt32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    // The engine takes the program's values together; a second program change waits here.
    CompressorEngine::SettingsGroup group(*engine);
    curProgram = program;
    for (int i = 0; i < kNumParams; ++i) programValues[programIndex][i] = paramValues[i].load(std::memory_order_relaxed);
    programIndex = program;
    for (VstInt32 i = 0; i < kNumParams; ++i) storeAndApply(i, programValues[programIndex][i]);
#if TARN_EDITOR
    // The editor only marks what to show at its next idle.
    if (gui)
        for (VstInt32 i = 0; i < kNumParams; ++i) gui->showLater(i);
#endif
}

void ZuVstCore::setProgramName(char* name) { tarn::copyText(programNames[programIndex], name, kProgramNameLength); }

void ZuVstCore::getProgramName(char* name) { tarn::copyText(name, programNames[programIndex], kProgramNameLength); }

bool ZuVstCore::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    if (index != 0) return false;
    tarn::copyText(text, programNames[0], kProgramNameLength);
    return true;
}

bool ZuVstCore::getEffectName(char* name) {
    tarn::copyText(name, kEffectName, 32);
    return true;
}

bool ZuVstCore::getVendorString(char* text) {
    tarn::copyText(text, kVendor, 64);
    return true;
}

bool ZuVstCore::getProductString(char* text) {
    tarn::copyText(text, kEffectName, 64);
    return true;
}

VstInt32 ZuVstCore::getVendorVersion() { return kVendorVersion; }

VstPlugCategory ZuVstCore::getPlugCategory() { return kPlugCategEffect; }
