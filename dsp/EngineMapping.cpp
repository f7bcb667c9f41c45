#include "dsp/EngineMapping.h"

#include <cmath>

#include "dsp/CompressorEngine.h"
#include "dsp/ParameterTable.h"

namespace tarn {

namespace {

double decibelsToAmplitude(double db) { return std::pow(10.0, db / 20.0); }

} // namespace

void applyParameter(CompressorEngine& e, int index, float v) {
    switch (index) {
    case 0: e.setInputGain(decibelsToAmplitude(toNatural(0, v))); break;
    case 1: e.setThresholdDb(toNatural(1, v)); break;
    case 2: e.setKneeDb(toNatural(2, v)); break;
    case 3: e.setRatio(toNatural(3, v)); break;
    case 4: e.setAttackMs(toNatural(4, v)); break;
    case 5: e.setReleaseMs(toNatural(5, v)); break;
    case 6: e.setOutputGain(decibelsToAmplitude(toNatural(6, v))); break;
    default: break;
    }
}

} // namespace tarn
