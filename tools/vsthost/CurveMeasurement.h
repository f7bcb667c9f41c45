#pragma once
#include <string>
#include <vector>

#include "tools/vsthost/Plugin.h"

namespace tarn {

// Levels are RMS in dB, where a constant of 1.0 is 0 dB (a full-scale sine is -3 dB): the
// scale on which RMS detectors compare a level with their threshold.
struct CurvePoint {
    double inDb = 0.0;
    double outDb = 0.0;
};

// A step from one steady level to another: the gain reduction after it, one value per period
// of the tone (about a millisecond), relative to the gain settled before the step.
struct StepResponse {
    double fromDb = 0.0;
    double toDb = 0.0;
    double msPerValue = 1.0;
    std::vector<double> reductionDb;
    // The settled reductions before and after the step, and when the reduction first passes
    // half-way between them (interpolated between values; NaN when they hardly differ).
    double startDb = 0.0;
    double endDb = 0.0;
    double halfWayMs = 0.0;
};

struct CurveMeasurement {
    std::vector<CurvePoint> points;  // input levels rising
    // The highest input level at which the gain is still that of the lowest level (NaN if no
    // level reduces the gain): where the curve leaves the 1:1 line.
    double thresholdDb = 0.0;
    StepResponse attack;   // up from below the threshold to well above it
    StepResponse release;  // and back down
};

struct CurveOptions {
    double sampleRate = 44100.0;
    bool constant = false;  // a constant instead of a sine of about 1 kHz
    double lowestDb = -96.0;
    double highestDb = 0.0;
    double stepDb = 0.5;
    double minimumSettleMs = 500.0;  // each level runs at least this long, longer until it settles
    double maximumSettleMs = 10000.0;
};

// Feeds the tone into both inputs of the started plug-in through its 32-bit callback at every
// level from lowestDb to highestDb, each until the output level settles, then the step up and
// down; measures the output of the first two outputs.
CurveMeasurement measureCurve(Plugin& plugin, const CurveOptions& options);

}  // namespace tarn
