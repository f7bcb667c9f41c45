#pragma once
#include <algorithm>
#include <cfloat>
#include <cstdint>

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

// The two conversions below are written without branches, so that they run over a whole chunk
// at once in vector instructions, outside the frame loop. They take magnitudes and limits with
// minimum and maximum rather than fabs and copysign, which the 32-bit x86 compiler does on the
// x87 unit and in integer halves through memory, at several times the cost.

// Non-finite samples and samples below the floor are taken as silence.
inline double takeInput(double sample) {
    const double magnitude = std::max(sample, -sample);
    const double limited = std::min(std::max(sample, -kInputLimit), kInputLimit);
    return magnitude >= kInputFloor && magnitude <= DBL_MAX ? limited : 0.0;
}

// Output bound for the sample type: a float output saturates beyond float's range instead of
// overflowing, and is 0 below its normal range instead of a denormal. The rounding to float
// comes after, a whole chunk at once.
template <typename Sample> inline double limitOutput(double sample);
template <> inline double limitOutput<float>(double sample) {
    const double magnitude = std::max(sample, -sample);
    const double limited = std::min(std::max(sample, -kFloatLargest), kFloatLargest);
    return magnitude >= kFloatSmallest ? limited : 0.0;
}
template <> inline double limitOutput<double>(double sample) { return sample; }

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
        for (int i = 0; i < count; ++i) left[i] = takeInput(static_cast<double>(inL[start + i]));
        for (int i = 0; i < count; ++i) right[i] = takeInput(static_cast<double>(inR[start + i]));
        e.processFrames(left, right, count, lock, rate);
        // Bounded in place, then rounded: the compiler makes vector instructions of each loop,
        // not of the two in one.
        for (int i = 0; i < count; ++i) left[i] = limitOutput<Sample>(left[i]);
        for (int i = 0; i < count; ++i) right[i] = limitOutput<Sample>(right[i]);
        for (int i = 0; i < count; ++i) outL[start + i] = static_cast<Sample>(left[i]);
        for (int i = 0; i < count; ++i) outR[start + i] = static_cast<Sample>(right[i]);
    }
}

} // namespace tarn
