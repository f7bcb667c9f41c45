#pragma once
#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <emmintrin.h>
#include <type_traits>

#include "dsp/CompressorEngine.h"
#include "platform/Lock.h"

namespace tarn {

namespace stereoBlock {

// Input magnitudes are taken within these bounds: far beyond any real signal above, and
// below, -2000 dB, small enough to count as silence. Within them every gain, square and
// product stays a finite, normal double, so nothing in the engine becomes denormal.
constexpr double kInputLimit = 1e30;
constexpr double kInputFloor = 1e-100;
// Float's range, in double. (Bounds at namespace scope keep the loops free of branches: the
// compiler turns selections of them into vector instructions, not of function-local ones.)
constexpr double kFloatLargest = FLT_MAX;
constexpr double kFloatSmallest = FLT_MIN;
// Blocks are processed in chunks of this many frames, copied on the stack.
constexpr int kChunkFrames = 256;

// The conversions below run over a whole chunk at once, outside the frame loop, each in one
// pass of SSE2 (float samples four at a time, doubles two): convert, check and store together.
// A chunk whose samples are all plain (as nearly every chunk is) is then done: its samples were
// stored plus 0.0, which leaves every number but -0 as it is and makes -0 into 0, as the full way
// does. Otherwise the chunk is done again the full way, which is written without branches, and
// takes magnitudes and limits with minimum and maximum rather than fabs and copysign, which the
// 32-bit x86 compiler does on the x87 unit and in integer halves through memory, at several
// times the cost.

// Non-finite samples and samples below the floor are taken as silence.
inline double takeInput(double sample) {
    const double magnitude = std::max(sample, -sample);
    const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit);
    return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0;
}

// Output bound for the sample type: a float output saturates beyond float's range instead of
// overflowing, and is 0 below its normal range instead of a denormal. The rounding to float
// comes after.
inline double limitFloatOutput(double sample) {
    const double magnitude = std::max(sample, -sample);
    const double limited = std::min(std::max(sample, -kFloatLargest), kFloatLargest);
    return magnitude >= kFloatSmallest ? limited : 0.0;
}

inline __m128d loadPair(const double* x) { return _mm_loadu_pd(x); }
inline __m128d loadPair(const float* x) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(x))));
}
inline void storePair(double* x, __m128d v) { _mm_storeu_pd(x, v); }
inline void storePair(float* x, __m128d v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(x), _mm_castps_si128(_mm_cvtpd_ps(v)));
}

// Copies `count` samples plus 0.0 (converted to the output's type) and answers whether every
// one is 0 or of a magnitude from `low` to `high` (neither infinite nor a number is). A float's
// magnitude is 0 or at least 2^-149: for float input, `low` must lie below that, and only the
// top is checked. A pair at a time into one answer: few registers live, since the 32-bit build
// has only eight, and an answer kept in memory would chain every pair to a store and a load.
template <typename In, typename Out> bool copyPlain(const In* in, Out* out, int count, double low, double high) {
    const __m128d sign = _mm_set1_pd(-0.0);
    const __m128d lowest = _mm_set1_pd(low);
    const __m128d highest = _mm_set1_pd(high);
    const __m128d zero = _mm_setzero_pd();
    auto plain = [&](__m128d x) {
        const __m128d magnitude = _mm_andnot_pd(sign, x);
        if constexpr (std::is_same_v<In, float>) return _mm_cmple_pd(magnitude, highest);
        const __m128d inRange = _mm_and_pd(_mm_cmple_pd(magnitude, highest), _mm_cmpge_pd(magnitude, lowest));
        return _mm_or_pd(inRange, _mm_cmpeq_pd(magnitude, zero));
    };
    __m128d within = _mm_cmpeq_pd(zero, zero);
    int i = 0;
    for (; i + 1 < count; i += 2) {
        const __m128d x = loadPair(in + i);
        within = _mm_and_pd(within, plain(x));
        storePair(out + i, _mm_add_pd(x, zero));
    }
    bool all = _mm_movemask_pd(within) == 3;
    if (i < count) {
        const double x = static_cast<double>(in[i]);
        const double magnitude = std::max(x, -x);
        all = all && ((magnitude >= low && magnitude <= high) || magnitude == 0.0);
        out[i] = static_cast<Out>(x + 0.0);
    }
    return all;
}

// The largest float within a limit of 1 or more: the limit rounded, or the float below it
// when it rounded up (1e30 does).
constexpr float largestFloatWithin(double limit) {
    const float rounded = static_cast<float>(limit);
    if (rounded <= limit) return rounded;
    float power = 1.0f;
    while (power * 2.0f <= rounded) power *= 2.0f;
    // Floats from `power` up lie 2^-23 power apart, those below it half as far.
    return rounded - (rounded == power ? power / 16777216.0f : power / 8388608.0f);
}
constexpr float kFloatInputLimit = largestFloatWithin(kInputLimit);

