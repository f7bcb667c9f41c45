#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>
#include <xmmintrin.h>

#include "dsp/StereoBlock.h"

namespace sb = tarn::stereoBlock;

namespace {

template <typename T> bool sameBits(T a, T b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Chunks of every length up to a full one: the values in random order, some chunks all plain
// (to the fast way), others with one value of `rest` among them (to the full way).
template <typename T> std::vector<std::vector<T>> chunks(const std::vector<T>& plain, const std::vector<T>& rest) {
    std::mt19937 random(7);
    std::vector<std::vector<T>> all;
    for (int length = 1; length <= sb::kChunkFrames; length += length < 12 ? 1 : 61) {
        for (int mixed = 0; mixed < 2; ++mixed) {
            std::vector<T> chunk(length);
            for (T& x : chunk) x = plain[random() % plain.size()];
            if (mixed) chunk[random() % length] = rest[random() % rest.size()];
            all.push_back(chunk);
        }
    }
    for (const T x : rest) all.push_back(std::vector<T>(8, x));
    return all;
}

// Converts every chunk of `plain` and `rest` with convert(in, out, count), under each of the modes a
// host may leave set (nothing, flush-to-zero, denormals-are-zero, both), and expects each sample
// to come out with the bits of alone(sample) under the same mode.
template <typename Out, typename In, typename Convert, typename Alone>
void expectAsAlone(const std::vector<In>& plain, const std::vector<In>& rest, Convert convert, Alone alone) {
    // The modes are put back however the test ends.
    struct Modes {
        const unsigned saved = _mm_getcsr();
        ~Modes() { _mm_setcsr(saved); }
    } modes;
    for (const unsigned mode : {0x0000u, 0x8000u, 0x0040u, 0x8040u}) {
        _mm_setcsr((modes.saved & ~0x8040u) | mode);
        for (const auto& chunk : chunks(plain, rest)) {
            std::vector<Out> out(chunk.size());
            convert(chunk.data(), out.data(), static_cast<int>(chunk.size()));
            for (std::size_t i = 0; i < chunk.size(); ++i)
                ASSERT_TRUE(sameBits(out[i], alone(chunk[i]))) << "mode " << mode << ", " << chunk[i] << " gave " << out[i];
        }
    }
}

} // namespace

// A chunk, taken in or given out a whole channel at a time, holds exactly what each sample
// gives on its own the long way (the bounds, the floor, -0 made 0), whichever way the chunk went.
TEST(StereoBlock, ChunksConvertAsEachSampleDoesOnItsOwn) {
    const float tiny = std::numeric_limits<float>::denorm_min();
    const float belowLimit = sb::kFloatInputLimit;
    const std::vector<float> plainIn = {0.25f, -0.5f, 0.0f, -0.0f, FLT_MIN, -FLT_MIN, 1e-40f, -tiny, belowLimit,
                                        -belowLimit, 3e-39f, 1e-30f};
    const std::vector<float> restIn = {std::nextafter(belowLimit, FLT_MAX), -FLT_MAX, HUGE_VALF, -HUGE_VALF,
                                       std::numeric_limits<float>::quiet_NaN()};
    expectAsAlone<double>(plainIn, restIn, [](auto... a) { sb::takeChannel(a...); },
                          [](float x) { return sb::takeInput(static_cast<double>(x)); });

    const double bottom = sb::kInputFloor;
    const double top = sb::kInputLimit;
    const std::vector<double> plainWide = {0.25, -0.5, 0.0, -0.0, bottom, -bottom, top, -top, 1e-30};
    const std::vector<double> restWide = {std::nextafter(top, HUGE_VAL), -std::nextafter(bottom, 0.0), -1e-310,
                                          1e300, -HUGE_VAL, std::numeric_limits<double>::quiet_NaN()};
    expectAsAlone<double>(plainWide, restWide, [](auto... a) { sb::takeChannel(a...); },
                          [](double x) { return sb::takeInput(x); });

    const double least = FLT_MIN;
    const double most = FLT_MAX;
    // Rounded to float, these land on FLT_MIN or FLT_MAX or between floats; only the bounds
    // decide what comes out.
    const std::vector<double> plainOut = {0.25,  -0.5, 0.0, -0.0, least, -least * (1 + 0x1p-30), most, -most,
                                          most * (1 + 0x1p-26), 1e-30, 0.1};
    const std::vector<double> restOut = {least * (1 - 0x1p-30), -least * (1 - 0x1p-26), least / 2, 0x1p-149,
                                         -0x1p-150, 0x1p-151, 1e-300, most * (1 + 0x1p-24), -1e39,
                                         std::numeric_limits<double>::quiet_NaN()};
    expectAsAlone<float>(plainOut, restOut, [](auto... a) { sb::giveChannel(a...); },
                         [](double x) { return static_cast<float>(sb::limitFloatOutput(x)); });
}
