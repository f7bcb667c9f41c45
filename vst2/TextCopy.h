#pragma once
#include <cstddef>

namespace tarn {

// Copies at most `bound` characters of `text` into `dest`, fills the rest of the first `bound`
// bytes with zeros and writes a terminator at `dest[bound]`: always bound + 1 bytes.
// A null `text` counts as the empty text.
inline void copyText(char* dest, const char* text, std::size_t bound) {
    std::size_t i = 0;
    if (text)
        for (; i < bound && text[i] != '\0'; ++i) dest[i] = text[i];
    for (; i <= bound; ++i) dest[i] = '\0';
}

} // namespace tarn
