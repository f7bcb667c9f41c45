#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "views/CurveThinning.h"

namespace {

// x, y pairs of `count` points spread like the graph's: 1500 over 360 pixels.
std::vector<float> curveOf(int count, float width, std::vector<float> ys) {
    std::vector<float> xy(2 * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        xy[2 * i] = static_cast<float>(i) * (width / static_cast<float>(count));
        xy[2 * i + 1] = ys[static_cast<std::size_t>(i)];
    }
    return xy;
}

} // namespace

TEST(CurveThinning, KeepsInOrderWhereEachColumnIsEnteredLeftAndAtItsExtremes) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> level(0.f, 240.f);
    std::vector<float> ys(1500);
    for (float& y : ys) y = level(random);
    const std::vector<float> xy = curveOf(1500, 360.f, ys);
    std::vector<float> out(xy.size());
    const int kept = tarn::thinCurve(xy.data(), 1500, out.data());
    ASSERT_LE(kept, 4 * 360);

    // A subsequence of the points, holding in every column its first, last, lowest and highest.
    std::vector<int> index;
    for (int k = 0, i = 0; k < kept; ++k, ++i) {
        while (i < 1500 && !(xy[2 * i] == out[2 * k] && xy[2 * i + 1] == out[2 * k + 1])) ++i;
        ASSERT_LT(i, 1500) << "point " << k << " is not an original point in order";
        index.push_back(i);
    }
    for (int column = 0; column < 360; ++column) {
        std::vector<int> in;
        for (int i = 0; i < 1500; ++i)
            if (static_cast<int>(xy[2 * i]) == column) in.push_back(i);
        const auto byY = [&](int a, int b) { return xy[2 * a + 1] < xy[2 * b + 1]; };
        for (int must : {in.front(), in.back(), *std::min_element(in.begin(), in.end(), byY),
                         *std::max_element(in.begin(), in.end(), byY)})
            EXPECT_NE(std::find(index.begin(), index.end(), must), index.end()) << "column " << column;
    }
}

TEST(CurveThinning, AStraightRunKeepsTwoPointsAColumnAndLonePointsStay) {
    std::vector<float> ys(1500);
    for (int i = 0; i < 1500; ++i) ys[static_cast<std::size_t>(i)] = static_cast<float>(i) * 0.1f;
    std::vector<float> out(3000);
    const std::vector<float> rising = curveOf(1500, 360.f, ys);
    EXPECT_EQ(tarn::thinCurve(rising.data(), 1500, out.data()), 2 * 360);
    EXPECT_EQ(out[2 * 719], rising[2 * 1499]);

    const std::vector<float> sparse = curveOf(3, 360.f, {5.f, 1.f, 9.f});
    EXPECT_EQ(tarn::thinCurve(sparse.data(), 3, out.data()), 3);
    EXPECT_EQ(tarn::thinCurve(sparse.data(), 0, out.data()), 0);
}

TEST(CurveThinning, StraighteningKeepsEveryPointWithinTheToleranceAndAStraightRunToItsEnds) {
    // Plucked notes: a jump, then a straight decay in dB with a ripple finer than the tolerance.
    std::vector<float> ys(1500);
    for (int i = 0; i < 1500; ++i)
        ys[static_cast<std::size_t>(i)] = 20.f + 0.4f * static_cast<float>(i % 300) + 0.1f * static_cast<float>(i % 2);
    const std::vector<float> xy = curveOf(1500, 360.f, ys);
    std::vector<float> out(xy);
    const int kept = tarn::straightenCurve(out.data(), 1500, 0.25f, out.data());
    EXPECT_LE(kept, 20);
    EXPECT_EQ(out[0], xy[0]);
    EXPECT_EQ(out[2 * kept - 1], xy[2 * 1499 + 1]);
    for (int i = 0, k = 0; i < 1500; ++i) {
        const float x = xy[2 * i];
        while (k + 2 < kept && out[2 * (k + 1)] < x) ++k;
        const float t = (x - out[2 * k]) / (out[2 * k + 2] - out[2 * k]);
        const float y = out[2 * k + 1] + t * (out[2 * k + 3] - out[2 * k + 1]);
        ASSERT_NEAR(y, xy[2 * i + 1], 0.25f + 1e-3f) << "point " << i;
    }

    const std::vector<float> flat = curveOf(1500, 360.f, std::vector<float>(1500, 7.f));
    EXPECT_EQ(tarn::straightenCurve(flat.data(), 1500, 0.25f, out.data()), 2);
    EXPECT_EQ(tarn::straightenCurve(flat.data(), 1, 0.25f, out.data()), 1);
}
