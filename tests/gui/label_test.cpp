// Labels: numbers shown and read back, automatic size and alignment
// (headless Allegro, the built-in skin).

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Font.h"
#include "gui/Label.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"

namespace {

const auto* const env = testkit::headlessAllegro({.asciiText = true, .colourDepth = 32, .then = [] { setGlobalSkin(new Skin("default")); }});

std::string shown(double v)
{
    Label l;
    l.setNumber(v);
    return l.text();
}

TEST(Label, DoublesKeepOneDigitAfterThePoint)
{
    EXPECT_EQ(shown(2.5), "2.5");
    EXPECT_EQ(shown(3.0), "3.0");
    EXPECT_EQ(shown(-1.25), "-1.25");
    EXPECT_EQ(shown(10.0), "10.0");  // zeros before the point stay
    EXPECT_EQ(shown(0.0000001), "0.0");  // beyond "%f"'s six digits
    // Long and special values are shown whole.
    const std::string big = shown(1e300);
    EXPECT_EQ(big.size(), 303u);
    EXPECT_EQ(big.substr(big.size() - 2), ".0");
    // The longest of all: 309 digits, the sign, the point and one zero.
    EXPECT_EQ(shown(-std::numeric_limits<double>::max()).size(), 312u);
    EXPECT_EQ(shown(std::numeric_limits<double>::infinity()), "inf");
}

TEST(Label, ReadingNumbersBack)
{
    Label l;
    l.setNumber(INT_MIN);
    EXPECT_STREQ(l.text(), "-2147483648");
    EXPECT_EQ(l.textAsInt(), INT_MIN);
    struct Case {
        const char* text;
        int asInt;
        double asDouble;
    };
    for (Case c : {Case{"12.7", 12, 12.7}, Case{"-3.9", -3, -3.9}, Case{"abc", 0, 0.0},
                   Case{"7kg", 7, 7.0}, Case{"1e3", 1000, 1000.0},
                   Case{"1e30", INT_MAX, 1e30}, Case{"-99999999999", INT_MIN, -99999999999.0}}) {
        l.setText(c.text);
        EXPECT_EQ(l.textAsInt(), c.asInt) << c.text;
        EXPECT_DOUBLE_EQ(l.textAsDouble(), c.asDouble) << c.text;
    }
}

TEST(Label, AutosizeAndAlignment)
{
    Label l;
    l.sendMessage(MSG_SKINCHANGED);
    const Font& f = globalSkin()->font(l.fontIndex(0));
    l.setup(5, 5, 300, 40, 0, 0, "Tere &maailm");
    EXPECT_EQ(l.w(), f.textLength("Tere maailm"));  // markers not counted
    EXPECT_EQ(l.h(), f.textHeight());

    l.clearFlag(D_AUTOSIZE);
    l.setup(0, 0, 120, 20, 0, 0, "MMM");
    EXPECT_EQ(l.w(), 120);
    const int colour = makecol(255, 255, 0);
    l.setFontColor(0, colour);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(120, 20));
    auto leftmost = [&](int alignment) {
        l.setAlignment(alignment);
        clear_to_color(canvas.bitmap(), 0);
        l.draw(canvas);
        for (int x = 0; x < 120; ++x)
            for (int y = 0; y < 20; ++y)
                if (getpixel(canvas.bitmap(), x, y) == colour)
                    return x;
        return -1;
    };
    const int tw = f.textLength("MMM");
    const int left = leftmost(Label::AlignLeft);
    ASSERT_GE(left, 0);
    EXPECT_EQ(leftmost(Label::AlignRight) - left, 120 - tw);
    EXPECT_EQ(leftmost(Label::AlignCentre) - left, 60 - tw / 2);

    // Without a text nothing is painted, not even the background.
    l.setBackColor(makecol(0, 0, 90));
    l.setText(nullptr);
    clear_to_color(canvas.bitmap(), 0);
    l.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 119, 0), 0);
}

TEST(Label, NewTextHasWhatLiesBehindPaintedAgain)
{
    Dialog root, window;
    Widget behind, aside;
    Label label;
    window.setParent(&root);
    window.shape(0, 0, 300, 200);
    behind.shape(0, 0, 100, 40);
    aside.shape(200, 100, 50, 50);
    for (Widget* w : {static_cast<Widget*>(&behind), static_cast<Widget*>(&aside),
                      static_cast<Widget*>(&label)})
        window.add(w);
    label.sendMessage(MSG_SKINCHANGED);
    label.setup(10, 10, 0, 0, 0, 0, "first");
    auto clean = [&] {
        for (Widget* w : {static_cast<Widget*>(&window), static_cast<Widget*>(&behind),
                          static_cast<Widget*>(&aside), static_cast<Widget*>(&label)})
            w->clearFlag(D_DIRTY);
    };

    clean();  // see-through: the old text must be painted over
    label.setText("second");
    EXPECT_TRUE(behind.dirty());
    EXPECT_FALSE(aside.dirty());
    EXPECT_FALSE(window.dirty());

    label.setBackColor(makecol(9, 9, 9));
    clean();  // an opaque label of the same size covers its old text itself
    label.setText("third!");
    EXPECT_FALSE(behind.dirty());
    clean();  // but where it shrank, the old text still shows
    label.setText("4");
    EXPECT_TRUE(behind.dirty());

    clean();  // nothing behind it: the window paints its own face again
    label.setBackColor(NO_COLOR);
    label.place(150, 150);
    clean();
    label.setText("five");
    EXPECT_TRUE(window.dirty());
}

}  // namespace
