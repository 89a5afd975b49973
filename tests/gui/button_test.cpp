// Buttons, hyperlinks and check boxes: press and release with the mouse,
// shortcut presses held for a number of logic ticks, auto-repeat, toggles
// and the parts of their looks that depend on state (headless Allegro,
// memory bitmaps, the built-in skin).

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/Dialog.h"
#include "gui/Font.h"
#include "gui/Hyperlink.h"
#include "gui/Mouse.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"
#include "tests/support/recording_dialog.h"

namespace {

const auto* const env = testkit::headlessAllegro({.asciiText = true, .colourDepth = 32, .then = [] { setGlobalSkin(new Skin("default")); }});

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theSettings.logicFrameRate = 50;
        createMouse();
        button.setParent(&dialog);
        button.sendMessage(MSG_SKINCHANGED);
        button.setup(20, 30, 80, 24, 'o', 0, "&Ok");
        mouseAt(40, 40);
    }
    void TearDown() override
    {
        destroyMouse();
        theSettings.logicFrameRate = 50;
    }

    static void mouseAt(int x, int y) { mouse()->update(Point(x, y), 0, 0); }
    void click(Widget& w)
    {
        w.sendMessage(MSG_LPRESS);
        w.sendMessage(MSG_LRELEASE);
    }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            button.sendMessage(MSG_TICK);
    }

    testkit::RecordingDialog dialog{testkit::RecordingDialog::RecordOnly};
    Button button;
};

TEST_F(ButtonTest, ClickActivatesOnReleaseInsideOnly)
{
    button.sendMessage(MSG_LPRESS);
    EXPECT_TRUE(button.selected());
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 0);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(button.selected());
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 1);

    mouseAt(button.x2(), button.y2());  // the far edge still counts as inside
    click(button);
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 2);

    // Let go one pixel outside: the press is taken back.
    button.sendMessage(MSG_LPRESS);
    mouseAt(button.x2() + 1, 40);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(button.selected());
    EXPECT_FALSE(button.testFlags(D_PRESSED));
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 2);

    // A release that follows no press changes nothing.
    button.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(button.selected());
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 2);
}

TEST_F(ButtonTest, ToggleKeepsItsStateAndGetsItBackWhenLetGoOutside)
{
    button.setFlag(D_TOGGLE);
    click(button);
    EXPECT_TRUE(button.selected());
    button.sendMessage(MSG_LPRESS);
    mouseAt(40, button.y() - 1);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_TRUE(button.selected());
    mouseAt(40, 40);
    click(button);
    EXPECT_FALSE(button.selected());
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 2);
}

TEST_F(ButtonTest, ShortcutPressIsHeldForAFixedNumberOfTicks)
{
    struct Case {
        int rate, ticks;
    };
    for (Case c : {Case{50, 7}, Case{100, 15}, Case{60, 9}, Case{5, 1}}) {
        theSettings.logicFrameRate = c.rate;
        dialog.events.clear();
        mouseAt(-500, -500);  // the mouse plays no part in a key press
        button.sendMessage(MSG_KEY);
        for (int t = 1; t < c.ticks; ++t) {
            tick();
            button.sendMessage(MSG_KEY);  // a second press while one is held: ignored
            ASSERT_TRUE(button.selected()) << c.rate << " tick " << t;
            ASSERT_EQ(dialog.count(MSG_ACTIVATE), 0) << c.rate << " tick " << t;
        }
        tick();
        EXPECT_FALSE(button.selected()) << c.rate;
        EXPECT_EQ(dialog.count(MSG_ACTIVATE), 1) << c.rate;
        tick(20);
        EXPECT_EQ(dialog.count(MSG_ACTIVATE), 1) << c.rate;
    }
}

TEST_F(ButtonTest, HoldAndRepeatTimesFollowAnyFrameRateFromTheSettings)
{
    // The frame rate comes from the settings file unchecked: a huge one must
    // still give hold and repeat times in proportion, not wrap around.
    for (int rate : {20'000'000, 2'000'000'000}) {
        theSettings.logicFrameRate = rate;
        EXPECT_EQ(Button::keyHoldTicks(), static_cast<long long>(rate) * 150 / 1000) << rate;
        EXPECT_EQ(Button::repeatTicks(), static_cast<long long>(rate) * 60 / 1000) << rate;
    }
    for (int rate : {0, -50}) {
        theSettings.logicFrameRate = rate;
        EXPECT_EQ(Button::keyHoldTicks(), 1) << rate;
        EXPECT_EQ(Button::repeatTicks(), 1) << rate;
    }
}

TEST_F(ButtonTest, AutoRepeatFiresEveryPeriodWhileHeldAndNotOnRelease)
{
    button.setFlag(D_AUTOREPEAT);
    button.sendMessage(MSG_LPRESS);
    std::vector<int> firedAt;
    for (int t = 1; t <= 12; ++t) {
        const int before = dialog.count(MSG_ACTIVATE);
        tick();
        if (dialog.count(MSG_ACTIVATE) > before)
            firedAt.push_back(t);
    }
    EXPECT_EQ(firedAt, (std::vector<int>{1, 4, 7, 10}));
    button.sendMessage(MSG_LRELEASE);
    tick(10);
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 4);
    EXPECT_FALSE(button.selected());
}

