#include "plugin/ZuVstCore.h"

#include "dsp/StereoBlock.h"
#include "dsp/EngineMapping.h"
#include "dsp/ParameterTable.h"
#include "plugin/TextCopy.h"
#if TARN_EDITOR
#include "editor/ZuVstGui.h"
#endif

using tarn::CompressorEngine;
using tarn::LockGuard;

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
    paramValues[index].store(value, std::memory_order_relaxed);
    tarn::applyParameter(*engine, index, value);
#if TARN_EDITOR
    if (gui && gui->isOpen()) gui->setParameter(index, value);
#endif
}

float ZuVstCore::getParameter(VstInt32 index) {
    if (index < 0 || index >= kNumParams) return 0.0f;
    return paramValues[index].load(std::memory_order_relaxed);
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
    LockGuard guard(engineLock);
    curProgram = program;
    for (int i = 0; i < kNumParams; ++i) programValues[programIndex][i] = paramValues[i].load(std::memory_order_relaxed);
    programIndex = program;
    for (VstInt32 i = 0; i < kNumParams; ++i) {
        paramValues[i].store(programValues[programIndex][i], std::memory_order_relaxed);
        tarn::applyParameter(*engine, i, programValues[programIndex][i]);
    }
#if TARN_EDITOR
    // Inside the engine lock the editor only marks what to show at its next idle.
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
