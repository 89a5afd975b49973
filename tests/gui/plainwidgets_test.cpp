// Backdrop, panel and image: sizes taken from the parent or the picture,
// deep copies of pictures, centring and masking (headless Allegro, the
// built-in skin).

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "gui/Backdrop.h"
#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Image.h"
#include "gui/Panel.h"
#include "gui/Skin.h"

namespace {

class AllegroEnv : public ::testing::Environment {
public:
    void SetUp() override
    {
        set_uformat(U_ASCII);
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
        set_color_depth(32);
        setGlobalSkin(new Skin("default"));
    }
};

const auto* const env = ::testing::AddGlobalTestEnvironment(new AllegroEnv);

TEST(Backdrop, FillsItsWholeParentWithTheBackColour)
{
    Dialog dialog;
    Dialog inner;
    inner.setParent(&dialog);
    inner.shape(10, 10, 170, 90);
    Backdrop backdrop;
    backdrop.setParent(&inner);
    backdrop.sendMessage(MSG_SKINCHANGED);
    EXPECT_EQ(backdrop.fillColor(), globalSkin()->colors().back);
    backdrop.sendMessage(MSG_START);
    EXPECT_EQ(backdrop.w(), 170);
    EXPECT_EQ(backdrop.h(), 90);

    Bitmap canvas;
    ASSERT_TRUE(canvas.create(20, 10));
    clear_to_color(canvas.bitmap(), makecol(1, 1, 1));
    backdrop.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 19, 9), globalSkin()->colors().back);

    // Without a colour it paints nothing.
    backdrop.setFillColor(NO_COLOR);
    clear_to_color(canvas.bitmap(), makecol(1, 1, 1));
    backdrop.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 5, 5), makecol(1, 1, 1));
}

TEST(Panel, PaintsTheRaisedPanelOverItsArea)
{
    Panel panel;
    panel.sendMessage(MSG_SKINCHANGED);
    EXPECT_EQ(panel.bitmapIndex(), Skin::PANEL_RAISED);
    panel.resize(64, 48);
    Bitmap canvas, expected;
    ASSERT_TRUE(canvas.create(64, 48));
    ASSERT_TRUE(expected.create(64, 48));
    clear_to_color(canvas.bitmap(), 0);
    clear_to_color(expected.bitmap(), 0);
    panel.draw(canvas);
    globalSkin()->bitmap(Skin::PANEL_RAISED).tiledBlit(expected.bitmap(), 0, 0, 0, 0, 64, 48);
    int differences = 0, painted = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            differences += getpixel(canvas.bitmap(), x, y) != getpixel(expected.bitmap(), x, y);
            painted += getpixel(canvas.bitmap(), x, y) != 0;
        }
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(painted, 64 * 48);
}

// A picture with a distinct top-left pixel, the rest one colour.
Bitmap picture(int w, int h, int colour, int corner)
{
    Bitmap b;
    b.create(w, h);
    clear_to_color(b.bitmap(), colour);
    putpixel(b.bitmap(), 0, 0, corner);
    return b;
}

TEST(Image, KeepsItsOwnCopyOfThePicture)
{
    const int red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    Bitmap source = picture(30, 20, red, blue);
    Image image;
    image.setBitmap(source);
    EXPECT_TRUE(image.hasOwnBitmap());
    EXPECT_NE(image.picture().bitmap(), source.bitmap());
    EXPECT_EQ(image.w(), 30);  // autosize
    EXPECT_EQ(image.h(), 20);

    // The composer may destroy or reuse its picture at once.
    clear_to_color(source.bitmap(), 0);
    source.release();
    EXPECT_EQ(getpixel(image.picture().bitmap(), 0, 0), blue);
    EXPECT_EQ(getpixel(image.picture().bitmap(), 29, 19), red);

    // Back to a skin picture.
    image.setBitmapIndex(Skin::CHECKBOX);
    EXPECT_FALSE(image.hasOwnBitmap());
    EXPECT_EQ(image.w(), globalSkin()->bitmap(Skin::CHECKBOX).width());
    image.setBitmapIndex(5000);  // out of range: an empty picture
    EXPECT_TRUE(image.picture().empty());
}

TEST(Image, CentresTheSmallerPictureAndClipsTheLargerOne)
{
    const int red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    Bitmap small = picture(10, 6, red, blue);
    Image image;
    image.clearFlag(D_AUTOSIZE);
    image.resize(31, 20);
    image.setBitmap(small);
    EXPECT_EQ(image.w(), 31);  // no autosize: the size stays

    Bitmap canvas;
    ASSERT_TRUE(canvas.create(31, 20));
    clear_to_color(canvas.bitmap(), 0);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 10, 7), blue);  // (31-10)/2, (20-6)/2
    EXPECT_EQ(getpixel(canvas.bitmap(), 9, 7), 0);

    // A picture larger than the widget starts at its corner.
    Bitmap large = picture(50, 40, red, blue);
    image.setBitmap(large);
    clear_to_color(canvas.bitmap(), 0);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, 0), blue);
}

TEST(Image, MaskedPictureShowsItsBackground)
{
    const int red = makecol(255, 0, 0), green = makecol(0, 90, 0);
    Bitmap pic;
    ASSERT_TRUE(pic.create(10, 10));
    clear_to_color(pic.bitmap(), bitmap_mask_color(pic.bitmap()));
    putpixel(pic.bitmap(), 5, 5, red);
    Image image;
    image.setup(0, 0, 0, 0, 0, 0, pic.bitmap(), true, green);
    EXPECT_EQ(image.w(), 10);

    Bitmap canvas;
    ASSERT_TRUE(canvas.create(10, 10));
    clear_to_color(canvas.bitmap(), 0);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, 0), green);
    EXPECT_EQ(getpixel(canvas.bitmap(), 5, 5), red);

    image.setBackground(NO_COLOR);
    clear_to_color(canvas.bitmap(), 0);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, 0), 0);  // see-through

    image.setMasked(false);
    image.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, 0), bitmap_mask_color(pic.bitmap()));
}

TEST(Image, LoadsAFileOrKeepsWhatItHad)
{
    const int red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    Bitmap pic = picture(12, 7, red, blue);
    const std::string path = testing::TempDir() + "image_test_picture.bmp";
    ASSERT_EQ(save_bitmap(path.c_str(), pic.bitmap(), nullptr), 0);

    Image image;
    image.setup(0, 0, 0, 0, 0, 0, path.c_str());
    EXPECT_EQ(image.w(), 12);
    EXPECT_EQ(image.h(), 7);
    EXPECT_EQ(getpixel(image.picture().bitmap(), 0, 0), blue);

    EXPECT_NE(image.loadBitmap((path + ".missing").c_str()).code(), 0);
    EXPECT_TRUE(image.hasOwnBitmap());
    EXPECT_EQ(image.w(), 12);
    std::remove(path.c_str());
}

}  // namespace