TEST_F(ButtonTest, EndOfTheDialogTakesAHeldPressBack)
{
    button.sendMessage(MSG_KEY);
    button.sendMessage(MSG_END);
    EXPECT_FALSE(button.selected());
    tick(20);
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 0);
}

// Bounding box of the pixels of one colour: x1, y1, x2, y2 (x2 < 0: none).
std::vector<int> inkOf(BITMAP* b, int colour)
{
    std::vector<int> box{1 << 20, 1 << 20, -1, -1};
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x)
            if (getpixel(b, x, y) == colour)
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    return box;
}

TEST_F(ButtonTest, CaptionMovesWhenDownAndFocusDrawsTheDottedRectangle)
{
    const int colour = makecol(255, 0, 255);
    for (int s = 0; s < Widget::stateCount; ++s)
        button.setFontColor(s, colour);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(button.w(), button.h()));
    auto paint = [&] {
        clear_to_color(canvas.bitmap(), 0);
        button.draw(canvas);
        return inkOf(canvas.bitmap(), colour);
    };
    const auto up = paint();
    ASSERT_GE(up[2], 0);
    button.select();
    const auto down = paint();
    const int d = globalSkin()->elements().buttonDisplacement;
    EXPECT_EQ(down[0], up[0] + d);
    EXPECT_EQ(down[1], up[1] + d);

    button.deselect();
    button.setText("");
    EXPECT_LT(paint()[2], 0);
    button.setFlag(D_GOTFOCUS);
    EXPECT_EQ(paint(), (std::vector<int>{3, 3, button.w() - 3, button.h() - 3}));
    globalSkin()->elements().dottedRect = false;
    EXPECT_LT(paint()[2], 0);
    globalSkin()->elements().dottedRect = true;
}

TEST_F(ButtonTest, HyperlinkSizesToItsUnderlinedCaption)
{
    Hyperlink link;
    link.setParent(&dialog);
    link.setup(5, 5, 200, 50, 0, D_TOGGLE | D_AUTOREPEAT, "Vaata &siia");
    link.sendMessage(MSG_SKINCHANGED);
    link.sendMessage(MSG_SKINCHANGED);  // no creeping growth
    const Font& f = globalSkin()->font(link.fontIndex(0));
    EXPECT_EQ(link.w(), f.textLength("Vaata siia") + 3);
    EXPECT_EQ(link.h(), f.textHeight() + 2);

    const int colour = makecol(0, 0, 255);
    link.setFontColor(0, colour);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(link.w(), link.h()));
    link.draw(canvas);
    for (int x = 1; x <= link.w() - 2; ++x)
        ASSERT_EQ(getpixel(canvas.bitmap(), x, link.h() - 2), colour) << x;

    // Never a toggle, never repeating: a click activates once and pops up.
    mouseAt(link.x() + 2, link.y() + 2);
    link.sendMessage(MSG_LPRESS);
    link.sendMessage(MSG_TICK);
    link.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(link.selected());
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 1);
}

TEST_F(ButtonTest, CheckBoxTogglesAndDrawsTheFrameOfItsState)
{
    CheckBox box;
    box.setParent(&dialog);
    box.setup(10, 10, 150, 20, 0, D_AUTOSIZE, "K\xf5ik");
    box.sendMessage(MSG_SKINCHANGED);
    EXPECT_EQ(box.w(), 150);  // never sized from a bitmap
    mouseAt(15, 15);
    click(box);
    EXPECT_TRUE(box.checked());
    click(box);
    EXPECT_FALSE(box.checked());

    // The box shows the frame (ticked column, state row) of the bitmap.
    const Bitmap& b = globalSkin()->bitmap(Skin::CHECKBOX);
    const int fw = b.width() / 2, fh = b.height() / 4;
    const int fontH = globalSkin()->font(box.fontIndex(0)).textHeight();
    const int y0 = fontH > fh ? (fontH - fh) / 2 : 0;
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(box.w(), box.h()));
    auto showsFrame = [&](int col, int row) {
        box.draw(canvas);
        for (int y = 0; y < fh && y0 + y < box.h(); ++y)
            for (int x = 0; x < fw; ++x) {
                const int p = getpixel(b.bitmap(), col * fw + x, row * fh + y);
                if (p != bitmap_mask_color(b.bitmap()) && getpixel(canvas.bitmap(), x, y0 + y) != p)
                    return false;
            }
        return true;
    };
    EXPECT_TRUE(showsFrame(0, 0));
    EXPECT_FALSE(showsFrame(1, 0));
    box.setChecked(true);
    EXPECT_TRUE(showsFrame(1, 0));
    box.disable();
    EXPECT_TRUE(showsFrame(1, 2));
}

}  // namespace
