#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "PngImage.h"

// The images as committed, drawn for 1x and for 2x: what the editor's layout relies on, and what
// they should look like. A place given below lies at twice its coordinates in the 2x image.
namespace {

constexpr int frameSize = 56;
constexpr int frames = 100;

std::string fileName(const char* base, int scale) { return std::string(base) + (scale == 1 ? ".png" : "-2x.png"); }

std::string scaleName(const ::testing::TestParamInfo<int>& info) { return "x" + std::to_string(info.param); }

PngImage load(const std::string& name) {
    std::optional<PngImage> image = decodePng(readFile(TARN_SOURCE_DIR "/resources/" + name));
    if (!image) ADD_FAILURE() << name << " does not decode";
    return image.value_or(PngImage{});
}

::testing::AssertionResult near(const uint8_t* pixel, int r, int g, int b, int tolerance) {
    if (std::abs(pixel[0] - r) <= tolerance && std::abs(pixel[1] - g) <= tolerance && std::abs(pixel[2] - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel is " << int(pixel[0]) << ", " << int(pixel[1]) << ", " << int(pixel[2])
                                         << ", expected about " << r << ", " << g << ", " << b;
}

// The mean colour of the pixels left..right-1 of row y.
std::array<double, 3> rowMean(const PngImage& image, int y, int left, int right) {
    std::array<double, 3> sum{0, 0, 0};
    for (int x = left; x < right; ++x)
        for (int c = 0; c < 3; ++c) sum[c] += image.pixel(x, y)[c];
    for (double& s : sum) s /= right - left;
    return sum;
}

class Background : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { image = load(fileName("background", GetParam())); }
    // The pixel at layout place x, y: the top-left image pixel of the place.
    const uint8_t* pixel(int x, int y) const { return image.pixel(x * GetParam(), y * GetParam()); }
    PngImage image;
};

TEST_P(Background, Is550By375WithAn8BitPaletteAndFullyOpaque) {
    EXPECT_EQ(image.width, 550 * GetParam());
    EXPECT_EQ(image.height, 375 * GetParam());
    EXPECT_EQ(image.colourType, 3);
    EXPECT_EQ(image.bitDepth, 8);
    EXPECT_FALSE(image.hasTransparencyChunk);
    for (size_t i = 3; i < image.rgba.size(); i += 4) ASSERT_EQ(image.rgba[i], 255) << "pixel " << i / 4;
}

TEST_P(Background, BandShadesFromGreyBlueToNearBlackAndEndsInADarkLine) {
    EXPECT_TRUE(near(pixel(275, 0), 52, 54, 62, 3)) << "top edge";
    EXPECT_LT(pixel(275, 30)[2], pixel(275, 0)[2]) << "darker half way";
    EXPECT_GT(pixel(275, 30)[2], 17);
    for (int y : {60, 80, 101}) EXPECT_TRUE(near(pixel(275, y), 4, 7, 17, 2)) << "y = " << y;
    for (int x : {0, 275, 549}) EXPECT_TRUE(near(pixel(x, 102), 3, 4, 11, 2)) << "closing line at x = " << x;
}

TEST_P(Background, PanelIsBrushedBlueDarkeningTowardsTheBottom) {
    const int s = GetParam();
    // Averaged along a row so that the texture does not count.
    const auto top = rowMean(image, 106 * s, 380 * s, 545 * s);
    const auto bottom = rowMean(image, 375 * s - 1, 0, 550 * s);
    EXPECT_NEAR(top[0], 25, 3);
    EXPECT_NEAR(top[1], 40, 3);
    EXPECT_NEAR(top[2], 92, 4);
    EXPECT_NEAR(bottom[0], 20, 3);
    EXPECT_NEAR(bottom[1], 27, 3);
    EXPECT_NEAR(bottom[2], 52, 4);

    // Brushed horizontally: neighbours along a row differ much less than neighbours across rows.
    // Compared a layout pixel apart.
    double along = 0, across = 0;
    for (int y = 130; y < 350; ++y)
        for (int x = 375; x < 545; ++x) {
            along += std::abs(pixel(x + 1, y)[2] - pixel(x, y)[2]);
            across += std::abs(pixel(x, y + 1)[2] - pixel(x, y)[2]);
        }
    EXPECT_GT(across, 3 * along);
    EXPECT_GT(across / (220 * 170), 2.0) << "the texture is visible";
}

TEST_P(Background, WellBehindTheGraphIsBlackWithAGreyBevelShowingRightAndBelowTheGraph) {
    // The graph view covers 5, 120 to 365, 360; the bevel's last two columns and rows show.
    EXPECT_TRUE(near(pixel(185, 240), 0, 0, 0, 0)) << "inside";
    for (const auto& [x, y] : {std::pair{365, 240}, {366, 240}, {365, 125}, {366, 355}, {185, 360}, {185, 361}, {10, 361}}) {
        const uint8_t* p = pixel(x, y);
        EXPECT_TRUE(p[0] == p[1] && p[1] == p[2] && p[0] >= 40 && p[0] <= 61) << x << ", " << y << " is " << int(p[0])
                                                                             << ", " << int(p[1]) << ", " << int(p[2]);
    }
    for (const auto& [x, y] : {std::pair{367, 240}, {185, 362}, {4, 240}, {185, 119}}) {
        const uint8_t* p = pixel(x, y);
        EXPECT_GT(p[2], p[0] + 20) << "panel blue just outside the well at " << x << ", " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, Background, ::testing::Values(1, 2), scaleName);

class KnobStrip : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { image = load(fileName("knob", GetParam())); }

    // The pixel at radius r (layout pixels) from the centre of a frame, at an angle in degrees
    // clockwise from 3 o'clock (screen coordinates).
    const uint8_t* at(int frame, double angle, double r) const {
        const int s = GetParam();
        const double a = angle * M_PI / 180;
        const int x = static_cast<int>(std::floor(s * (frameSize / 2.0 + r * std::cos(a))));
        const int y = static_cast<int>(std::floor(s * (frameSize / 2.0 + r * std::sin(a))));
        return image.pixel(x, s * frame * frameSize + y);
    }
    static bool green(const uint8_t* p) { return p[3] == 255 && p[1] > 200 && p[0] < 180 && p[2] < 120; }
    static bool trackGrey(const uint8_t* p) {
        return p[3] == 255 && std::abs(p[0] - p[1]) < 6 && std::abs(p[1] - p[2]) < 6 && p[0] >= 28 && p[0] <= 68;
    }
    PngImage image;
};

TEST_P(KnobStrip, Is100FramesOf56By56InRgbaWithTransparentCorners) {
    const int size = frameSize * GetParam();
    EXPECT_EQ(image.width, size);
    EXPECT_EQ(image.height, size * frames);
    EXPECT_EQ(image.colourType, 6);
    EXPECT_EQ(image.bitDepth, 8);
    int antialiased = 0;
    for (int k = 0; k < frames; ++k)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const uint8_t alpha = image.pixel(x, k * size + y)[3];
                if (std::hypot(x + 0.5 - size / 2.0, y + 0.5 - size / 2.0) > size / 2.0 - 0.5) {
                    ASSERT_EQ(alpha, 0) << "frame " << k << " at " << x << ", " << y;
                }
                if (alpha > 0 && alpha < 255) ++antialiased;
            }
    EXPECT_GT(antialiased, frames * 100) << "edges are antialiased";
}

TEST_P(KnobStrip, EveryFrameHasABlackCentreAndATrackWithItsGapAtTheBottom) {
    for (int k = 0; k < frames; ++k) {
        EXPECT_TRUE(near(at(k, 0, 0), 0, 0, 0, 0)) << "frame " << k;
        EXPECT_EQ(at(k, 0, 0)[3], 255);
        for (double angle = 70; angle <= 110; angle += 5) EXPECT_EQ(at(k, angle, 24)[3], 0) << "gap, frame " << k;
    }
}

// Frame k is lit from 7:30 clockwise over k / 99 of the 270 degree sweep; the rest of the track is grey.
TEST_P(KnobStrip, RingIsLitClockwiseFrom730OverTheFramesShareOfTheSweep) {
    for (int k : {0, 1, 49, 50, 98, 99}) {
        const double litTo = 135 + 270.0 * k / 99;
        for (double angle = 137; angle <= 403; angle += 2) {
            if (angle < litTo - 3) {
                EXPECT_TRUE(green(at(k, angle, 24))) << "frame " << k << " at " << angle << " degrees";
            } else if (angle > litTo + 3) {
                EXPECT_TRUE(trackGrey(at(k, angle, 24))) << "frame " << k << " at " << angle << " degrees";
            }
        }
    }
    // Value 0.5 shows frame 49: lit up to just short of the top.
    EXPECT_TRUE(green(at(49, 262, 24)));
    EXPECT_TRUE(trackGrey(at(49, 275, 24)));
}

TEST_P(KnobStrip, LitRingIsBrightGreenWithADarkerOuterEdge) {
    const uint8_t* inner = at(99, 270, 23);
    const uint8_t* outer = at(99, 270, 25.6);
    EXPECT_TRUE(near(inner, 140, 255, 79, 6));
    EXPECT_TRUE(green(outer) || outer[1] > 120);
    EXPECT_LT(outer[1] + 20, inner[1]);
}

INSTANTIATE_TEST_SUITE_P(Scales, KnobStrip, ::testing::Values(1, 2), scaleName);

} // namespace
