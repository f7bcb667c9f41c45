#pragma once
// Numbers and signals for the fuzzers' hostile hosts, decoded from the input bytes.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "tests/fuzz/ByteReader.h"

namespace tarn::fuzz {

// Any float: special values (non-finite, extreme, sample rates) often, plain ones between 0
// and 1 often, any bits now and then.
inline float anyFloat(ByteReader& in) {
    static const float special[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 0.25f, 2.0f, -0.5f,
                                    std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                                    std::numeric_limits<float>::signaling_NaN(), std::numeric_limits<float>::infinity(),
                                    -std::numeric_limits<float>::infinity(), FLT_MIN, -FLT_MIN,
                                    std::numeric_limits<float>::denorm_min(), FLT_MAX, -FLT_MAX, 1e30f, -1e30f, 1e-30f,
                                    1.0f - FLT_EPSILON / 2, 1.0f + FLT_EPSILON, 44100.0f, 48000.0f, 96000.0f, 192000.0f,
                                    8000.0f, 1.0f / 3.0f, 1e9f, 1e-7f, 0.999f};
    const std::uint8_t pick = in.byte();
    if (pick < 96) return special[pick % (sizeof special / sizeof *special)];
    if (pick < 176) return static_cast<float>(in.byte()) / 255.0f;
    return in.raw<float>();
}

inline bool allCanBeNormalOrZero(const float* x, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(x[i]) || std::fpclassify(x[i]) == FP_SUBNORMAL) return false;
    return true;
}
inline bool allCanBeNormalOrZero(const double* x, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(x[i]) || std::fpclassify(x[i]) == FP_SUBNORMAL) return false;
    return true;
}

template <typename Sample> bool allFinite(const Sample* x, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(x[i])) return false;
    return true;
}

// Fills a channel with one of several kinds of signal, levels from full scale down to far
// below -2000 dB, with extreme and non-finite values among them.
template <typename Sample> void fillSignal(Sample* x, int n, ByteReader& in) {
    const std::uint8_t kind = in.byte() % 8;
    const double level = std::pow(10.0, -static_cast<double>(in.byte()) * 10.0 / 20.0);
    const double second = std::pow(10.0, -static_cast<double>(in.byte()) / 20.0);
    SplitMix random(in.raw<std::uint64_t>());
    static const double extremes[] = {0.0,
                                      -0.0,
                                      1e30,
                                      -1e31,
                                      static_cast<double>(std::numeric_limits<Sample>::max()),
                                      -static_cast<double>(std::numeric_limits<Sample>::max()),
                                      static_cast<double>(std::numeric_limits<Sample>::denorm_min()),
                                      static_cast<double>(std::numeric_limits<Sample>::min()),
                                      1e-100,
                                      1e-99};
    const double nonFinite[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity()};
    for (int i = 0; i < n; ++i) {
        double s = 0.0;
        switch (kind) {
        case 0: s = 0.0; break;
        case 1: s = level * std::sin(0.031 * i); break;
        case 2: s = level * random.signedUnit(); break;
        // A level change in the middle of the block: loud, then quiet or the other way round.
        case 3: s = (i < n / 2 ? level : second) * random.signedUnit(); break;
        case 4: s = random.next() % 16 ? level * random.signedUnit() : extremes[random.next() % 10]; break;
        case 5: s = random.next() % 64 ? level * random.signedUnit() : nonFinite[random.next() % 3]; break;
        case 6: {
            const std::uint64_t bits = random.next();
            if constexpr (sizeof(Sample) == sizeof(float)) {
                float f;
                const std::uint32_t b = static_cast<std::uint32_t>(bits);
                std::memcpy(&f, &b, sizeof f);
                x[i] = f;
            } else {
                std::memcpy(&x[i], &bits, sizeof bits);
            }
            continue;
        }
        default: s = level * (i % 64 < 32 ? 1.0 : -1.0); break;
        }
        x[i] = static_cast<Sample>(s);
    }
}

} // namespace tarn::fuzz
