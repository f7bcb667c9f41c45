#include <gtest/gtest.h>

#include <cmath>

#include "../gui/Pixels.h"
#include "gui/vstgui.h"
#include "views/ZuMeter.h"

using namespace VSTGUI;

namespace {

const CRect kMeterRect(370, 120, 540, 360);
// Grid rows of the 240-pixel graph at range 8.
const double kGridAtRange8[7] = {29.90, 59.79, 89.69, 119.59, 149.49, 179.38, 209.28};

bool isText(const CColor& c) { return c.alpha > 100 && c.red > 128 && c.green > 128 && c.blue > 128; }

// The meter in a frame of the editor's size (without a window: none is needed to draw off
// screen), drawn into a context of the frame's size.
class MeterPicture {
public:
    MeterPicture() : frame(owned(new CFrame(CRect(0, 0, 550, 375), nullptr, nullptr))) {
        meter = new ZuMeter(kMeterRect, nullptr);
        frame->addView(meter);
    }
    // Draws the meter afresh; answers whether the pixel at view-local x, y is text.
    void draw() {
        surface = owned(new CBitmap(550, 375));
        auto context = owned(COffscreenContext::create(surface.get()));
        meter->draw(context.get());
    }
    CColor at(int x, int y) const { return pixelAt(surface.get(), 370 + x, 120 + y); }
    // Text pixels in view-local columns [left, right) and rows [top, bottom).
    int textIn(int left, int top, int right, int bottom) const {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += isText(at(x, y)) ? 1 : 0;
        return count;
    }
    // Middle of the rows with text in columns [left, right) within rows [top, bottom), in
    // pixel coordinates (a row y spans y to y + 1); NaN without text.
    double textMiddle(int left, int top, int right, int bottom) const {
        int first = -1;
        int last = -1;
        for (int y = top; y < bottom; ++y) {
            if (textIn(left, y, right, y + 1) == 0) continue;
            if (first < 0) first = y;
            last = y;
        }
        return first < 0 ? std::nan("") : (first + last + 1) / 2.0;
    }
    // The columns that the text in rows [top, bottom) spans.
    std::pair<int, int> textColumns(int top, int bottom) const {
        int first = -1;
        int last = -1;
        for (int x = 0; x < 170; ++x) {
            if (textIn(x, top, x + 1, bottom) == 0) continue;
            if (first < 0) first = x;
            last = x;
        }
        return {first, last};
    }

    SharedPointer<CFrame> frame;
    ZuMeter* meter;
    SharedPointer<CBitmap> surface;
};

// The labels' column: the title is right-aligned and the labels are short.
constexpr int kLabelColumns = 60;

} // namespace

TEST(ZuMeter, IsATransparentControlWithTag8AndACopyOfEveryField) {
    auto meter = owned(new ZuMeter(kMeterRect, nullptr));
    EXPECT_TRUE(meter->isTypeOf("ZuMeter"));
    EXPECT_TRUE(meter->isTypeOf("CControl"));
    EXPECT_STREQ(meter->getClassName(), "ZuMeter");
    EXPECT_EQ(meter->getTag(), 8);
    EXPECT_TRUE(meter->getTransparency());
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(meter->getLabelY(k), kGridAtRange8[k - 1], 0.01) << k;

    meter->setDisplayRange(3.5f);
    auto copy = owned(static_cast<ZuMeter*>(meter->newCopy()));
    ASSERT_NE(copy.get(), nullptr);
    EXPECT_EQ(copy->getNbReference(), 1);
    EXPECT_EQ(copy->getTag(), 8);
    EXPECT_EQ(copy->getViewSize(), kMeterRect);
    EXPECT_TRUE(copy->getTransparency());
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(copy->getLabelY(k), meter->getLabelY(k)) << k;
}

TEST(ZuMeter, SetDisplayRangeMovesTheLabelsToTheGraphsGridWithoutClamping) {
    auto meter = owned(new ZuMeter(kMeterRect, nullptr));
    meter->setDirty(false);
    meter->setDisplayRange(4.f);
    EXPECT_TRUE(meter->isDirty());
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(meter->getLabelY(k), 2 * kGridAtRange8[k - 1], 0.02) << k;
    meter->setDisplayRange(1.f);
    EXPECT_NEAR(meter->getLabelY(1), 239.18, 0.01);
    meter->setDisplayRange(16.f);
    EXPECT_NEAR(meter->getLabelY(1), kGridAtRange8[0] / 2, 0.01);
    // A range of 0 or no number puts the labels at no finite height; they are not drawn.
    meter->setDisplayRange(0.f);
    EXPECT_FALSE(std::isfinite(meter->getLabelY(1)));
}

