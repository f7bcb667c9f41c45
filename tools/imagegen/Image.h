#pragma once
#include <cstdint>
#include <vector>

namespace tarn {

// Pixels row by row from the top left, 8 bits per channel, not premultiplied.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // 3 bytes per pixel
};

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // 4 bytes per pixel
};

// An image of at most 256 colours: one palette index per pixel.
struct PalettedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> palette; // 3 bytes per entry
    std::vector<uint8_t> indices;
};

} // namespace tarn
