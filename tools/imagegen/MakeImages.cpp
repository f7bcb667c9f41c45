// Draws the editor's images and writes them as the PNG files the plug-in embeds:
// background.png (550 x 375, palette) and knob.png (the 56 x 5600 film strip, RGBA), and the
// same at twice the size for screens with twice the pixels, background-2x.png and knob-2x.png.
// Usage: make_images <output folder> [--preview <file.png>]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/imagegen/Background.h"
#include "tools/imagegen/KnobStrip.h"
#include "tools/imagegen/Palette.h"
#include "tools/imagegen/PngFile.h"
#include "tools/imagegen/Preview.h"

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--preview")) {
        std::fprintf(stderr, "usage: make_images <output folder> [--preview <file.png>]\n");
        return 2;
    }
    const std::string folder = argv[1];
    tarn::PalettedImage palettedBackground;
    tarn::RgbaImage knob;
    for (int scale : {1, 2}) {
        const std::string suffix = scale == 1 ? ".png" : "-2x.png";
        const tarn::RgbImage background = tarn::drawBackground(scale);
        const tarn::RgbaImage strip = tarn::drawKnobStrip(scale);
        const tarn::PalettedImage paletted = tarn::toPalette(background);
        for (const auto& [file, written] :
             {std::pair{"background" + suffix, tarn::writePng(folder + "/background" + suffix, paletted)},
              std::pair{"knob" + suffix, tarn::writePng(folder + "/knob" + suffix, strip)}}) {
            if (!written) {
                std::fprintf(stderr, "make_images: cannot write %s/%s\n", folder.c_str(), file.c_str());
                return 1;
            }
        }
        int largestError = 0;
        for (size_t i = 0; i < paletted.indices.size(); ++i)
            for (int c = 0; c < 3; ++c)
                largestError = std::max(largestError,
                                        std::abs(paletted.palette[paletted.indices[i] * 3 + c] - background.rgb[i * 3 + c]));
        std::printf("background%s: %zu colours, largest channel error %d\n", suffix.c_str(), paletted.palette.size() / 3,
                    largestError);
        if (scale == 1) {
            palettedBackground = paletted;
            knob = strip;
        }
    }
    if (argc == 4 && !tarn::writePreview(argv[3], palettedBackground, knob)) {
        std::fprintf(stderr, "make_images: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
