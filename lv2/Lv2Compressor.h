#pragma once
#include <cstdint>
#include <memory>

#include "dsp/CompressorEngine.h"
#include "lv2/Ports.h"
#include "dsp/ParameterTable.h"
#include "platform/Lock.h"

namespace tarn::lv2 {

// One instance of the LV2 plug-in: the engine, its lock and the ports the host connected.
// Control values are in natural units; each is turned into the normalised value of the VST
// plug-in and applied through the same mapping, so both formats sound the same.
// Threads: run on the audio thread; construction and destruction on the host's instantiation
// thread; the UI reads the engine under the engine lock through instance access.
class Lv2Compressor {
public:
    // Throws std::bad_alloc when the engine cannot be allocated.
    explicit Lv2Compressor(double sampleRate);

    // Forgets the signal, keeps the settings. Host's instantiation thread, never during run.
    void activate();
    // Any port index and any pointer, null included; an unknown index is ignored.
    void connectPort(std::uint32_t port, void* data);
    // Applies changed controls, then processes the block if all four audio ports are connected,
    // then reports the gain reduction if its port is. Allocates nothing; waits only on the lock.
    void run(std::uint32_t frames);

    CompressorEngine& getEngine() { return *engine; }
    Lock& getEngineLock() { return engineLock; }

private:
    void applyControls();
    // The gain reduction in dB from the detectors, through the run's own fast side of the lock.
    float reductionDb(Lock::FastSide& side);

    std::unique_ptr<CompressorEngine> engine;
    Lock engineLock;
    float sampleRate;
    const float* audioIn[2] = {};
    float* audioOut[2] = {};
    const float* controls[kNumControls] = {};
    float* reduction = nullptr;
    // The natural value last applied for each control, and its normalised value.
    float applied[kNumControls] = {};
    float values[kNumControls] = {};
};

} // namespace tarn::lv2
