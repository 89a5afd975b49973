// Tests of the built-in look (gui/SkinLook.cpp): bitmap sizes, colours,
// states, stretching, window frames and the cursor.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Skin.h"
#include "gui/SkinLook.h"

#include "tests/support/headless.h"
#include "tests/support/pixels.h"

namespace {

const auto* const env = testkit::headlessAllegro();

// The built-in sizes and middle tiles every skin user relies on.
struct Expected {
    const char* name;
    int w, h, tileW, tileH;
};
const Expected kTable[Skin::NAMED_BITMAPS] = {
    {"BOX", 64, 64, 60, 48},          {"BOX_SHADDOW", 64, 64, 58, 58},
    {"BUTTON", 18, 72, 14, 14},       {"CHECKBOX", 26, 52, 13, 13},
    {"CLEAR_BACK", 72, 72, 68, 68},   {"COMBO_BUTTON", 18, 80, 18, 20},
    {"HSLIDER_BACK", 18, 88, 14, 18}, {"HSLIDER_GRIP", 11, 88, 11, 22},
    {"ICONEXIT", 15, 56, 15, 14},     {"ICONMAX", 15, 56, 15, 14},
    {"ICONMIN", 15, 56, 15, 14},      {"ICONRESTORE", 15, 56, 15, 14},
    {"LIST", 36, 96, 32, 8},          {"MENU_BACK", 64, 64, 60, 60},
    {"MENU_BUTTON", 18, 24, 18, 12},  {"MENU_ITEM", 48, 126, 32, 18},
    {"PANEL_GROOVE", 64, 64, 60, 60}, {"PANEL_RAISED", 64, 64, 60, 60},
    {"PANEL_RIDGE", 64, 64, 60, 60},  {"PANEL_SUNKEN", 64, 64, 60, 60},
    {"PROGRESSH", 12, 36, 8, 14},     {"PROGRESSV", 36, 12, 14, 8},
    {"RADIO", 26, 52, 13, 13},        {"SCROLL_DOWN", 16, 64, 16, 16},
    {"SCROLL_HBACK", 18, 64, 14, 12}, {"SCROLL_HGRIP", 18, 64, 14, 12},
    {"SCROLL_HGRIPOVERLAY", 16, 64, 12, 12}, {"SCROLL_LEFT", 16, 64, 16, 16},
    {"SCROLL_RIGHT", 16, 64, 16, 16}, {"SCROLL_UP", 16, 64, 16, 16},
    {"SCROLL_VBACK", 16, 64, 12, 12}, {"SCROLL_VGRIP", 16, 48, 12, 8},
    {"SCROLL_VGRIPOVERLAY", 16, 64, 12, 12}, {"SEPARATORH", 12, 2, 8, 2},
    {"SEPARATORV", 2, 12, 2, 8},      {"TAB_BUTTON", 18, 72, 14, 14},
    {"TAB_WINDOW", 12, 12, 8, 8},     {"VSLIDER_BACK", 88, 18, 18, 14},
    {"VSLIDER_GRIP", 88, 11, 22, 11}, {"WINBOTTOM", 30, 8, -1, -1},
    {"WINDOW", 30, 30, -1, -1},       {"WINGRIP", 30, 36, -1, -1},
    {"WINLEFT", 8, 72, -1, -1},       {"WINRIGHT", 8, 72, -1, -1},
    {"WINTEXT", 12, 17, -1, -1},      {"WINTOP", 30, 8, -1, -1},
};

using testkit::Rgb;
using testkit::rgbOf;

SkinColors allColors(int r, int g, int b)
{
    const int c = makecol(r, g, b);
    SkinColors s;
    s.face = s.fontface = s.shad1 = s.shad2 = s.disable = c;
    s.select = s.deselect = s.focus = s.sunken = s.back = c;
    return s;
}

SkinColors builtinColors()
{
    SkinColors s;
    s.face = makecol(210, 210, 210);
    s.fontface = makecol(16, 16, 16);
    s.shad1 = makecol(255, 255, 255);
    s.shad2 = makecol(80, 80, 80);
    s.disable = makecol(128, 128, 128);
    s.select = makecol(128, 192, 128);
    s.deselect = makecol(224, 224, 224);
    s.focus = makecol(128, 192, 128);
    s.sunken = makecol(232, 232, 232);
    s.back = makecol(180, 180, 180);
    return s;
}

using testkit::samePixels;

class SkinLookTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        set_color_depth(GetParam());
    }
    int depth() const { return GetParam(); }
};