// copyPlain for float input, four samples at a time: checked as floats, which the widening to
// double leaves as they are.
inline bool copyPlain(const float* in, double* out, int count) {
    const __m128 sign = _mm_set1_ps(-0.0f);
    const __m128 highest = _mm_set1_ps(kFloatInputLimit);
    const __m128d zero = _mm_setzero_pd();
    __m128 within = _mm_castsi128_ps(_mm_set1_epi32(-1));
    int i = 0;
    for (; i + 3 < count; i += 4) {
        const __m128 x = _mm_loadu_ps(in + i);
        within = _mm_and_ps(within, _mm_cmple_ps(_mm_andnot_ps(sign, x), highest));
        // Plus 0 after the widening: as a float, a denormal plus 0 would be flushed.
        _mm_storeu_pd(out + i, _mm_add_pd(_mm_cvtps_pd(x), zero));
        _mm_storeu_pd(out + i + 2, _mm_add_pd(_mm_cvtps_pd(_mm_movehl_ps(x, x)), zero));
    }
    const bool all = _mm_movemask_ps(within) == 15;
    return copyPlain(in + i, out + i, count - i, kInputFloor, kInputLimit) && all;
}

// copyPlain for float output, four samples at a time, checked after the rounding: a sample whose
// rounded magnitude lies above FLT_MIN, or is 0, is as the full way makes it, and one that rounds
// to FLT_MIN itself (it may have lain below it, where the full way gives 0) or to no finite float
// is left to the full way. Under flush-to-zero a sample that rounds below FLT_MIN becomes 0,
// as the full way makes it too.
inline bool copyPlain(const double* in, float* out, int count) {
    const __m128 sign = _mm_set1_ps(-0.0f);
    const __m128 smallest = _mm_set1_ps(static_cast<float>(kFloatSmallest));
    const __m128 largest = _mm_set1_ps(static_cast<float>(kFloatLargest));
    const __m128 zero = _mm_setzero_ps();
    __m128 within = _mm_castsi128_ps(_mm_set1_epi32(-1));
    int i = 0;
    for (; i + 3 < count; i += 4) {
        const __m128 x = _mm_movelh_ps(_mm_cvtpd_ps(_mm_loadu_pd(in + i)), _mm_cvtpd_ps(_mm_loadu_pd(in + i + 2)));
        const __m128 magnitude = _mm_andnot_ps(sign, x);
        const __m128 plain = _mm_or_ps(_mm_and_ps(_mm_cmpgt_ps(magnitude, smallest), _mm_cmple_ps(magnitude, largest)),
                                       _mm_cmpeq_ps(magnitude, zero));
        within = _mm_and_ps(within, plain);
        _mm_storeu_ps(out + i, _mm_add_ps(x, zero));
    }
    const bool all = _mm_movemask_ps(within) == 15;
    return copyPlain(in + i, out + i, count - i, kFloatSmallest, kFloatLargest) && all;
}

// One channel of a chunk in, as the engine takes it.
inline void takeChannel(const double* in, double* out, int count) {
    if (copyPlain(in, out, count, kInputFloor, kInputLimit)) return;
    for (int i = 0; i < count; ++i) out[i] = takeInput(in[i]);
}
inline void takeChannel(const float* in, double* out, int count) {
    if (copyPlain(in, out, count)) return;
    for (int i = 0; i < count; ++i) out[i] = takeInput(static_cast<double>(in[i]));
}

// One channel of a chunk out: the engine's outputs bounded and rounded.
inline void giveChannel(const double* in, double* out, int count) { std::copy(in, in + count, out); }
inline void giveChannel(const double* in, float* out, int count) {
    if (copyPlain(in, out, count)) return;
    for (int i = 0; i < count; ++i) out[i] = static_cast<float>(limitFloatOutput(in[i]));
}

} // namespace stereoBlock

// Runs `frames` stereo frames through the engine, taking the engine lock's fast side around
// each frame only, and asking rate() for the host's sample rate once per frame. The output
// buffers may be the input buffers: each chunk is read whole before it is written. Audio
// thread; allocates nothing and waits on nothing but the lock.
template <typename Sample, typename Rate>
void processStereoBlock(CompressorEngine& e, Lock::FastSide& lock, const Sample* inL, const Sample* inR, Sample* outL,
                        Sample* outR, std::int64_t frames, Rate rate) {
    using namespace stereoBlock;
    double left[kChunkFrames];
    double right[kChunkFrames];
    // 64 bits, so that the last step past a frame count near the int32 limit cannot overflow.
    for (std::int64_t start = 0; start < frames; start += kChunkFrames) {
        const int count = static_cast<int>(std::min<std::int64_t>(kChunkFrames, frames - start));
        // The conversions run in loops of their own, one channel each so that the compiler need
        // not fear overlapping buffers; the frame loop holds the engine's chain from one frame
        // to the next and little else. Each frame's results replace its input in the chunk.
        takeChannel(inL + start, left, count);
        takeChannel(inR + start, right, count);
        e.processFrames(left, right, count, lock, rate);
        giveChannel(left, outL + start, count);
        giveChannel(right, outR + start, count);
    }
}

} // namespace tarn
