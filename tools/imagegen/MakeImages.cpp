// Draws the editor's two images and writes them as the PNG files the plug-in embeds:
// background.png (550 x 375, palette) and knob.png (the 56 x 5600 film strip, RGBA).
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
    const tarn::RgbImage background = tarn::drawBackground();
    const tarn::RgbaImage knob = tarn::drawKnobStrip();
    const tarn::PalettedImage palettedBackground = tarn::toPalette(background);
    for (const auto& [file, written] :
         {std::pair{"background.png", tarn::writePng(folder + "/background.png", palettedBackground)},
          std::pair{"knob.png", tarn::writePng(folder + "/knob.png", knob)}}) {
        if (!written) {
            std::fprintf(stderr, "make_images: cannot write %s/%s\n", folder.c_str(), file);
            return 1;
        }
    }
    int largestError = 0;
    for (size_t i = 0; i < palettedBackground.indices.size(); ++i)
        for (int c = 0; c < 3; ++c)
            largestError = std::max(largestError, std::abs(palettedBackground.palette[palettedBackground.indices[i] * 3 + c] -
                                                           background.rgb[i * 3 + c]));
    std::printf("background.png: %zu colours, largest channel error %d\n", palettedBackground.palette.size() / 3,
                largestError);
    if (argc == 4 && !tarn::writePreview(argv[3], palettedBackground, knob)) {
        std::fprintf(stderr, "make_images: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