TEST_P(SkinLookTest, DefaultSkinHoldsEveryBuiltinBitmapAtItsTableSize)
{
    Skin skin("default");
    for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot) {
        SCOPED_TRACE(kTable[slot].name);
        EXPECT_STREQ(Skin::bitmapNames[slot], kTable[slot].name);
        const Bitmap& b = skin.bitmap(slot);
        ASSERT_FALSE(b.empty());
        EXPECT_TRUE(b.owned());
        EXPECT_EQ(bitmap_color_depth(b.bitmap()), depth());
        EXPECT_EQ(b.width(), kTable[slot].w);
        EXPECT_EQ(b.height(), kTable[slot].h);
        EXPECT_EQ(b.tileWidth(), kTable[slot].tileW);
        EXPECT_EQ(b.tileHeight(), kTable[slot].tileH);
        // The grid divides the bitmap into whole frames.
        const LookSize size = builtinBitmapSize(slot);
        EXPECT_EQ(size.w % size.cols, 0);
        EXPECT_EQ(size.h % size.rows, 0);
    }
    // Repainting one slot leaves the others alone; unnamed slots and
    // unknown ones are not painted.
    BITMAP* other = skin.bitmap(Skin::PANEL_RAISED).bitmap();
    skin.generateDefaultBitmap(Skin::BUTTON);
    EXPECT_EQ(skin.bitmap(Skin::BUTTON).width(), 18);
    EXPECT_EQ(skin.bitmap(Skin::PANEL_RAISED).bitmap(), other);
    skin.generateDefaultBitmap(Skin::NAMED_BITMAPS);
    EXPECT_TRUE(skin.bitmap(Skin::NAMED_BITMAPS).empty());
    Bitmap none;
    EXPECT_FALSE(paintBuiltinBitmap(Skin::NAMED_BITMAPS, skin.colors(), none));
    EXPECT_FALSE(paintBuiltinBitmap(-1, skin.colors(), none));
    EXPECT_TRUE(none.empty());
}

TEST_P(SkinLookTest, PaintedOnlyFromTheSkinColours)
{
    // With all ten colours alike, every painted pixel is that colour or
    // clear: nothing is drawn in a colour of its own.
    const int grey = makecol(100, 120, 140);
    const SkinColors colors = allColors(100, 120, 140);
    for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot) {
        SCOPED_TRACE(kTable[slot].name);
        Bitmap b;
        ASSERT_TRUE(paintBuiltinBitmap(slot, colors, b));
        const int mask = bitmap_mask_color(b.bitmap());
        int painted = 0;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x) {
                const int c = getpixel(b.bitmap(), x, y);
                if (c == mask)
                    continue;
                ASSERT_EQ(c, grey) << "at " << x << "," << y;
                ++painted;
            }
        EXPECT_GT(painted, 0);
    }
}

