// The check box: a toggle whatever its flags say, and the box frame that
// follows the ticked state (headless Allegro, the built-in skin).

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "gui/Bitmap.h"
#include "gui/CheckBox.h"
#include "gui/Dialog.h"
#include "gui/Font.h"
#include "gui/Mouse.h"
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

class Counter : public Dialog {
public:
    void handleEvent(Widget*, int message, int, int) override
    {
        if (message == MSG_ACTIVATE)
            ++activations;
    }
    int activations = 0;
};

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        createMouse();
        box.setParent(&dialog);
        box.setup(10, 10, 150, 20, 'n', D_AUTOSIZE | D_AUTOREPEAT, "N\xe4ita k\xf5iki");
        box.sendMessage(MSG_SKINCHANGED);
        mouse()->update(Point(15, 15), 0, 0);
    }
    void TearDown() override { destroyMouse(); }

    void click()
    {
        box.sendMessage(MSG_LPRESS);
        box.sendMessage(MSG_LRELEASE);
    }

    Counter dialog;
    CheckBox box;
};

TEST_F(CheckBoxTest, SkinChangeMakesItAPlainToggle)
{
    EXPECT_TRUE(box.testFlags(D_TOGGLE));
    EXPECT_FALSE(box.testFlags(D_AUTOSIZE));
    EXPECT_FALSE(box.testFlags(D_AUTOREPEAT));
    EXPECT_EQ(box.bitmapIndex(), Skin::CHECKBOX);
    EXPECT_EQ(box.w(), 150);  // keeps the size it was given
    EXPECT_EQ(box.backColor(), globalSkin()->colors().face);
}

TEST_F(CheckBoxTest, EachClickFlipsTheTickAndActivates)
{
    click();
    EXPECT_TRUE(box.checked());
    click();
    EXPECT_FALSE(box.checked());
    EXPECT_EQ(dialog.activations, 2);

    // Let go outside: nothing changes.
    box.sendMessage(MSG_LPRESS);
    mouse()->update(Point(300, 300), 0, 0);
    box.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(box.checked());
    EXPECT_EQ(dialog.activations, 2);
}

TEST_F(CheckBoxTest, ShortcutTicksTheBoxAfterTheHold)
{
    box.sendMessage(MSG_KEY);
    for (int t = 0; t < Button::keyHoldTicks(); ++t)
        box.sendMessage(MSG_TICK);
    EXPECT_TRUE(box.checked());
    EXPECT_EQ(dialog.activations, 1);
}

TEST_F(CheckBoxTest, DrawsTheFrameOfTheTickedStateAndRow)
{
    const Bitmap& b = globalSkin()->bitmap(Skin::CHECKBOX);
    ASSERT_FALSE(b.empty());
    const int fw = b.width() / 2, fh = b.height() / 4;
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(box.w(), box.h()));

    // The drawn box equals the bitmap frame wherever that frame is not
    // the mask colour.
    auto matchesFrame = [&](int col, int row) {
        const int fontH = globalSkin()->font(box.fontIndex(0)).textHeight();
        const int y0 = fontH > fh ? (fontH - fh) / 2 : 0;
        const int mask = bitmap_mask_color(b.bitmap());
        for (int y = 0; y < fh && y0 + y < canvas.height(); ++y)
            for (int x = 0; x < fw; ++x) {
                int p = getpixel(b.bitmap(), col * fw + x, row * fh + y);
                if (p != mask && getpixel(canvas.bitmap(), x, y0 + y) != p)
                    return false;
            }
        return true;
    };
    auto frameDiffers = [&](int c1, int r1, int c2, int r2) {
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x)
                if (getpixel(b.bitmap(), c1 * fw + x, r1 * fh + y) !=
                    getpixel(b.bitmap(), c2 * fw + x, r2 * fh + y))
                    return true;
        return false;
    };
    ASSERT_TRUE(frameDiffers(0, 0, 1, 0));  // the built-in look ticks visibly

    box.draw(canvas);
    EXPECT_TRUE(matchesFrame(0, 0));
    EXPECT_FALSE(matchesFrame(1, 0));
    box.setChecked(true);
    box.draw(canvas);
    EXPECT_TRUE(matchesFrame(1, 0));
    box.disable();
    box.draw(canvas);
    EXPECT_TRUE(matchesFrame(1, 2));
}

TEST_F(CheckBoxTest, FocusRectangleSurroundsTheCaption)
{
    const int colour = makecol(255, 0, 255);
    box.setFontColor(Widget::Focused, colour);
    box.setFlag(D_GOTFOCUS);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(box.w(), box.h()));
    box.draw(canvas);
    const Font& f = globalSkin()->font(box.fontIndex(Widget::Focused));
    const int fh = globalSkin()->bitmap(Skin::CHECKBOX).height() / 4;
    const int tx = fh + 4;
    const int ty = fh > f.textHeight() ? (fh - f.textHeight()) / 2 : 1;
    // Corner dots of the rectangle round the caption.
    EXPECT_EQ(getpixel(canvas.bitmap(), tx - 2, ty - 1), colour);
    EXPECT_EQ(getpixel(canvas.bitmap(), tx - 3, ty - 1), globalSkin()->colors().face);
}

}  // namespace
