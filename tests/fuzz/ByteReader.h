#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarn::fuzz {

// The bytes that choose a sequence of host actions. Reads past the end give zeros, so every
// input, however short, decodes into actions.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    bool done() const { return position >= size; }
    std::uint8_t byte() { return position < size ? data[position++] : 0; }

    // The next sizeof(T) bytes as a T, little-endian (x86 only).
    template <typename T> T raw() {
        static_assert(sizeof(T) <= sizeof(std::uint64_t), "at most 8 bytes");
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) bits |= static_cast<std::uint64_t>(byte()) << (8 * i);
        T value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

// A small, fast generator for sample data, started from a value in the input: a block of 8192 frames
// takes a few bytes to describe instead of 64 kB.
class SplitMix {
public:
    explicit SplitMix(std::uint64_t start) : state(start) {}
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // Uniform in [-1, 1).
    double signedUnit() { return static_cast<double>(next() >> 11) * 0x1p-52 - 1.0; }

private:
    std::uint64_t state;
};

} // namespace tarn::fuzz