TEST_P(SkinLookTest, ButtonFaceAndPanelsTakeTheFaceColour)
{
    SkinColors colors = builtinColors();
    colors.face = makecol(0, 0, 255);
    const Rgb blue = rgbOf(depth(), colors.face);
    for (int slot : {Skin::BUTTON, Skin::PANEL_RAISED, Skin::PANEL_GROOVE, Skin::PANEL_RIDGE,
                     Skin::MENU_BACK, Skin::TAB_WINDOW, Skin::WINDOW, Skin::SCROLL_UP}) {
        SCOPED_TRACE(kTable[slot].name);
        Bitmap b;
        ASSERT_TRUE(paintBuiltinBitmap(slot, colors, b));
        const LookSize s = builtinBitmapSize(slot);
        const int fw = s.w / s.cols, fh = s.h / s.rows;
        // Inside the first frame, clear of its two-pixel bevel.
        const int bw = (fw - (s.tileW < 0 ? fw / 3 : s.tileW)) / 2;
        const int bh = (fh - (s.tileH < 0 ? fh / 3 : s.tileH)) / 2;
        EXPECT_EQ(rgbOf(depth(), getpixel(b.bitmap(), bw + 2, bh + 2)), blue);
        EXPECT_EQ(rgbOf(depth(), getpixel(b.bitmap(), fw - bw - 3, fh - bh - 3)), blue);
    }
    // The edit box background is the sunken colour, the backdrop-like
    // clear background the back colour.
    colors.sunken = makecol(255, 0, 0);
    colors.back = makecol(0, 255, 0);
    Bitmap sunken, clear;
    ASSERT_TRUE(paintBuiltinBitmap(Skin::PANEL_SUNKEN, colors, sunken));
    ASSERT_TRUE(paintBuiltinBitmap(Skin::CLEAR_BACK, colors, clear));
    EXPECT_EQ(rgbOf(depth(), getpixel(sunken.bitmap(), 32, 32)), rgbOf(depth(), colors.sunken));
    EXPECT_EQ(rgbOf(depth(), getpixel(clear.bitmap(), 36, 36)), rgbOf(depth(), colors.back));
}

TEST_P(SkinLookTest, StatesCanBeToldApart)
{
    // Frames of the same bitmap differ from one another: a widget's state is
    // always visible.
    const SkinColors colors = builtinColors();
    for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot) {
        const LookSize s = builtinBitmapSize(slot);
        const int frames = s.cols * s.rows;
        if (frames < 2)
            continue;
        SCOPED_TRACE(kTable[slot].name);
        Bitmap b;
        ASSERT_TRUE(paintBuiltinBitmap(slot, colors, b));
        const int fw = s.w / s.cols, fh = s.h / s.rows;
        int alike = 0;
        for (int i = 0; i < frames; ++i)
            for (int j = i + 1; j < frames; ++j)
                alike += samePixels(b.bitmap(), (i % s.cols) * fw, (i / s.cols) * fh, b.bitmap(),
                                    (j % s.cols) * fw, (j / s.cols) * fh, fw, fh);
        // Frames meant to look alike: window edges with and without the
        // focus; clear list items (normal and disabled) and plain menu items
        // (normal and disabled, the text tells them apart); the combo arrow
        // and the scroll tracks, normal and focused; the grip ridges in
        // every state but the disabled one.
        int expected = 0;
        switch (slot) {
        case Skin::WINLEFT: case Skin::WINRIGHT: case Skin::WINTOP: case Skin::WINBOTTOM:
        case Skin::LIST: case Skin::MENU_ITEM: case Skin::COMBO_BUTTON:
        case Skin::SCROLL_HBACK: case Skin::SCROLL_VBACK:
            expected = 1;
            break;
        case Skin::SCROLL_HGRIPOVERLAY: case Skin::SCROLL_VGRIPOVERLAY:
            expected = 3;
            break;
        default:
            break;
        }
        EXPECT_EQ(alike, expected);
    }
}

TEST_P(SkinLookTest, EveryFrameDrawnAtItsOwnSizeIsItself)
{
    // Drawn with the nine-part drawing at exactly its size, each frame comes
    // out unchanged: borders and tiles of the table fit the pictures.
    const SkinColors colors = builtinColors();
    for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot) {
        SCOPED_TRACE(kTable[slot].name);
        Bitmap b;
        ASSERT_TRUE(paintBuiltinBitmap(slot, colors, b));
        const LookSize s = builtinBitmapSize(slot);
        const int fw = s.w / s.cols, fh = s.h / s.rows;
        BITMAP* target = create_bitmap(fw, fh);
        for (int row = 0; row < s.rows; ++row)
            for (int col = 0; col < s.cols; ++col) {
                clear_to_color(target, bitmap_mask_color(target));
                b.tiledBlit(target, col, row, 0, 0, fw, fh, s.cols, s.rows);
                EXPECT_TRUE(samePixels(target, 0, 0, b.bitmap(), col * fw, row * fh, fw, fh))
                    << "frame " << col << "," << row;
            }
        destroy_bitmap(target);
    }
}

