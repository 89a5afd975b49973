// Labels: numbers shown and read back, automatic size and alignment
// (headless Allegro, the built-in skin).

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <limits>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Font.h"
#include "gui/Label.h"
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
    EXPECT_EQ(shown(0.0), "0.0");
    EXPECT_EQ(shown(-1.25), "-1.25");
    EXPECT_EQ(shown(10.0), "10.0");  // zeros before the point stay
    EXPECT_EQ(shown(0.000001), "0.000001");
    EXPECT_EQ(shown(0.0000001), "0.0");  // beyond "%f"'s six digits
    EXPECT_EQ(shown(123456.75), "123456.75");
    EXPECT_EQ(shown(1e20), "100000000000000000000.0");
}

TEST(Label, HugeAndSpecialDoublesAreShownWhole)
{
    const std::string big = shown(1e300);
    EXPECT_EQ(big.size(), 303u);  // 301 digits, the point and one zero
    EXPECT_EQ(big.substr(0, 2), "10");
    EXPECT_EQ(big.substr(big.size() - 2), ".0");
    EXPECT_EQ(shown(-std::numeric_limits<double>::max()).size(), 312u);
    EXPECT_EQ(shown(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(shown(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(Label, IntegersAndReadingBack)
{
    Label l;
    l.setNumber(INT_MIN);
    EXPECT_STREQ(l.text(), "-2147483648");
    EXPECT_EQ(l.textAsInt(), INT_MIN);
    l.setNumber(42);
    EXPECT_EQ(l.textAsInt(), 42);
    EXPECT_DOUBLE_EQ(l.textAsDouble(), 42.0);

    struct Case {
        const char* text;
        int asInt;
        double asDouble;
    };
    for (Case c : {Case{"12.7", 12, 12.7}, Case{"-3.9", -3, -3.9}, Case{"  5", 5, 5.0},
                   Case{"abc", 0, 0.0}, Case{"", 0, 0.0}, Case{"7kg", 7, 7.0},
                   Case{"1e3", 1000, 1000.0}}) {
        l.setText(c.text);
        EXPECT_EQ(l.textAsInt(), c.asInt) << c.text;
        EXPECT_DOUBLE_EQ(l.textAsDouble(), c.asDouble) << c.text;
    }
    // Out of the int range the value is held at the range's ends.
    l.setText("1e30");
    EXPECT_EQ(l.textAsInt(), INT_MAX);
    l.setText("-99999999999");
    EXPECT_EQ(l.textAsInt(), INT_MIN);
    l.setNumber(2.5);
    EXPECT_DOUBLE_EQ(l.textAsDouble(), 2.5);
}

TEST(Label, AutosizeFollowsTheCaption)
{
    Label l;
    l.sendMessage(MSG_SKINCHANGED);
    const Font& f = globalSkin()->font(l.fontIndex(0));
    l.setup(5, 5, 300, 40, 0, 0, "Tere &maailm");
    EXPECT_TRUE(l.testFlags(D_AUTOSIZE));
    EXPECT_EQ(l.w(), f.captionLength("Tere &maailm"));
    EXPECT_EQ(l.w(), f.textLength("Tere maailm"));
    EXPECT_EQ(l.h(), f.textHeight());

    l.setText("");  // no text: the size stays
    EXPECT_EQ(l.w(), f.textLength("Tere maailm"));

    Label fixed;
    fixed.clearFlag(D_AUTOSIZE);
    fixed.setup(0, 0, 300, 40, 0, 0, "x");
    EXPECT_EQ(fixed.w(), 300);
}

// Leftmost and rightmost column holding a pixel of the colour (-1 if none).
std::pair<int, int> columns(BITMAP* b, int colour)
{
    int lo = -1, hi = -1;
    for (int x = 0; x < b->w; ++x)
        for (int y = 0; y < b->h; ++y)
            if (getpixel(b, x, y) == colour) {
                if (lo < 0)
                    lo = x;
                hi = x;
                break;
            }
    return {lo, hi};
}

TEST(Label, AlignmentPlacesTheText)
{
    Label l;
    l.sendMessage(MSG_SKINCHANGED);
    l.clearFlag(D_AUTOSIZE);
    l.setup(0, 0, 120, 20, 0, 0, "MMM");
    const int colour = makecol(255, 255, 0);
    l.setFontColor(0, colour);
    const int tw = globalSkin()->font(l.fontIndex(0)).textLength("MMM");
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(120, 20));

    auto drawn = [&](int alignment) {
        l.setAlignment(alignment);
        clear_to_color(canvas.bitmap(), 0);
        l.draw(canvas);
        return columns(canvas.bitmap(), colour);
    };
    auto left = drawn(Label::AlignLeft);
    auto right = drawn(Label::AlignRight);
    auto centre = drawn(Label::AlignCentre);
    ASSERT_GE(left.first, 0);
    EXPECT_LE(left.first, 1);
    EXPECT_GE(right.second, 120 - 3);
    EXPECT_EQ(right.first - left.first, 120 - tw);
    EXPECT_EQ(centre.first - left.first, 60 - tw / 2);

    // The background colour fills the whole canvas; disabled uses its state.
    const int back = makecol(0, 0, 90), grey = makecol(90, 90, 90);
    l.setBackColor(back);
    l.setFontColor(Widget::Disabled, grey);
    l.disable();
    clear_to_color(canvas.bitmap(), 0);
    l.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 119, 0), back);
    EXPECT_EQ(columns(canvas.bitmap(), colour).first, -1);
    EXPECT_GE(columns(canvas.bitmap(), grey).first, 0);

    // No text: nothing at all, not even the background.
    l.setText(nullptr);
    clear_to_color(canvas.bitmap(), 0);
    l.draw(canvas);
    EXPECT_EQ(getpixel(canvas.bitmap(), 119, 0), 0);
}

}  // namespace
