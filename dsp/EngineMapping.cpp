#include "dsp/EngineMapping.h"

#include <algorithm>
#include <cmath>

#include "dsp/CompressorEngine.h"
#include "dsp/ParameterTable.h"

namespace tarn {

namespace {

double decibelsToAmplitude(double db) { return std::pow(10.0, db / 20.0); }

// The natural value within the parameter's range: the engine only ever works with settings the
// knobs can reach (a threshold above 0 dB would put the knee's end below its start). Not a
// number stays one, for the engine to ignore.
double naturalInRange(int index, float v) {
    const ParameterInfo& p = kParameters[index];
    const float natural = toNatural(index, v);
    return std::isnan(natural) ? natural : std::clamp(natural, p.minimum, p.maximum);
}

} // namespace

void applyParameter(CompressorEngine& e, int index, float v) {
    if (index < 0 || index >= kNumControls) return;
    const double natural = naturalInRange(index, v);
    switch (index) {
    case 0: e.setInputGain(decibelsToAmplitude(natural)); break;
    case 1: e.setThresholdDb(natural); break;
    case 2: e.setKneeDb(natural); break;
    case 3: e.setRatio(natural); break;
    case 4: e.setAttackMs(natural); break;
    case 5: e.setReleaseMs(natural); break;
    case 6: e.setOutputGain(decibelsToAmplitude(natural)); break;
    }
}

} // namespace tarn