TEST_P(SkinLookTest, ButtonsAndPanelsStretchCleanly)
{
    // Drawn much larger, a raised button keeps a straight light top edge and
    // a straight dark bottom edge, and its inside is the face colour.
    const SkinColors colors = builtinColors();
    for (int slot : {Skin::BUTTON, Skin::PANEL_RAISED, Skin::SCROLL_VGRIP, Skin::TAB_WINDOW,
                     Skin::MENU_BACK}) {
        SCOPED_TRACE(kTable[slot].name);
        Bitmap b;
        ASSERT_TRUE(paintBuiltinBitmap(slot, colors, b));
        const LookSize s = builtinBitmapSize(slot);
        BITMAP* t = create_bitmap(157, 61);
        clear_to_color(t, makecol(0, 0, 0));
        b.tiledBlitMasked(t, 0, 0, 0, 0, 157, 61, s.cols, s.rows);
        for (int x = 2; x < 154; ++x) {
            ASSERT_EQ(getpixel(t, x, 0), colors.shad1) << x;
            ASSERT_EQ(getpixel(t, x + 1, 60), colors.shad2) << x;
        }
        for (int y = 2; y < 59; ++y) {
            ASSERT_EQ(getpixel(t, 0, y), colors.shad1) << y;
            ASSERT_EQ(getpixel(t, 156, y), colors.shad2) << y;
        }
        for (int y = 3; y < 58; y += 5)
            for (int x = 3; x < 154; x += 7)
                ASSERT_EQ(getpixel(t, x, y), colors.face) << x << "," << y;
        destroy_bitmap(t);
    }
}

TEST_P(SkinLookTest, WindowFrameRunsStraightAtAnySize)
{
    // The left edge drawn tall: the light outer line runs down the whole
    // side; the top corner carries the top's light line across.
    const SkinColors colors = builtinColors();
    Bitmap left, top;
    ASSERT_TRUE(paintBuiltinBitmap(Skin::WINLEFT, colors, left));
    ASSERT_TRUE(paintBuiltinBitmap(Skin::WINTOP, colors, top));
    BITMAP* t = create_bitmap(4, 300);
    for (int frame = 0; frame < 2; ++frame) {
        left.tiledBlit(t, frame, 0, 0, 0, 4, 300, 2, 1);
        for (int y = 0; y < 299; ++y)
            ASSERT_EQ(getpixel(t, 0, y), colors.shad1) << y;
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(getpixel(t, x, 0), colors.shad1);
            EXPECT_EQ(getpixel(t, x, 299), colors.shad2);
        }
    }
    destroy_bitmap(t);
    t = create_bitmap(200, 4);
    top.tiledBlit(t, 0, 0, 0, 0, 200, 4, 1, 2);
    for (int x = 0; x < 200; ++x) {
        ASSERT_EQ(getpixel(t, x, 0), colors.shad1) << x;
        ASSERT_EQ(getpixel(t, x, 3), colors.face) << x;
    }
    destroy_bitmap(t);
}

TEST_P(SkinLookTest, NoColourMeansTheBuiltinOne)
{
    SkinColors none; // every colour -1
    const SkinColors builtin = builtinColors();
    for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot) {
        SCOPED_TRACE(kTable[slot].name);
        Bitmap a, b;
        ASSERT_TRUE(paintBuiltinBitmap(slot, none, a));
        ASSERT_TRUE(paintBuiltinBitmap(slot, builtin, b));
        EXPECT_TRUE(samePixels(a.bitmap(), 0, 0, b.bitmap(), 0, 0, a.width(), a.height()));
    }
}

