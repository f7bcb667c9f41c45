#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A PNG file's header fields and its pixels decoded to straight RGBA, 8 bits per channel.
struct PngImage {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    int colourType = 0; // as in the header: 3 palette, 6 RGBA
    bool hasTransparencyChunk = false;
    std::vector<uint8_t> rgba;

    const uint8_t* pixel(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

std::vector<uint8_t> readFile(const std::string& path);

// Nothing when the bytes are not one whole, valid PNG image.
std::optional<PngImage> decodePng(const std::vector<uint8_t>& bytes);
