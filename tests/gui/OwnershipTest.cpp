#include <gtest/gtest.h>

#include "Recorders.h"

TEST(Ownership, FrameTakesOverViewsAndReleasesThemWithTheirBitmaps) {
    bool viewGone = false;
    bool bitmapGone = false;
    auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* bitmap = new TrackedBitmap(10, 100, &bitmapGone);
    auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), nullptr, 0, bitmap);
    EXPECT_EQ(bitmap->getNbReference(), 2);
    bitmap->forget();
    auto* view = new CountingView(CRect(0, 0, 10, 10), "view", nullptr, &viewGone);
    EXPECT_EQ(view->getNbReference(), 1);

    frame->addView(knob);
    frame->addView(view);
    EXPECT_EQ(view->getNbReference(), 1);
    EXPECT_TRUE(view->isAttached());

    // A reference of our own outlives the frame.
    view->remember();
    frame->forget();
    EXPECT_TRUE(bitmapGone);
    EXPECT_FALSE(viewGone);
    EXPECT_FALSE(view->isAttached());
    view->forget();
    EXPECT_TRUE(viewGone);
}

TEST(Ownership, RemoveViewWithoutForgetHandsTheReferenceBack) {
    bool viewGone = false;
    auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
    auto* view = new CountingView(CRect(0, 0, 10, 10), "view", nullptr, &viewGone);
    frame->addView(view);
    EXPECT_FALSE(frame->addView(view));
    EXPECT_TRUE(frame->removeView(view, false));
    EXPECT_EQ(frame->getNbViews(), 0);
    EXPECT_FALSE(viewGone);
    EXPECT_EQ(view->getNbReference(), 1);
    frame->forget();
    EXPECT_FALSE(viewGone);
    view->forget();
    EXPECT_TRUE(viewGone);
}

TEST(Ownership, CopiesStartWithOneReferenceAndShareTheBitmap) {
    bool bitmapGone = false;
    auto* bitmap = new TrackedBitmap(10, 100, &bitmapGone);
    auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), nullptr, 4, bitmap);
    knob->remember();
    knob->setValue(0.25f);
    auto* copy = static_cast<CAnimKnob*>(knob->newCopy());
    EXPECT_EQ(copy->getNbReference(), 1);
    EXPECT_EQ(copy->getTag(), 4);
    EXPECT_FLOAT_EQ(copy->getValue(), 0.25f);
    EXPECT_EQ(copy->getNumSubPixmaps(), 10);
    EXPECT_EQ(bitmap->getNbReference(), 3);
    knob->forget();
    knob->forget();
    bitmap->forget();
    EXPECT_FALSE(bitmapGone);
    copy->forget();
    EXPECT_TRUE(bitmapGone);
}

TEST(Ownership, TypeQueriesFollowTheClassTree) {
    auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), nullptr, 0, nullptr);
    EXPECT_TRUE(knob->isTypeOf("CAnimKnob"));
    EXPECT_TRUE(knob->isTypeOf("CKnob"));
    EXPECT_TRUE(knob->isTypeOf("CControl"));
    EXPECT_TRUE(knob->isTypeOf("CView"));
    EXPECT_FALSE(knob->isTypeOf("CTextLabel"));
    EXPECT_STREQ(knob->getClassName(), "CAnimKnob");
    knob->forget();
    struct Surface : COpenGLView {
        Surface() : COpenGLView(CRect(0, 0, 10, 10)) {}
        void drawOpenGL(const CRect&) override {}
    };
    auto* gl = new Surface;
    EXPECT_TRUE(gl->isTypeOf("COpenGLView"));
    EXPECT_EQ(gl->newCopy(), nullptr);
    gl->forget();
}
