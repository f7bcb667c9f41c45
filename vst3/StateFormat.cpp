#include "vst3/StateFormat.h"

#include <cstring>

namespace tarn::vst3 {

namespace {

constexpr char kMagic[4] = {'t', 'C', 'm', 'p'};

void putWord(unsigned char* at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(word >> (8 * i));
}

std::uint32_t getWord(const unsigned char* at) {
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return word;
}

} // namespace

bool writeState(IBStream& stream, const float (&values)[kNumControls]) {
    unsigned char bytes[kStateBytes];
    std::memcpy(bytes, kMagic, 4);
    putWord(bytes + 4, kStateVersion);
    putWord(bytes + 8, kNumControls);
    for (int i = 0; i < kNumControls; ++i) {
        std::uint32_t word;
        std::memcpy(&word, &values[i], 4);
        putWord(bytes + 12 + 4 * i, word);
    }
    std::int32_t written = 0;
    return stream.write(bytes, kStateBytes, &written) == kResultOk && written == kStateBytes;
}

bool readState(IBStream& stream, float (&values)[kNumControls]) {
    unsigned char bytes[kStateBytes] = {};
    std::int32_t got = 0;
    // Some streams answer a short read with kResultFalse, some with kResultOk and the count.
    const tresult result = stream.read(bytes, kStateBytes, &got);
    if ((result != kResultOk && result != kResultFalse) || got != kStateBytes) return false;
    if (std::memcmp(bytes, kMagic, 4) != 0 || getWord(bytes + 4) != kStateVersion || getWord(bytes + 8) != kNumControls)
        return false;
    float read[kNumControls];
    for (int i = 0; i < kNumControls; ++i) {
        const std::uint32_t word = getWord(bytes + 12 + 4 * i);
        std::memcpy(&read[i], &word, 4);
        // Written by us, every value is within 0 to 1; anything else is damage.
        if (!(read[i] >= 0.0f && read[i] <= 1.0f)) return false;
    }
    std::memcpy(values, read, sizeof read);
    return true;
}

} // namespace tarn::vst3
