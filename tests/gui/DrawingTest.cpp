#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <string>

#include "Pixels.h"
#include "Recorders.h"
#include "platform/Resource.h"

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

// A PNG image of width x height in one colour, made with cairo.
std::string makePNG(int width, int height, double r, double g, double b, double a) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, r, g, b, a);
    cairo_paint(cr);
    cairo_destroy(cr);
    std::string bytes;
    cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    cairo_surface_destroy(surface);
    return bytes;
}

} // namespace

TEST(TextLabel, DrawsBackgroundFrameAndCentredTextClippedToItself) {
    auto context = offscreen(100, 40);
    auto* label = new CTextLabel(CRect(10, 10, 90, 30), "HHHH", nullptr, 8);
    EXPECT_EQ(label->getFontColor(), kWhiteCColor);
    EXPECT_EQ(label->getFrameColor(), kBlackCColor);
    EXPECT_EQ(label->getHoriAlign(), kCenterText);
    label->setBackColor(CColor(0, 0, 200, 255));
    label->setFrameColor(CColor(200, 0, 0, 255));
    label->draw(context.get());
    CBitmap* pixels = context->getBitmap();

    EXPECT_EQ(pixelAt(pixels, 5, 5).alpha, 0);      // outside: untouched
    EXPECT_EQ(pixelAt(pixels, 10, 10), CColor(200, 0, 0, 255));
    EXPECT_EQ(pixelAt(pixels, 89, 29), CColor(200, 0, 0, 255));
    EXPECT_EQ(pixelAt(pixels, 50, 10), CColor(200, 0, 0, 255));
    EXPECT_EQ(pixelAt(pixels, 11, 11), CColor(0, 0, 200, 255));
    EXPECT_EQ(pixelAt(pixels, 14, 20), CColor(0, 0, 200, 255));
    // The text sits in the middle, as much above the centre line as below it.
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
    // The label's rows 10 to 29 have their middle at 19.5.
    EXPECT_NEAR((top + bottom) / 2.0, 19.5, 1.0) << top << " " << bottom;

    label->setText("a text far wider than the label, drawn from the right");
    label->setHoriAlign(kRightText);
    label->setBackColor(kTransparentCColor);
    label->setFrameColor(kTransparentCColor);
    auto wide = offscreen(100, 40);
    label->draw(wide.get());
    EXPECT_GT(textPixelsIn(wide->getBitmap(), 10, 10, 90, 30), 30);
    EXPECT_EQ(textPixelsIn(wide->getBitmap(), 0, 0, 10, 40), 0);
    EXPECT_EQ(textPixelsIn(wide->getBitmap(), 90, 0, 100, 40), 0);
    EXPECT_EQ(pixelAt(wide->getBitmap(), 10, 10).alpha, 0);
    label->forget();
}

TEST(TextLabel, RightAlignmentPutsTheTextAtTheRightEdge) {
    auto context = offscreen(100, 20);
    auto* label = new CTextLabel(CRect(0, 0, 100, 20), "I/O", nullptr, 8);
    label->setHoriAlign(kRightText);
    label->draw(context.get());
    EXPECT_GT(textPixelsIn(context->getBitmap(), 80, 1, 99, 19), 5);
    EXPECT_EQ(textPixelsIn(context->getBitmap(), 1, 1, 60, 19), 0);
    label->forget();
}

TEST(OffscreenContext, StartsTransparentAndDrawsIntoAnotherContextWithOffsetAndAlpha) {
    EXPECT_EQ(COffscreenContext::create(nullptr, 10, 10), nullptr);
    auto* frame = new CFrame(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_EQ(COffscreenContext::create(frame, 0, 10), nullptr);
    auto* fromFrame = COffscreenContext::create(frame, 20, 10);
    ASSERT_NE(fromFrame, nullptr);
    EXPECT_EQ(fromFrame->getBitmap()->getWidth(), 20);
    fromFrame->forget();
    frame->forget();

    auto source = offscreen(20, 20);
    EXPECT_EQ(pixelAt(source->getBitmap(), 7, 7).alpha, 0);
    source->beginDraw();
    source->setFillColor(CColor(0, 255, 0, 255));
    source->drawRect(CRect(10, 0, 20, 20), kDrawFilled);
    source->endDraw();

    auto target = offscreen(20, 20);
    target->setFillColor(CColor(255, 0, 0, 255));
    target->drawRect(CRect(0, 0, 20, 20), kDrawFilled);
    // Offset 10: the green half of the source lands at the left of the destination.
    target->drawBitmap(source->getBitmap(), CRect(0, 0, 10, 20), CPoint(10, 0), 0.5f);
    const CColor mixed = pixelAt(target->getBitmap(), 5, 5);
    EXPECT_NEAR(mixed.red, 128, 2);
    EXPECT_NEAR(mixed.green, 128, 2);
    EXPECT_EQ(pixelAt(target->getBitmap(), 15, 5), CColor(255, 0, 0, 255));
}

TEST(Bitmap, LoadsPNGBytesAndEmbeddedResourcesByNumber) {
    const std::string png = makePNG(7, 5, 0, 0, 1, 0.5);
    auto bitmap = owned(new CBitmap(IPlatformBitmap::createFromMemory(png.data(), static_cast<uint32_t>(png.size()))));
    EXPECT_EQ(bitmap->getWidth(), 7);
    EXPECT_EQ(bitmap->getHeight(), 5);
    const CColor c = pixelAt(bitmap.get(), 3, 3);
    EXPECT_NEAR(c.alpha, 128, 1);
    EXPECT_NEAR(c.blue, 255, 2);

    tarn::registerPngResource(4711, reinterpret_cast<const unsigned char*>(png.data()), png.size());
    auto resource = owned(new CBitmap(CResourceDescription(4711)));
    EXPECT_TRUE(resource->isLoaded());
    EXPECT_EQ(resource->getWidth(), 7);
    EXPECT_EQ(resource->getResourceDescription().id, 4711);

    auto missing = owned(new CBitmap(CResourceDescription(4712)));
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(missing->getWidth(), 0);
    const char garbage[] = "\x89PNG but not really";
    EXPECT_EQ(IPlatformBitmap::createFromMemory(garbage, sizeof(garbage)), nullptr);
    EXPECT_EQ(IPlatformBitmap::createFromMemory(png.data(), 20), nullptr);
}
