#include "tests/dsp/ReferenceEngine.h"

#include <algorithm>
#include <cmath>

namespace tarn {

namespace {

// Mean squares below this (-600 dB) are flushed to zero, so a long silence never reaches
// denormal numbers, which cost many times more CPU on x86.
constexpr double kFlushBound = 1e-60;

// Sample counts are kept within what an int32 holds; rates that would need more are absurd.
constexpr float kMaxSamplesPerMs = 1.0e7f;

// One step of a one-pole running mean of the squared signal with coefficient 1 / N. Keeping
// the mean square (not its root) as the state keeps the square root off the chain from one
// frame to the next.
inline double detect(double meanSquare, double sample, double windowMinusOne, double windowInverse) {
    const double next = (meanSquare * windowMinusOne + sample * sample) * windowInverse;
    return next < kFlushBound ? 0.0 : next;
}

} // namespace

void ReferenceEngine::deriveSampleCounts() {
    const float perMs = std::min(sampleRate * 0.001f, kMaxSamplesPerMs);
    samplesPerMs.store(perMs, std::memory_order_relaxed);
    rmsWindow = std::max(1, static_cast<std::int32_t>(perMs * 30.0f));
    historyInterval = std::max(1, static_cast<std::int32_t>(perMs));
    windowMinusOne = rmsWindow - 1.0;
    windowInverse = 1.0 / rmsWindow;
}

void ReferenceEngine::init() {
    deriveSampleCounts();
    for (auto* field : {&inputGain, &threshold, &kneeStart, &ratio, &attackSamples, &releaseSamples, &outputGain})
        field->store(1.0f, std::memory_order_relaxed);
    targetGain = 1.0;
    heldGain = 1.0;
    historyLength = LevelHistory::kLength;
    inputHistory.reset();
    outputHistory.reset();
    meanSquareInL = meanSquareInR = meanSquareOutL = meanSquareOutR = 0.0;
    historyTick = 0;
}

void ReferenceEngine::processSample(double inL, double inR, double* outL, double* outR, float rate) {
    if (rate != sampleRate && std::isfinite(rate) && rate > 0.0f) {
        sampleRate = rate;
        deriveSampleCounts();
    }
    const float inGain = inputGain.load(std::memory_order_relaxed);
    const float thresholdValue = threshold.load(std::memory_order_relaxed);
    const float kneeValue = kneeStart.load(std::memory_order_relaxed);
    const float ratioValue = ratio.load(std::memory_order_relaxed);
    const float outGain = outputGain.load(std::memory_order_relaxed);

    const double gL = inGain * inL;
    const double gR = inGain * inR;
    meanSquareInL = detect(meanSquareInL, gL, windowMinusOne, windowInverse);
    meanSquareInR = detect(meanSquareInR, gR, windowMinusOne, windowInverse);
    // The louder channel's RMS level: the root of the larger mean square.
    const double x = std::sqrt(std::max(meanSquareInL, meanSquareInR));

    const double previousOutput = outputLevel();
    updatePhase(previousOutput);

    // Gain computer: the phase is decided on the previous output level, the amount of
    // reduction on the current input level.
    const bool knee = kneeActive(thresholdValue, kneeValue);
    const double a = thresholdValue;
    const double b = kneeValue;
    if (x > 0.0) {
        // Multiplying by 1/x, which is computed beside the other divisions rather than after
        // them, shortens the frame's chain of dependent steps; the result differs from a final
        // division by x only in rounding.
        const double perX = 1.0 / x;
        if (!knee) {
            if (previousOutput > a) targetGain = ((x - a) / ratioValue + a) * perX;
        } else if (previousOutput > b) {
            const float kneeEnd = std::min((thresholdValue - kneeValue) + thresholdValue, 1.0f);
            if (kneeEnd > kneeValue) {
                // The slope falls from 1 at the knee start to 1/s at the knee end; s makes full
                // scale land where a hard knee at the knee end would put it.
                const double s = (1.0 - b) / ((1.0 - kneeEnd) / ratioValue + kneeEnd - b);
                const double t = std::min((x - b) / (kneeEnd - b), 1.0);
                targetGain = (b + (x - b) / (1.0 + t * (s - 1.0))) * perX;
            } else {
                targetGain = ((x - a) / ratioValue + a) * perX;
            }
        }
    }
    const double u = targetGain;

    double g;
    if (attackCount > 0.0f) {
        const double curve = u + (1.0 - u) * (1.0 - logistic.at(attackCount, attackSamples.load(std::memory_order_relaxed)));
        if (curve <= heldGain) {
            heldGain = 1.0;
            g = curve;
        } else {
            g = heldGain;
        }
    } else {
        g = u + (1.0 - u) * logistic.at(releaseCount, releaseSamples.load(std::memory_order_relaxed));
        heldGain = g;
    }

    const double yL = gL * g;
    const double yR = gR * g;
    *outL = outGain * yL;
    *outR = outGain * yR;

    meanSquareOutL = detect(meanSquareOutL, yL, windowMinusOne, windowInverse);
    meanSquareOutR = detect(meanSquareOutR, yR, windowMinusOne, windowInverse);

    if (historyTick < historyInterval) {
        ++historyTick;
    } else {
        pushHistory(inputHistory, x);
        pushHistory(outputHistory, outputLevel());
        historyTick = 0;
    }
}

} // namespace tarn