TEST(ZuMeter, LabelsSitCentredOnTheGridRowsAtRange8WithTheTitleBottomRight) {
    MeterPicture picture;
    picture.meter->setDirty(true);
    picture.draw();
    EXPECT_FALSE(picture.meter->isDirty());
    for (int k = 1; k <= 7; ++k) {
        const double y = kGridAtRange8[k - 1];
        const double middle = picture.textMiddle(0, static_cast<int>(y) - 8, kLabelColumns, static_cast<int>(y) + 9);
        EXPECT_NEAR(middle, y, 1.5) << "label " << k;
        // Left-aligned: the text starts at the view's left edge.
        const auto columns = picture.textColumns(static_cast<int>(y) - 4, static_cast<int>(y) + 4);
        EXPECT_LE(columns.first, 2) << "label " << k;
    }
    // Between the labels nothing is drawn, not even a background: the surface stays clear.
    EXPECT_EQ(picture.textIn(0, 40, 170, 50), 0);
    EXPECT_EQ(picture.at(100, 45).alpha, 0);
    EXPECT_EQ(picture.at(5, 45).alpha, 0);

    // The title: right-aligned in the bottom 16 rows, wider than any label.
    const auto title = picture.textColumns(224, 240);
    EXPECT_GE(title.second, 166);
    EXPECT_LT(title.first, 60);
    EXPECT_NEAR(picture.textMiddle(145, 220, 170, 240), 232.0, 1.5); // the digits "1.2.4"
    // Nothing outside the view.
    EXPECT_EQ(pixelAt(picture.surface.get(), 369, 150).alpha, 0);
    EXPECT_EQ(pixelAt(picture.surface.get(), 540, 150).alpha, 0);
}

TEST(ZuMeter, LabelsFollowTheRangeAndAreCutOffBelowTheView) {
    MeterPicture picture;
    picture.meter->setDisplayRange(4.f);
    picture.draw();
    for (int k = 1; k <= 3; ++k) {
        const double y = 2 * kGridAtRange8[k - 1];
        EXPECT_NEAR(picture.textMiddle(0, static_cast<int>(y) - 8, kLabelColumns, static_cast<int>(y) + 9), y, 1.5) << k;
    }
    // Label 4 is centred at 239.2: its upper half shows in the last rows, nothing lies below.
    EXPECT_GT(picture.textIn(0, 232, 25, 240), 0);
    EXPECT_EQ(pixelAt(picture.surface.get(), 380, 361).alpha, 0);
    EXPECT_EQ(picture.textIn(0, 0, kLabelColumns, 50), 0);
    EXPECT_GE(picture.textColumns(224, 240).second, 166);

    picture.meter->setDisplayRange(1.f);
    picture.draw();
    // "0.0db" centred at 239.2, its lower half cut off; the others lie below the view.
    EXPECT_GT(picture.textIn(0, 232, 25, 240), 0);
    EXPECT_EQ(picture.textIn(0, 0, 170, 224), 0);
    EXPECT_GE(picture.textColumns(224, 240).second, 166);
}

TEST(ZuMeter, AtRange7TheLastLabelAndTheTitleAreBothDrawn) {
    MeterPicture picture;
    picture.meter->setDisplayRange(7.f);
    EXPECT_NEAR(picture.meter->getLabelY(7), 239.18, 0.01);
    picture.draw();
    EXPECT_GT(picture.textIn(0, 232, 25, 240), 0);
    EXPECT_GE(picture.textColumns(224, 240).second, 166);
    EXPECT_NEAR(picture.textMiddle(0, 190, kLabelColumns, 215), 6 * 6 / (20 * std::log10(2.0)) * 240 / 7, 1.5);
}

TEST(ZuMeter, AnEmptyViewOrOneWithoutAFrameDrawsNothing) {
    auto surface = owned(new CBitmap(550, 375));
    auto context = owned(COffscreenContext::create(surface.get()));
    auto loose = owned(new ZuMeter(kMeterRect, nullptr));
    loose->setDirty(true);
    loose->draw(context.get());
    EXPECT_TRUE(loose->isDirty());

    auto frame = owned(new CFrame(CRect(0, 0, 550, 375), nullptr, nullptr));
    for (const CRect& size : {CRect(370, 120, 370, 360), CRect(370, 120, 540, 120)}) {
        auto* empty = new ZuMeter(size, nullptr);
        frame->addView(empty);
        empty->setDisplayRange(0.f);
        empty->setDisplayRange(4.f);
        empty->draw(context.get());
        EXPECT_TRUE(empty->isDirty());
    }
    for (int y = 100; y < 375; y += 7)
        for (int x = 360; x < 550; x += 3) ASSERT_EQ(pixelAt(surface.get(), x, y).alpha, 0) << x << " " << y;

    // Labels at no finite height are skipped; the title is still drawn.
    auto* meter = new ZuMeter(kMeterRect, nullptr);
    frame->addView(meter);
    meter->setDisplayRange(0.f);
    meter->draw(context.get());
    int title = 0;
    for (int x = 470; x < 540; ++x) title += isText(pixelAt(surface.get(), x, 352)) ? 1 : 0;
    EXPECT_GT(title, 0);
}
