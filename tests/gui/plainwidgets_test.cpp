// Backdrop and image: sizes taken from the parent or the picture, deep
// copies of pictures, centring and masking (headless Allegro, the built-in
// skin).

#include <gtest/gtest.h>


#include "gui/Backdrop.h"
#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Image.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 32, .then = [] { setGlobalSkin(new Skin("default")); }});

TEST(Backdrop, TakesItsParentsSizeAndTheBackColour)
{
    Dialog dialog, inner;
    inner.setParent(&dialog);
    inner.shape(10, 10, 170, 90);
    Backdrop backdrop;
    backdrop.setParent(&inner);
    backdrop.sendMessage(MSG_SKINCHANGED);
    backdrop.sendMessage(MSG_START);
    EXPECT_EQ(backdrop.rect(), Rect(10, 10, 170, 90));
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(20, 10));
    backdrop.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 19, 9), globalSkin()->colors().back);
}

// A picture of one colour with a distinct top-left pixel.
Bitmap picture(int w, int h, int colour, int corner)
{
    Bitmap b;
    b.create(w, h);
    clear_to_color(b.bitmap(), colour);
    putpixel(b.bitmap(), 0, 0, corner);
    return b;
}

TEST(Image, KeepsItsOwnCopyAndCentresIt)
{
    const int red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    Bitmap source = picture(10, 6, red, blue);
    Image image;
    image.setBitmap(source);
    EXPECT_EQ(image.w(), 10);  // autosize
    EXPECT_EQ(image.h(), 6);
    clear_to_color(source.bitmap(), 0);  // the composer may reuse its picture
    source.release();
    EXPECT_EQ(getpixel(image.picture().bitmap(), 0, 0), blue);

    image.clearFlag(D_AUTOSIZE);
    image.resize(31, 20);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(31, 20));
    clear_to_color(canvas.bitmap(), 0);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 10, 7), blue);  // (31-10)/2, (20-6)/2
    EXPECT_EQ(getpixel(canvas.bitmap(), 9, 7), 0);

    Bitmap large = picture(50, 40, red, blue);  // larger: shown from its corner
    image.setBitmap(large);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, 0), blue);

    image.setBitmapIndex(Skin::CHECKBOX);  // back to a skin picture
    EXPECT_FALSE(image.hasOwnBitmap());
    EXPECT_EQ(image.picture().bitmap(), globalSkin()->bitmap(Skin::CHECKBOX).bitmap());
}

TEST(Image, ASmallerPictureHasWhatLiesBehindPaintedAgain)
{
    Dialog dialog;
    Widget behind;
    Image image;
    behind.shape(0, 0, 300, 300);
    dialog.add(&behind);
    dialog.add(&image);
    Bitmap big = picture(40, 40, 1, 2), small = picture(20, 20, 1, 2);
    image.setBitmap(big);
    behind.clearFlag(D_DIRTY);
    image.setBitmap(big);  // the same size, opaque: it covers the old one
    EXPECT_FALSE(behind.dirty());
    image.setBitmap(small);
    EXPECT_TRUE(behind.dirty());
}

TEST(Image, MaskedPictureShowsItsBackground)
{
    const int red = makecol(255, 0, 0), green = makecol(0, 90, 0);
    Bitmap pic;
    ASSERT_TRUE(pic.create(10, 10));
    const int mask = bitmap_mask_color(pic.bitmap());
    clear_to_color(pic.bitmap(), mask);
    putpixel(pic.bitmap(), 5, 5, red);
    Image image;
    image.setup(0, 0, 0, 0, 0, 0, pic.bitmap(), true, green);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(10, 10));
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, 0), green);
    EXPECT_EQ(getpixel(canvas.bitmap(), 5, 5), red);
    image.setBackground(NO_COLOR);
    clear_to_color(canvas.bitmap(), 0);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, 0), 0);  // see-through
    image.setMasked(false);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, 0), mask);
}

}  // namespace
