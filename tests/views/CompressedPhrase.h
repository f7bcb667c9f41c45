#pragma once
// A real engine, set up as the plug-in sets it up, compressing a phrase of plucked notes with
// wide dynamics: loud notes go far over the threshold, quiet ones stay under it.
#include <cmath>
#include <memory>

#include "dsp/CompressorEngine.h"

inline std::unique_ptr<tarn::CompressorEngine> makeEngine(float thresholdDb, float kneeStartDb, float ratio) {
    auto engine = std::make_unique<tarn::CompressorEngine>();
    engine->sampleRate = 44100.f;
    engine->init();
    engine->setThresholdDb(thresholdDb);
    engine->setKneeDb(kneeStartDb - thresholdDb);
    engine->setRatio(ratio);
    engine->setAttackMs(10.f);
    engine->setReleaseMs(150.f);
    return engine;
}

// Frame `frame` of the phrase: a note every quarter second, amplitudes from 0.05 to 0.9,
// each decaying with a time constant of 120 ms, with a quieter octave above.
inline double phraseSample(long frame) {
    constexpr double kRate = 44100.0;
    constexpr double kPi = 3.14159265358979323846;
    static const double amplitudes[] = {0.9, 0.3, 0.6, 0.15, 0.8, 0.05, 0.5, 0.7};
    static const int semitones[] = {0, 3, 7, 12, 10, 7, 5, 3};
    const long noteLength = static_cast<long>(kRate / 4);
    const long note = frame / noteLength;
    const double t = static_cast<double>(frame % noteLength) / kRate;
    const double frequency = 220.0 * std::pow(2.0, semitones[note % 8] / 12.0);
    const double envelope = amplitudes[note % 8] * std::exp(-t / 0.12);
    return envelope * (std::sin(2 * kPi * frequency * t) + 0.3 * std::sin(4 * kPi * frequency * t)) / 1.3;
}

// Runs `frames` frames of the phrase, from frame `start` on, through the engine.
inline void playPhrase(tarn::CompressorEngine& engine, long frames, long start = 0) {
    double left = 0;
    double right = 0;
    for (long i = start; i < start + frames; ++i) {
        const double x = phraseSample(i);
        engine.processSample(x, 0.8 * x, &left, &right, 44100.f);
    }
}
