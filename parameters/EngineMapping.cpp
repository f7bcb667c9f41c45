#include "parameters/EngineMapping.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "dsp/CompressorEngine.h"
#include "parameters/ParameterTable.h"

namespace tarn {

namespace {

double decibelsToAmplitude(double db) { return std::pow(10.0, db / 20.0); }

// Kept at least `minimum`; what would be a denormal float becomes 0.
void storeField(std::atomic<float>& field, double value, float minimum) {
    if (std::isnan(value)) return;
    const double bounded = std::clamp(value, static_cast<double>(minimum), static_cast<double>(FLT_MAX));
    field.store(bounded < FLT_MIN ? 0.0f : static_cast<float>(bounded), std::memory_order_relaxed);
}

double kneeStartOf(float threshold, float knee) {
    return decibelsToAmplitude(static_cast<double>(toNatural(2, knee)) + static_cast<double>(toNatural(1, threshold)));
}

float perMs(const CompressorEngine& e) { return e.samplesPerMs.load(std::memory_order_relaxed); }

} // namespace

void applyParameter(CompressorEngine& e, int index, float v, float threshold, float knee) {
    switch (index) {
    case 0: storeField(e.inputGain, decibelsToAmplitude(toNatural(0, v)), 0.0f); break;
    case 1:
        storeField(e.threshold, decibelsToAmplitude(toNatural(1, v)), 0.0f);
        storeField(e.kneeStart, kneeStartOf(threshold, knee), 0.0f);
        break;
    case 2: storeField(e.kneeStart, kneeStartOf(threshold, knee), 0.0f); break;
    case 3: storeField(e.ratio, toNatural(3, v), 1.0f); break;
    case 4: storeField(e.attackSamples, toNatural(4, v) * perMs(e), 1.0f); break;
    case 5: storeField(e.releaseSamples, toNatural(5, v) * perMs(e), 1.0f); break;
    case 6: storeField(e.outputGain, decibelsToAmplitude(toNatural(6, v)), 0.0f); break;
    default: break;
    }
}

} // namespace tarn
