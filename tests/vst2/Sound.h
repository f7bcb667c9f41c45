#pragma once
// Settings in the units a user turns the knobs in, and stereo renders through an instance, for
// tests of what the compressor does to a sound.
#include <cmath>
#include <vector>

#include "tests/vst2/TestHost.h"

namespace sound {

inline double amplitude(double db) { return std::pow(10.0, db / 20.0); }
inline double decibels(double a) { return 20.0 * std::log10(a); }

// Normalised parameter values for settings in units.
inline float gainAt(double db) { return static_cast<float>((db + 24.0) / 48.0); }
inline float thresholdAt(double db) { return static_cast<float>((db + 96.0) / 96.0); }
inline float kneeDepth(double db) { return static_cast<float>((96.0 - db) / 96.0); }
inline float ratioOf(double r) { return static_cast<float>((r - 1.0) / 19.0); }
inline float attackOf(double ms) { return static_cast<float>((ms - 1.0) / 149.0); }
inline float releaseOf(double ms) { return static_cast<float>((ms - 1.0) / 1999.0); }

// Where a completed attack or release leaves the gain: the S curve ends at 0.9933071 of the way.
constexpr double kCurveEnd = 0.9933071;

// The gain a completed attack settles on for a steady RMS level above a hard knee: the level's
// excess over the threshold, as an amplitude, divided by the ratio; short of that by the end
// of the S curve.
inline double settledGain(double levelDb, double thresholdDb, double ratio) {
    const double x = amplitude(levelDb);
    const double a = amplitude(thresholdDb);
    const double target = (a + (x - a) / ratio) / x;
    return target + (1.0 - kCurveEnd) * (1.0 - target);
}

struct Stereo {
    std::vector<double> left;
    std::vector<double> right;
    int frames() const { return static_cast<int>(left.size()); }
};

// A square wave of the level, in both channels: its RMS level is its amplitude, at any moment.
inline Stereo square(double db, int frames, int period = 90) {
    Stereo s;
    for (int i = 0; i < frames; ++i) {
        const double x = (i % period < period / 2 ? 1.0 : -1.0) * amplitude(db);
        s.left.push_back(x);
        s.right.push_back(x);
    }
    return s;
}

inline Stereo then(Stereo a, const Stereo& b) {
    a.left.insert(a.left.end(), b.left.begin(), b.left.end());
    a.right.insert(a.right.end(), b.right.begin(), b.right.end());
    return a;
}

// Renders through the instance in 64-bit blocks of 256 frames.
inline Stereo render(Instance& plugin, Stereo s) {
    for (int start = 0; start < s.frames(); start += 256) {
        const int n = std::min(256, s.frames() - start);
        plugin.process(&s.left[start], &s.right[start], &s.left[start], &s.right[start], n);
    }
    return s;
}

inline int ms(double milliseconds, double rate = 44100.0) { return static_cast<int>(milliseconds * rate / 1000.0); }

} // namespace sound
