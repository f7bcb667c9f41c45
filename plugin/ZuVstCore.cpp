#include "plugin/ZuVstCore.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "plugin/TextCopy.h"
#if TARN_EDITOR
#include "editor/ZuVstGui.h"
#endif

using tarn::CompressorEngine;
using tarn::LockGuard;

namespace {

constexpr float kDefaults[ZuVstCore::kNumParams] = {0.5f, 1.0f, 1.0f, 0.0f, 0.32666659f, 0.1495f, 0.5f, 0.0f, 0.0f};
constexpr const char* kEffectName = "tarn Compressor";
constexpr const char* kVendor = "tarn studio";
constexpr VstInt32 kVendorVersion = 1240;

// Input magnitudes are taken within these bounds: far beyond any real signal above, and
// below, -2000 dB, small enough to count as silence. Within them every gain, square and
// product stays a finite, normal double, so nothing in the engine becomes denormal.
constexpr double kInputLimit = 1e30;
constexpr double kInputFloor = 1e-100;
// Blocks are processed in chunks of this many frames, copied on the stack.
constexpr int kChunkFrames = 256;

double decibelsToAmplitude(double db) { return std::pow(10.0, db / 20.0); }

// Parameter values enter the engine here: a mapping that is not a number leaves the field
// as it was; anything else is kept finite and at least `minimum`, and what would be a
// denormal float becomes 0.
void storeField(std::atomic<float>& field, double value, float minimum) {
    if (std::isnan(value)) return;
    const double bounded = std::clamp(value, static_cast<double>(minimum), static_cast<double>(FLT_MAX));
    field.store(bounded < FLT_MIN ? 0.0f : static_cast<float>(bounded), std::memory_order_relaxed);
}

// The two conversions below are written without branches, so that the compiler copies a
// whole chunk in or out with vector instructions. They take magnitudes and limits with
// minimum and maximum rather than fabs and copysign, which the 32-bit x86 compiler does on the
// x87 unit and in integer halves through memory, at several times the cost.

// Non-finite samples and samples below the floor are taken as silence.
inline double takeInput(double sample) {
    const double magnitude = std::max(sample, -sample);
    const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit);
    return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0;
}

template <typename Sample> inline Sample giveOutput(double sample);
// Rounds to the nearest float. Beyond float's range the output saturates instead of
// overflowing; below its normal range it is 0 instead of a denormal.
template <> inline float giveOutput<float>(double sample) {
    constexpr double kLargest = FLT_MAX;
    const double magnitude = std::max(sample, -sample);
    const float limited = static_cast<float>(std::min(std::max(sample, -kLargest), kLargest));
    return magnitude >= FLT_MIN ? limited : 0.0f;
}
template <> inline double giveOutput<double>(double sample) { return sample; }

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
    for (int i = 0; i < kNumParams; ++i) paramValues[i].store(kDefaults[i], std::memory_order_relaxed);
    tarn::copyText(programNames[0], "Default", kProgramNameLength);
    for (int i = 0; i < kNumParams; ++i) programValues[0][i] = kDefaults[i];
    for (VstInt32 i = 0; i < kNumParams; ++i) setParameter(i, paramValues[i].load(std::memory_order_relaxed));
#if TARN_EDITOR
    // The editor's base hands it to this instance (setEditor), which owns it from then on.
    gui = new ZuVstGui(this);
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

void ZuVstCore::applyToEngine(VstInt32 index, float v) {
    CompressorEngine& e = *engine;
    switch (index) {
    case 0: storeField(e.inputGain, decibelsToAmplitude(v * 48.0f - 24.0f), 0.0f); break;
    case 1:
    case 2: {
        const float t = index == 1 ? v : paramValues[1].load(std::memory_order_relaxed);
        const float k = index == 2 ? v : paramValues[2].load(std::memory_order_relaxed);
        const float thresholdDb = t * 96.0f - 96.0f;
        if (index == 1) storeField(e.threshold, decibelsToAmplitude(thresholdDb), 0.0f);
        const double kneeDb = static_cast<double>(k * 96.0f - 96.0f) + static_cast<double>(thresholdDb);
        storeField(e.kneeStart, decibelsToAmplitude(kneeDb), 0.0f);
        break;
    }
    case 3: storeField(e.ratio, v * 19.0f + 1.0f, 1.0f); break;
    case 4: storeField(e.attackSamples, (v * 149.0f + 1.0f) * e.samplesPerMs.load(std::memory_order_relaxed), 1.0f); break;
    case 5: storeField(e.releaseSamples, (v * 1999.0f + 1.0f) * e.samplesPerMs.load(std::memory_order_relaxed), 1.0f); break;
    case 6: storeField(e.outputGain, decibelsToAmplitude(v * 48.0f - 24.0f), 0.0f); break;
    default: break;
    }
}

void ZuVstCore::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kNumParams) return;
    paramValues[index].store(value, std::memory_order_relaxed);
    applyToEngine(index, value);
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
    {
        LockGuard guard(engineLock);
        engine->io64Bit = io64Bit;
    }
    CompressorEngine& e = *engine;
    const Sample* inL = inputs[0];
    const Sample* inR = inputs[1];
    Sample* outL = outputs[0];
    Sample* outR = outputs[1];
    // Hosts may pass the input buffers as outputs: each chunk is read whole before it is written.
    double left[kChunkFrames];
    double right[kChunkFrames];
    // 64 bits, so that the last step past a frame count near the int32 limit cannot overflow.
    for (std::int64_t start = 0; start < sampleFrames; start += kChunkFrames) {
        const int count = static_cast<int>(std::min<std::int64_t>(kChunkFrames, sampleFrames - start));
        for (int i = 0; i < count; ++i) {
            left[i] = takeInput(inL[start + i]);
            right[i] = takeInput(inR[start + i]);
        }
        // Each frame's results replace its input in the chunk; they go to the host's buffers
        // after the chunk, converted all at once.
        for (int i = 0; i < count; ++i) {
            engineLock.enter();
            e.processSample(left[i], right[i], &left[i], &right[i], AudioEffect::getSampleRate());
            engineLock.leave();
        }
        for (int i = 0; i < count; ++i) {
            outL[start + i] = giveOutput<Sample>(left[i]);
            outR[start + i] = giveOutput<Sample>(right[i]);
        }
    }
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
        applyToEngine(i, programValues[programIndex][i]);
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
