#include "tools/vsthost/CurvePlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/vsthost/PlotCanvas.h"

namespace tarn {

namespace {

// The editor's look: a dark blue panel, black plots, white grid, light green output, yellow
// threshold, red gain reduction.
constexpr PlotColour kPanel{0.09, 0.12, 0.22, 1.0};
constexpr PlotColour kPlot{0.0, 0.0, 0.0, 1.0};
constexpr PlotColour kGrid{1.0, 1.0, 1.0, 0.18};
constexpr PlotColour kBorder{1.0, 1.0, 1.0, 0.8};
constexpr PlotColour kText{1.0, 1.0, 1.0, 0.9};
constexpr PlotColour kDimText{1.0, 1.0, 1.0, 0.65};
constexpr PlotColour kIdeal{1.0, 1.0, 1.0, 0.55};
constexpr PlotColour kOutput{0.75, 1.0, 0.75, 1.0};
constexpr PlotColour kThreshold{0.75, 0.75, 0.25, 1.0};
constexpr PlotColour kReductionFill{1.0, 0.0, 0.0, 0.5};
constexpr PlotColour kReductionLine{1.0, 0.25, 0.25, 1.0};
constexpr PlotColour kMarker{0.55, 0.8, 1.0, 1.0};
constexpr double kLabelSize = 12.0;

struct Rectangle {
    double left;
    double top;
    double right;
    double bottom;
};

// A linear scale from low to high with grid lines every `step`, onto pixels from `from` to `to`.
struct Axis {
    double low;
    double high;
    double step;
    double from;
    double to;
    double at(double value) const { return from + (value - low) / (high - low) * (to - from); }
};

// A grid step of 1, 2 or 5 times a power of ten that cuts the span into about `parts`.
double niceStep(double span, double parts) {
    const double rough = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough) return factor * power;
    return 10.0 * power;
}

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string decibelText(double db) { return std::isnan(db) ? "none" : format("%.1f dB", tidy(db, 0.1)); }

void drawFrame(PlotCanvas& canvas, const Rectangle& r) {
    canvas.fillRectangle(r.left, r.top, r.right, r.bottom, kPlot);
}

void drawBorder(PlotCanvas& canvas, const Rectangle& r) {
    canvas.drawLine({{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}}, 1.0,
                    kBorder, false);
}

void drawVerticalGrid(PlotCanvas& canvas, const Rectangle& r, const Axis& x, const char* pattern) {
    for (double v = std::ceil(x.low / x.step) * x.step; v <= x.high + 1e-9; v += x.step) {
        canvas.drawLine({{x.at(v), r.top}, {x.at(v), r.bottom}}, 1.0, kGrid, false);
        canvas.drawText(x.at(v), r.bottom + 12, format(pattern, v + 0.0), kLabelSize, kDimText, TextAlign::Centre);
    }
}

void drawHorizontalGrid(PlotCanvas& canvas, const Rectangle& r, const Axis& y, const char* pattern) {
    for (double v = std::ceil(y.low / y.step) * y.step; v <= y.high + 1e-9; v += y.step) {
        canvas.drawLine({{r.left, y.at(v)}, {r.right, y.at(v)}}, 1.0, kGrid, false);
        canvas.drawText(r.left - 6, y.at(v), format(pattern, v + 0.0), kLabelSize, kDimText, TextAlign::Right);
    }
}

void drawLegendLine(PlotCanvas& canvas, double x, double y, const std::string& text, PlotColour colour, bool dashed) {
    canvas.drawLine({{x, y}, {x + 24, y}}, 2.0, colour, dashed);
    canvas.drawText(x + 32, y, text, kLabelSize, kText, TextAlign::Left);
}

void drawStaticCurve(PlotCanvas& canvas, const Rectangle& r, const CurveMeasurement& curve) {
    double lowest = curve.points.front().inDb;
    double highest = curve.points.back().inDb;
    for (const CurvePoint& p : curve.points) {
        lowest = std::min(lowest, p.outDb);
        highest = std::max(highest, p.outDb);
    }
    const double step = niceStep(highest - lowest, 8.0) >= 10.0 ? 12.0 : 6.0;
    lowest = std::floor(lowest / step - 1e-9) * step;
    highest = std::ceil(highest / step + 1e-9) * step;
    // One scale on both axes, so that the 1:1 line runs at 45 degrees.
    const Axis x{lowest, highest, step, r.left, r.right};
    const Axis y{lowest, highest, step, r.bottom, r.top};
    drawFrame(canvas, r);
    drawVerticalGrid(canvas, r, x, "%.0f");
    drawHorizontalGrid(canvas, r, y, "%.0f");
    canvas.drawLine({{x.at(lowest), y.at(lowest)}, {x.at(highest), y.at(highest)}}, 1.5, kIdeal, true);
    if (!std::isnan(curve.thresholdDb)) {
        canvas.drawLine({{x.at(curve.thresholdDb), r.top}, {x.at(curve.thresholdDb), r.bottom}}, 1.5, kThreshold,
                        false);
    }
    std::vector<PlotPoint> line;
    for (const CurvePoint& p : curve.points) line.push_back({x.at(p.inDb), y.at(std::max(lowest, p.outDb))});
    canvas.drawLine(line, 2.5, kOutput, false);
    drawBorder(canvas, r);

    drawLegendLine(canvas, r.left + 14, r.top + 18, "measured output", kOutput, false);
    drawLegendLine(canvas, r.left + 14, r.top + 38, "1:1, no gain change", kIdeal, true);
    drawLegendLine(canvas, r.left + 14, r.top + 58, "threshold " + decibelText(curve.thresholdDb), kThreshold, false);
    canvas.drawText((r.left + r.right) / 2, r.bottom + 32, "input level (dB RMS)", kLabelSize + 1, kText,
                    TextAlign::Centre);
    canvas.drawText(r.left, r.top - 14, "output level (dB RMS)", kLabelSize + 1, kText, TextAlign::Left);
}

// How long the step takes to come within 5% of its end for good, and half as long again.
double shownMs(const StepResponse& step) {
    const double span = std::fabs(step.endDb - step.startDb);
    std::size_t last = 0;
    for (std::size_t k = 0; k < step.reductionDb.size(); ++k)
        if (std::fabs(step.reductionDb[k] - step.endDb) > 0.05 * span) last = k + 1;
    const double recorded = step.msPerValue * static_cast<double>(step.reductionDb.size());
    return std::min(recorded, std::max(10.0, 1.5 * step.msPerValue * static_cast<double>(last)));
}

void drawStep(PlotCanvas& canvas, const Rectangle& r, const StepResponse& step, const char* name) {
    const double endMs = shownMs(step);
    const double xStep = niceStep(endMs, 8.0);
    const Axis x{0.0, std::ceil(endMs / xStep) * xStep, xStep, r.left, r.right};
    const auto shown =
        std::min(step.reductionDb.size(), static_cast<std::size_t>(std::floor(x.high / step.msPerValue - 0.5)) + 1);
    double least = std::min(0.0, std::min(step.startDb, step.endDb));
    double most = std::max(step.startDb, step.endDb);
    for (std::size_t k = 0; k < shown; ++k) {
        least = std::min(least, step.reductionDb[k]);
        most = std::max(most, step.reductionDb[k]);
    }
    const double yStep = niceStep(std::max(1.0, most - least), 4.0);
    // Rounding leaves a settled reduction of nothing a hair below or above 0.
    least = std::floor(least / yStep + 1e-3) * yStep;
    most = std::max(least + yStep, std::ceil(most / yStep - 1e-3) * yStep);
    // Gain reduction hangs from the top, as in the editor's graph.
    const Axis y{least, most, yStep, r.top, r.bottom};
    drawFrame(canvas, r);
    drawVerticalGrid(canvas, r, x, "%g");
    drawHorizontalGrid(canvas, r, y, "%g");

    std::vector<PlotPoint> line{{x.at(0.0), y.at(step.startDb)}};
    for (std::size_t k = 0; k < shown; ++k)
        line.push_back({x.at((static_cast<double>(k) + 0.5) * step.msPerValue), y.at(step.reductionDb[k])});
    std::vector<PlotPoint> area = line;
    area.push_back({line.back().x, y.at(0.0)});
    area.push_back({line.front().x, y.at(0.0)});
    canvas.fillPolygon(area, kReductionFill);
    canvas.drawLine(line, 2.0, kReductionLine, false);

    const std::string label = std::string(name) + ": " + format("%.1f", tidy(step.fromDb, 0.1)) + " to " +
                              decibelText(step.toDb) + ", gain reduction " + format("%.1f", tidy(step.startDb, 0.1)) +
                              " to " + decibelText(step.endDb);
    if (!std::isnan(step.halfWayMs)) {
        const double half = 0.5 * (step.startDb + step.endDb);
        canvas.drawLine({{x.at(step.halfWayMs), r.top}, {x.at(step.halfWayMs), r.bottom}}, 1.5, kMarker, true);
        canvas.drawLine({{r.left, y.at(half)}, {r.right, y.at(half)}}, 1.0, kMarker, true);
        canvas.drawText(x.at(step.halfWayMs) + 6, r.bottom - 12, format("half-way %.1f ms", step.halfWayMs),
                        kLabelSize + 1, kMarker, TextAlign::Left);
    }
    drawBorder(canvas, r);
    canvas.drawText(r.left, r.top - 14, label, kLabelSize + 1, kText, TextAlign::Left);
    canvas.drawText(r.right, r.bottom + 30, "ms after the step", kLabelSize, kDimText, TextAlign::Right);
}

}  // namespace

bool writeCurvePlot(const CurveMeasurement& curve, const std::string& title, const std::string& path,
                    std::string& error) {
    if (curve.points.empty()) {
        error = "no levels measured";
        return false;
    }
    std::unique_ptr<PlotCanvas> canvas = PlotCanvas::create(kCurvePlotWidth, kCurvePlotHeight, error);
    if (!canvas) return false;
    canvas->fillRectangle(0, 0, kCurvePlotWidth, kCurvePlotHeight, kPanel);
    canvas->drawText(kCurvePlotWidth / 2.0, 22, title, 15.0, kText, TextAlign::Centre);
    drawStaticCurve(*canvas, {70, 80, 570, 580}, curve);
    canvas->drawText(1170, 60, "gain reduction (dB)", kLabelSize, kDimText, TextAlign::Right);
    drawStep(*canvas, {660, 80, 1170, 300}, curve.attack, "attack");
    drawStep(*canvas, {660, 370, 1170, 580}, curve.release, "release");
    return canvas->savePng(path, error);
}

}  // namespace tarn
