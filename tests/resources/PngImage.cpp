#include "PngImage.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

namespace {

uint32_t bigEndian(const uint8_t* at) { return uint32_t(at[0]) << 24 | at[1] << 16 | at[2] << 8 | at[3]; }

} // namespace

std::optional<PngImage> decodePng(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 33 || png_sig_cmp(bytes.data(), 0, 8) != 0 || std::memcmp(&bytes[12], "IHDR", 4) != 0)
        return std::nullopt;
    PngImage result;
    result.bitDepth = bytes[24];
    result.colourType = bytes[25];
    for (size_t at = 8; at + 8 <= bytes.size(); at += 12 + bigEndian(&bytes[at]))
        if (std::memcmp(&bytes[at + 4], "tRNS", 4) == 0) result.hasTransparencyChunk = true;

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    result.width = static_cast<int>(image.width);
    result.height = static_cast<int>(image.height);
    result.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return result;
}
