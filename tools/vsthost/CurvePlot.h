#pragma once
#include <cmath>
#include <string>

#include "tools/vsthost/CurveMeasurement.h"

namespace tarn {

constexpr int kCurvePlotWidth = 1200;
constexpr int kCurvePlotHeight = 620;

// Draws the measured static curve (with the 1:1 line and the threshold) beside the gain
// reduction after the step up and the step down (with their half-way times), under the title,
// and writes it as a PNG file of kCurvePlotWidth x kCurvePlotHeight. False with a one-line
// reason when it cannot.
// The value rounded to the unit, for text: a hair below 0 shows as 0, not -0.
inline double tidy(double value, double unit) { return std::round(value / unit) * unit + 0.0; }

bool writeCurvePlot(const CurveMeasurement& curve, const std::string& title, const std::string& path,
                    std::string& error);

}  // namespace tarn