TEST_P(SkinLookTest, CursorIsASolidArrowWithItsTipAtTheFocus)
{
    Bitmap cursor;
    int fx = -1, fy = -1;
    ASSERT_TRUE(paintBuiltinCursor(cursor, fx, fy));
    ASSERT_FALSE(cursor.empty());
    EXPECT_TRUE(cursor.owned());
    EXPECT_EQ(bitmap_color_depth(cursor.bitmap()), depth());
    BITMAP* b = cursor.bitmap();
    const int w = b->w, h = b->h;
    EXPECT_GE(w, 8);
    EXPECT_GE(h, 12);
    EXPECT_GT(h, w);
    const int mask = bitmap_mask_color(b);
    const int black = makecol(0, 0, 0), white = makecol(255, 255, 255);
    EXPECT_EQ(getpixel(b, fx, fy), black);
    // Only black, white and clear; the outline is black and has white inside.
    int blacks = 0, whites = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int c = getpixel(b, x, y);
            ASSERT_TRUE(c == mask || c == black || c == white) << x << "," << y;
            blacks += c == black;
            whites += c == white;
            // White never touches the clear area: it is always outlined.
            if (c == white) {
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    ASSERT_NE(getpixel(b, x + dx, y + dy), mask) << x << "," << y;
            }
        }
    EXPECT_GT(whites, 20);
    EXPECT_GT(blacks, 20);
    // No holes: every clear pixel is reachable from the border through clear
    // pixels, so a shadow made from the shape has no gaps.
    std::vector<char> seen(w * h, 0);
    std::vector<std::pair<int, int>> todo;
    for (int x = 0; x < w; ++x)
        for (int y : {0, h - 1})
            todo.push_back({x, y});
    for (int y = 0; y < h; ++y)
        for (int x : {0, w - 1})
            todo.push_back({x, y});
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        if (x < 0 || y < 0 || x >= w || y >= h || seen[y * w + x] || getpixel(b, x, y) != mask)
            continue;
        seen[y * w + x] = 1;
        todo.push_back({x + 1, y});
        todo.push_back({x - 1, y});
        todo.push_back({x, y + 1});
        todo.push_back({x, y - 1});
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (getpixel(b, x, y) == mask) {
                ASSERT_TRUE(seen[y * w + x]) << "hole at " << x << "," << y;
            }
}

// Paints every built-in bitmap, three times enlarged, onto one sheet and
// saves it when VASKUR_LOOK_SHEET names a file (a .bmp): a picture to look
// at. Without the variable it only checks that the sheet fits.
TEST_P(SkinLookTest, ContactSheet)
{
    const SkinColors colors = builtinColors();
    const int scale = 3, sheetW = 1200;
    BITMAP* sheet = create_bitmap(sheetW, 1200);
    clear_to_color(sheet, makecol(150, 150, 170));
    int x = 4, y = 4, rowH = 0;
    for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot) {
        Bitmap b;
        ASSERT_TRUE(paintBuiltinBitmap(slot, colors, b));
        const int w = b.width() * scale, h = b.height() * scale;
        if (x + w + 4 > sheetW) {
            x = 4;
            y += rowH + 14;
            rowH = 0;
        }
        BITMAP* big = create_bitmap(w, h);
        stretch_blit(b.bitmap(), big, 0, 0, b.width(), b.height(), 0, 0, w, h);
        masked_blit(big, sheet, 0, 0, x, y, w, h);
        destroy_bitmap(big);
        textprintf_ex(sheet, font, x, y + h + 2, makecol(0, 0, 0), -1, "%d", slot);
        x += w + 10;
        rowH = std::max(rowH, h);
    }
    EXPECT_LT(y + rowH, 1200);
    if (const char* file = std::getenv("VASKUR_LOOK_SHEET"); file && GetParam() == 32) {
        EXPECT_EQ(save_bitmap(file, sheet, nullptr), 0);
    }
    destroy_bitmap(sheet);
}

INSTANTIATE_TEST_SUITE_P(Depths, SkinLookTest, ::testing::Values(16, 32));

} // namespace
