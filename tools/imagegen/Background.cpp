#include "tools/imagegen/Background.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

namespace tarn {

namespace {

constexpr int width = 550;
constexpr int height = 375;
constexpr int bandLine = 102; // the dark line that closes the band
constexpr int panelTop = 104;
// The well behind the graph, right and bottom exclusive; the graph view covers all of it but
// the two bevel rows and columns on the right and at the bottom.
constexpr int wellLeft = 6, wellTop = 121, wellRight = 367, wellBottom = 362;
constexpr int bevel = 2;

struct Colour {
    double r, g, b;
};

Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scaled(Colour c, double factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

Colour grey(double level) { return {level, level, level}; }

// The band darkens quickly and evenly towards near black, reached at y = 60.
Colour band(double y) {
    const double t = std::clamp(y / 60.0, 0.0, 1.0);
    return mix({52, 54, 62}, {4, 7, 17}, t * (2 - t));
}

// Brushed metal: every row gets its own brightness, plus streaks that vary slowly along the
// row and fast across rows. Values between -1 and 1.
class BrushedTexture {
public:
    explicit BrushedTexture(unsigned start) : random(start) {
        for (int y = 0; y < height; ++y) {
            rowOffset[y] = uniform();
            // Streak knots every 12 to 60 pixels, interpolated smoothly in between.
            spacing[y] = 12 + static_cast<int>(48 * (uniform() * 0.5 + 0.5));
            for (double& knot : knots[y]) knot = uniform();
        }
    }

    // x may lie between pixels; y is a whole row.
    double at(double x, int y) const {
        const double position = std::max(x, 0.0) / spacing[y];
        const int i = static_cast<int>(position);
        const double f = position - i;
        const double smooth = f * f * (3 - 2 * f);
        const double streak = knots[y][i] + (knots[y][i + 1] - knots[y][i]) * smooth;
        return 0.45 * rowOffset[y] + 0.55 * streak;
    }

private:
    double uniform() { return static_cast<double>(random()) / std::mt19937::max() * 2 - 1; }

    std::mt19937 random;
    double rowOffset[height];
    int spacing[height];
    double knots[height][width / 12 + 2];
};

// The panel: deep blue, darkening towards the bottom edge, brushed.
Colour panel(double x, int y, const BrushedTexture& texture) {
    const double t = static_cast<double>(y - panelTop) / (height - 1 - panelTop);
    const Colour base = mix({25, 40, 92}, {20, 27, 52}, t * t);
    return scaled(base, 1 + 0.12 * texture.at(x, y));
}

// A sunken well: the bevel is darker on the top and left edges, lighter on the bottom and
// right ones, each two pixels wide; black inside.
bool inWell(int x, int y) { return x >= wellLeft && x < wellRight && y >= wellTop && y < wellBottom; }

Colour well(int x, int y) {
    const int fromLeft = x - wellLeft, fromTop = y - wellTop;
    const int fromRight = wellRight - 1 - x, fromBottom = wellBottom - 1 - y;
    const int nearest = std::min(std::min(fromLeft, fromTop), std::min(fromRight, fromBottom));
    if (nearest >= bevel) return grey(0);
    // Where two edges meet, the diagonal decides which one a pixel belongs to.
    const bool lit = std::min(fromRight, fromBottom) < std::min(fromLeft, fromTop) ||
                     (fromRight == fromLeft && fromRight == nearest && fromBottom < fromTop);
    const int depth = nearest; // 0 outer, 1 inner
    return lit ? grey(depth == 0 ? 59 : 50) : grey(depth == 0 ? 42 : 30);
}

uint8_t channel(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

} // namespace

RgbImage drawBackground(int scale) {
    const auto texture = std::make_unique<BrushedTexture>(1240u);
    const int imageWidth = width * scale;
    const int imageHeight = height * scale;
    RgbImage image{imageWidth, imageHeight, std::vector<uint8_t>(static_cast<size_t>(imageWidth) * imageHeight * 3)};
    for (int row = 0; row < imageHeight; ++row) {
        for (int column = 0; column < imageWidth; ++column) {
            // Lines and edges lie on whole layout pixels; the gradient and the streaks are drawn
            // at the image pixel's centre.
            const int x = column / scale;
            const int y = row / scale;
            const double centreX = (column + 0.5) / scale - 0.5;
            const double centreY = (row + 0.5) / scale - 0.5;
            Colour c;
            if (y < bandLine) c = band(centreY);
            else if (y == bandLine) c = {3, 4, 11};
            else if (y < panelTop) c = {44, 62, 124}; // the panel's lit top edge
            else if (inWell(x, y)) c = well(x, y);
            else c = panel(centreX, y, *texture);
            uint8_t* pixel = &image.rgb[(static_cast<size_t>(row) * imageWidth + column) * 3];
            pixel[0] = channel(c.r);
            pixel[1] = channel(c.g);
            pixel[2] = channel(c.b);
        }
    }
    return image;
}

} // namespace tarn
