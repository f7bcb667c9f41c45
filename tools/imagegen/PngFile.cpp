#include "tools/imagegen/PngFile.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace tarn {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Writes rows of bytes of the given colour type, with a palette for palette images. libpng
// reports errors by a long jump back here, so nothing with a destructor is made in between.
bool write(const std::string& path, int width, int height, int colourType, const uint8_t* pixels, size_t rowBytes,
           const std::vector<png_color>& palette) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, pixels + rowBytes * y);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

} // namespace

bool writePng(const std::string& path, const PalettedImage& image) {
    std::vector<png_color> colours(image.palette.size() / 3);
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = {image.palette[i * 3], image.palette[i * 3 + 1], image.palette[i * 3 + 2]};
    return write(path, image.width, image.height, PNG_COLOR_TYPE_PALETTE, image.indices.data(), image.width, colours);
}

bool writePng(const std::string& path, const RgbaImage& image) {
    return write(path, image.width, image.height, PNG_COLOR_TYPE_RGB_ALPHA, image.rgba.data(),
                 static_cast<size_t>(image.width) * 4, {});
}

} // namespace tarn
