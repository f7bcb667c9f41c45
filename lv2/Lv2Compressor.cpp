#include "lv2/Lv2Compressor.h"

#include <algorithm>
#include <cmath>

#include "dsp/StereoBlock.h"
#include "dsp/EngineMapping.h"

namespace tarn::lv2 {

Lv2Compressor::Lv2Compressor(double rate) : engine(std::make_unique<CompressorEngine>()), sampleRate(static_cast<float>(rate)) {
    // Set up as the VST plug-in is: at 44.1 kHz, the host's rate taken at the first frame. Both
    // formats then count the same durations in samples from the same controls.
    engine->sampleRate = 44100.0f;
    engine->init();
    for (int i = 0; i < kNumControls; ++i) values[i] = defaultValue(i);
    for (int i = 0; i < kNumControls; ++i) {
        applied[i] = toNatural(i, values[i]);
        applyParameter(*engine, i, values[i]);
    }
}

void Lv2Compressor::activate() {
    LockGuard guard(engineLock);
    engine->clearState();
}

void Lv2Compressor::connectPort(std::uint32_t port, void* data) {
    if (port == kInLeft || port == kInRight) audioIn[port - kInLeft] = static_cast<const float*>(data);
    else if (port == kOutLeft || port == kOutRight) audioOut[port - kOutLeft] = static_cast<float*>(data);
    else if (isControl(port)) controls[port - kFirstControl] = static_cast<const float*>(data);
    else if (port == kGainReduction) reduction = static_cast<float*>(data);
}

void Lv2Compressor::applyControls() {
    for (int i = 0; i < kNumControls; ++i) {
        if (!controls[i]) continue;
        const float natural = *controls[i];
        // A value that is not a number is ignored, as the VST plug-in's engine ignores it.
        if (std::isnan(natural) || natural == applied[i]) continue;
        applied[i] = natural;
        values[i] = toNormalised(i, natural);
        applyParameter(*engine, i, values[i]);
    }
}

void Lv2Compressor::run(std::uint32_t frames) {
    applyControls();
    Lock::FastSide side(engineLock);
    if (audioIn[0] && audioIn[1] && audioOut[0] && audioOut[1]) {
        const float rate = sampleRate;
        processStereoBlock(*engine, side, audioIn[0], audioIn[1], audioOut[0], audioOut[1], frames,
                           [rate] { return rate; });
    }
    if (reduction) *reduction = reductionDb(side);
}

float Lv2Compressor::reductionDb(Lock::FastSide& side) {
    side.enter();
    const double in = std::max(engine->meanSquareInL, engine->meanSquareInR);
    const double out = std::max(engine->meanSquareOutL, engine->meanSquareOutR);
    side.leave();
    // The detectors before and after the gain stage, both over 30 ms: their ratio is the gain.
    if (!(in > 0.0) || !(out > 0.0)) return 0.0f;
    const double db = 10.0 * std::log10(in / out);
    return static_cast<float>(std::clamp(db, 0.0, static_cast<double>(kMaxReductionDb)));
}

} // namespace tarn::lv2
