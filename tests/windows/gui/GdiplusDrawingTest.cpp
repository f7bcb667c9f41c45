#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Resource.h"
#include "tests/gui/Recorders.h"
#include "tests/windows/gui/Win32Pixels.h"

// The GDI+ drawing context and bitmaps. The program embeds the toy knob strip as PNG resource
// 900: 20 frames of 40 x 40, frame i green over the left i / 19 of its width, transparent elsewhere.
namespace {

SharedPointer<COffscreenContext> offscreen(CCoord width, CCoord height) {
    auto bitmap = owned(new CBitmap(width, height));
    return owned(COffscreenContext::create(bitmap.get()));
}

bool isTextPixel(const CColor& c) { return c.red > 128 && c.green > 128 && c.blue > 128; }

int textPixelsIn(CBitmap* bitmap, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) count += isTextPixel(pixelAt(bitmap, x, y)) ? 1 : 0;
    return count;
}

} // namespace

TEST(GdiplusDrawing, LabelShowsBackgroundFrameAndCentredArialTextClippedToItself) {
    auto context = offscreen(100, 40);
    ASSERT_TRUE(context);
    auto* label = new CTextLabel(CRect(10, 10, 90, 30), "HHHH", nullptr, 8);
    label->setBackColor(CColor(0, 0, 200, 255));
    label->setFrameColor(CColor(200, 0, 0, 255));
    label->draw(context.get());
    context->endDraw();
    CBitmap* pixels = context->getBitmap();

    EXPECT_EQ(pixelAt(pixels, 5, 5).alpha, 0);  // outside: untouched
    EXPECT_EQ(pixelAt(pixels, 10, 10), CColor(200, 0, 0, 255));
    EXPECT_EQ(pixelAt(pixels, 89, 29), CColor(200, 0, 0, 255));
    EXPECT_EQ(pixelAt(pixels, 11, 11), CColor(0, 0, 200, 255));
    EXPECT_EQ(pixelAt(pixels, 14, 20), CColor(0, 0, 200, 255));
    EXPECT_GT(textPixelsIn(pixels, 30, 11, 70, 29), 30);
    EXPECT_EQ(textPixelsIn(pixels, 11, 11, 25, 29), 0);
    EXPECT_EQ(textPixelsIn(pixels, 75, 11, 89, 29), 0);
    int top = 29;
    int bottom = 11;
    for (int y = 11; y < 29; ++y) {
        if (textPixelsIn(pixels, 30, y, 70, y + 1) == 0) continue;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // Capitals of 12 pixels' Arial are about 9 rows high, centred on the label's middle, 19.5.
    EXPECT_NEAR((top + bottom) / 2.0, 19.5, 1.0) << top << " " << bottom;
    EXPECT_NEAR(bottom - top + 1, 9, 2);
    const CCoord width = context->getStringWidth("HHHH");
    EXPECT_GT(width, 25);
    EXPECT_LT(width, 45);
    EXPECT_EQ(context->getStringWidth(""), 0);
    EXPECT_EQ(context->getStringWidth(nullptr), 0);

    label->setText("a text far wider than the label, drawn from the right");
    label->setHoriAlign(kRightText);
    label->setBackColor(kTransparentCColor);
    label->setFrameColor(kTransparentCColor);
    auto wide = offscreen(100, 40);
    label->draw(wide.get());
    wide->endDraw();
    EXPECT_GT(textPixelsIn(wide->getBitmap(), 10, 10, 90, 30), 30);
    EXPECT_EQ(textPixelsIn(wide->getBitmap(), 0, 0, 10, 40), 0);
    EXPECT_EQ(textPixelsIn(wide->getBitmap(), 90, 0, 100, 40), 0);
    label->forget();
}

TEST(GdiplusDrawing, LinesCoverWholePixelsAndEverythingStaysInsideTheClip) {
    auto context = offscreen(20, 20);
    context->setFrameColor(CColor(255, 255, 0, 255));
    context->drawLine(CPoint(2, 5), CPoint(18, 5));
    context->setClipRect(CRect(0, 10, 10, 20));
    context->setFillColor(CColor(0, 0, 255, 255));
    context->drawRect(CRect(0, 0, 20, 20), kDrawFilled);
    context->endDraw();
    CBitmap* pixels = context->getBitmap();
    EXPECT_EQ(pixelAt(pixels, 10, 5), CColor(255, 255, 0, 255));
    EXPECT_EQ(pixelAt(pixels, 10, 4).alpha, 0);
    EXPECT_EQ(pixelAt(pixels, 10, 6).alpha, 0);
    EXPECT_EQ(pixelAt(pixels, 5, 15), CColor(0, 0, 255, 255));
    EXPECT_EQ(pixelAt(pixels, 15, 15).alpha, 0);
    EXPECT_EQ(pixelAt(pixels, 5, 9).alpha, 0);

    context->resetClipRect();
    context->clearRect(CRect(0, 12, 20, 20));
    context->endDraw();
    EXPECT_EQ(pixelAt(pixels, 5, 15).alpha, 0);
    EXPECT_EQ(pixelAt(pixels, 5, 11), CColor(0, 0, 255, 255));
}

TEST(GdiplusDrawing, OffscreenContextDrawsIntoAnotherWithOffsetAndAlpha) {
    auto source = offscreen(20, 20);
    EXPECT_EQ(pixelAt(source->getBitmap(), 7, 7).alpha, 0);
    source->setFillColor(CColor(0, 255, 0, 255));
    source->drawRect(CRect(10, 0, 20, 20), kDrawFilled);
    source->endDraw();

    auto target = offscreen(20, 20);
    target->setFillColor(CColor(255, 0, 0, 255));
    target->drawRect(CRect(0, 0, 20, 20), kDrawFilled);
    target->drawBitmap(source->getBitmap(), CRect(0, 0, 10, 20), CPoint(10, 0), 0.5f);
    target->endDraw();
    const CColor mixed = pixelAt(target->getBitmap(), 5, 5);
    EXPECT_NEAR(mixed.red, 128, 2);
    EXPECT_NEAR(mixed.green, 128, 2);
    EXPECT_EQ(pixelAt(target->getBitmap(), 15, 5), CColor(255, 0, 0, 255));
}

TEST(GdiplusDrawing, BitmapsDecodeEmbeddedPNGsWithTheirAlpha) {
    auto strip = owned(new CBitmap(CResourceDescription(900)));
    ASSERT_TRUE(strip->isLoaded());
    EXPECT_EQ(strip->getWidth(), 40);
    EXPECT_EQ(strip->getHeight(), 800);
    EXPECT_EQ(pixelAt(strip.get(), 20, 19 * 40 + 20), CColor(0, 255, 0, 255));
    EXPECT_EQ(pixelAt(strip.get(), 20, 20).alpha, 0);

    // Frame 9 of the strip over grey: green on the left 9/19, grey where the frame is transparent.
    auto target = offscreen(40, 40);
    target->setFillColor(CColor(100, 100, 100, 255));
    target->drawRect(CRect(0, 0, 40, 40), kDrawFilled);
    target->drawBitmap(strip.get(), CRect(0, 0, 40, 40), CPoint(0, 9 * 40));
    target->endDraw();
    EXPECT_EQ(pixelAt(target->getBitmap(), 5, 20), CColor(0, 255, 0, 255));
    EXPECT_EQ(pixelAt(target->getBitmap(), 35, 20), CColor(100, 100, 100, 255));

    EXPECT_FALSE(owned(new CBitmap(CResourceDescription(901)))->isLoaded());
    const char garbage[] = "\x89PNG but not really";
    EXPECT_EQ(IPlatformBitmap::createFromMemory(garbage, sizeof(garbage)), nullptr);
    const tarn::ResourceBytes png = tarn::findPngResource(900);
    ASSERT_TRUE(png.data);
    EXPECT_EQ(IPlatformBitmap::createFromMemory(png.data, 40), nullptr);
    EXPECT_EQ(IPlatformBitmap::createFromMemory(nullptr, 10), nullptr);
}
