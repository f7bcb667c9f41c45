#pragma once
#include <cstddef>

#include "gui/vst3/Base.h"

namespace tarn::vst3 {

// Copies ASCII text into a host's UTF-16 buffer of `size` characters, cut to fit, terminated.
inline void copyUtf16(char16* to, const char* from, std::size_t size) {
    std::size_t i = 0;
    for (; from && from[i] && i + 1 < size; ++i) to[i] = static_cast<char16>(static_cast<unsigned char>(from[i]));
    to[i] = 0;
}

// The ASCII characters of a host's UTF-16 text, read up to its terminator or `size` - 1
// characters; any other character becomes '?'.
inline void copyAscii(char* to, const char16* from, std::size_t size) {
    std::size_t i = 0;
    for (; from && from[i] && i + 1 < size; ++i) to[i] = from[i] < 0x80 ? static_cast<char>(from[i]) : '?';
    to[i] = 0;
}

} // namespace tarn::vst3
