// The scalable-font layer: metrics against FreeType's own, where glyphs land,
// backgrounds, blending, alignment, clipping, the glyph cache, sizes and
// fixed-size fonts.
#include "gui/alfont/alfont.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "tests/support/headless.h"
#include "tests/support/pixels.h"

namespace {

const char* const sansPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

const auto* const environment =
    testkit::headlessAllegro({.asciiText = true, .then = [] { ASSERT_EQ(alfont_init(), 0); }});

// Ink: pixels whose colour differs from the colour the bitmap was cleared to.
struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;   // inclusive
    int count = 0;
};

Box inkBox(BITMAP* bmp, int clearColour)
{
    Box b;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x)
            if (getpixel(bmp, x, y) != clearColour) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x);
                b.y1 = std::max(b.y1, y);
                ++b.count;
            }
    return b;
}

using testkit::samePixels;

// FreeType's own view of a face at a pixel size, opened independently of the
// layer under test.
class Reference {
public:
    Reference(const char* path, int size)
    {
        FT_Init_FreeType(&lib_);
        FT_New_Face(lib_, path, 0, &face_);
        FT_Set_Pixel_Sizes(face_, 0, size);
    }
    ~Reference()
    {
        FT_Done_Face(face_);
        FT_Done_FreeType(lib_);
    }
    int ascent() const { return static_cast<int>((face_->size->metrics.ascender + 63) >> 6); }
    int descent() const { return static_cast<int>((-face_->size->metrics.descender + 63) >> 6); }
    int advance(unsigned char c)
    {
        FT_Load_Char(face_, c, FT_LOAD_DEFAULT);
        return static_cast<int>((face_->glyph->advance.x + 32) >> 6);
    }
    int kerning(unsigned char a, unsigned char b)
    {
        if (!FT_HAS_KERNING(face_))
            return 0;
        FT_Vector d{};
        FT_Get_Kerning(face_, FT_Get_Char_Index(face_, a), FT_Get_Char_Index(face_, b), FT_KERNING_DEFAULT, &d);
        return static_cast<int>((d.x + 32) >> 6);
    }

private:
    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
};

class AlfontTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        depth = GetParam();
        set_color_depth(depth);
        bmp = create_bitmap(200, 60);
        ASSERT_NE(bmp, nullptr);
        other = create_bitmap(200, 60);
        white = makecol_depth(depth, 255, 255, 255);
        black = makecol_depth(depth, 0, 0, 0);
        blue = makecol_depth(depth, 0, 0, 255);
        clear_to_color(bmp, white);
        clear_to_color(other, white);
        f = alfont_load_font(sansPath);
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(alfont_set_font_size(f, 14), 0);
        alfont_text_mode(-1);
    }
    void TearDown() override
    {
        alfont_destroy_font(f);
        destroy_bitmap(bmp);
        destroy_bitmap(other);
        alfont_text_mode(-1);
    }

    int depth = 0;
    BITMAP* bmp = nullptr;
    BITMAP* other = nullptr;
    ALFONT_FONT* f = nullptr;
    int white = 0, black = 0, blue = 0;
};

TEST_P(AlfontTest, MetricsAgreeWithFreeType)
{
    for (int size : {9, 14, 23}) {
        ASSERT_EQ(alfont_set_font_size(f, size), 0);
        Reference ref(sansPath, size);
        EXPECT_EQ(alfont_get_font_size(f), size);
        EXPECT_EQ(alfont_text_ascent(f), ref.ascent());
        EXPECT_EQ(alfont_text_height(f), ref.ascent() + ref.descent());

        const std::string text = "AVATAR Tervist, k\xf5rgus!";
        int expected = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (i > 0)
                expected += ref.kerning(static_cast<unsigned char>(text[i - 1]), c);
            expected += ref.advance(c);
        }
        EXPECT_EQ(alfont_text_length(f, text.c_str()), expected) << "size " << size;
        EXPECT_EQ(alfont_text_length(f, ""), 0);
        EXPECT_EQ(alfont_text_length(f, nullptr), 0);
    }
}

TEST_P(AlfontTest, GlyphsSitBetweenTopLineAndDescenderLine)
{
    const int x = 20, y = 15;
    const int ascent = alfont_text_ascent(f);
    const int height = alfont_text_height(f);

    alfont_textout_aa(bmp, f, "H", x, y, black);
    Box h = inkBox(bmp, white);
    ASSERT_GT(h.count, 0);
    EXPECT_GE(h.x0, x);
    EXPECT_LT(h.x1, x + alfont_text_length(f, "H"));
    EXPECT_GE(h.y0, y);
    // A capital stands on the baseline: its last row is the one above it.
    EXPECT_EQ(h.y1, y + ascent - 1);

    alfont_textout_aa(other, f, "g", x, y, black);
    Box g = inkBox(other, white);
    ASSERT_GT(g.count, 0);
    EXPECT_GE(g.y1, y + ascent);
    EXPECT_LT(g.y1, y + height);
}

TEST_P(AlfontTest, OpaqueBackgroundFillsTheTextBoxAndTransparentLeavesIt)
{
    const int x = 10, y = 5;
    const char* text = "Tekst";
    const int length = alfont_text_length(f, text);
    const int height = alfont_text_height(f);

    alfont_text_mode(blue);
    alfont_textout_aa(bmp, f, text, x, y, black);
    // The background covers exactly the advance box; ink may overhang it by
    // a pixel or so (side bearings), never the background.
    int filled = 0;
    for (int py = 0; py < bmp->h; ++py)
        for (int px = 0; px < bmp->w; ++px) {
            const int c = getpixel(bmp, px, py);
            const bool inside = px >= x && px < x + length && py >= y && py < y + height;
            if (inside) {
                filled += c != white;
            } else if (c != white) {
                EXPECT_NE(c, blue) << px << "," << py;
                EXPECT_TRUE(px >= x - 2 && px < x + length + 2 && py >= y && py < y + height) << px << "," << py;
            }
        }
    EXPECT_EQ(filled, length * height);

    alfont_text_mode(-1);
    alfont_textout_aa(other, f, text, x, y, black);
    int untouched = 0, background = 0;
    for (int py = y; py < y + height; ++py)
        for (int px = x; px < x + length; ++px) {
            untouched += getpixel(other, px, py) == white;
            background += getpixel(other, px, py) == blue;
        }
    EXPECT_GT(untouched, length * height / 2);
    EXPECT_EQ(background, 0);
    // The ink is the same glyphs in both cases.
    for (int py = y; py < y + height; ++py)
        for (int px = x; px < x + length; ++px)
            if (getpixel(other, px, py) == black) {
                EXPECT_EQ(getpixel(bmp, px, py), black);
            }
}

TEST_P(AlfontTest, AntialiasingBlendsAndPlainDrawingDoesNot)
{
    clear_to_color(bmp, blue);
    clear_to_color(other, blue);
    const int yellow = makecol_depth(depth, 255, 255, 0);
    alfont_textout_aa(bmp, f, "Sooja \xf5htu", 5, 5, yellow);
    alfont_textout(other, f, "Sooja \xf5htu", 5, 5, yellow);

    int mixed = 0;
    std::set<int> plainColours;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) {
            const int c = getpixel(bmp, x, y);
            plainColours.insert(getpixel(other, x, y));
            if (c == blue || c == yellow)
                continue;
            ++mixed;
            // A blend of yellow over blue: red and green rise together, blue
            // falls by the same step.
            const int r = getr_depth(depth, c), g = getg_depth(depth, c), b = getb_depth(depth, c);
            EXPECT_NEAR(r, g, 8);
            EXPECT_NEAR(r + b, 255, 12);
        }
    EXPECT_GT(mixed, 20);
    EXPECT_EQ(plainColours, (std::set<int>{blue, yellow}));
}

TEST_P(AlfontTest, OpaqueAntialiasedTextBlendsIntoTheBackgroundNotTheTarget)
{
    // Under an opaque background the old pixels must not show through.
    clear_to_color(bmp, makecol_depth(depth, 255, 0, 0));
    alfont_text_mode(white);
    alfont_textout_aa(bmp, f, "Oo", 0, 0, black);
    for (int y = 0; y < alfont_text_height(f); ++y)
        for (int x = 0; x < alfont_text_length(f, "Oo"); ++x) {
            const int c = getpixel(bmp, x, y);
            // Grey, give or take the 5/6-bit channels of 16-bit pixels.
            EXPECT_NEAR(getr_depth(depth, c), getg_depth(depth, c), 8) << x << "," << y;
        }
}

TEST_P(AlfontTest, RightAndCentreAlignmentShiftByTheMeasuredLength)
{
    const char* text = "Leitud tee pikkus";
    const int length = alfont_text_length(f, text);
    ASSERT_GT(length, 0);

    alfont_textout_right_aa(bmp, f, text, 190, 10, black);
    alfont_textout_aa(other, f, text, 190 - length, 10, black);
    EXPECT_TRUE(samePixels(bmp, other));
    EXPECT_LE(inkBox(bmp, white).x1, 189);

    clear_to_color(bmp, white);
    clear_to_color(other, white);
    alfont_textout_centre(bmp, f, text, 100, 10, black);
    alfont_textout(other, f, text, 100 - length / 2, 10, black);
    EXPECT_TRUE(samePixels(bmp, other));
}

TEST_P(AlfontTest, DrawingStaysInsideTheClipRectangle)
{
    set_clip_rect(bmp, 30, 10, 60, 20);
    alfont_text_mode(blue);
    for (int x = -40; x < 220; x += 37)
        alfont_textout_aa(bmp, f, "MMMMMMMM", x, 3, black);
    Box box = inkBox(bmp, white);
    ASSERT_GT(box.count, 0);
    EXPECT_GE(box.x0, 30);
    EXPECT_LE(box.x1, 60);
    EXPECT_GE(box.y0, 10);
    EXPECT_LE(box.y1, 20);

    // Far outside the bitmap, and with clipping switched off, nothing breaks
    // and nothing is written out of bounds.
    set_clip_state(bmp, FALSE);
    alfont_textout_aa(bmp, f, "MMMM", -1000, -1000, black);
    alfont_textout_aa(bmp, f, "MMMM", 190, 55, black);
    alfont_textout(bmp, f, "MMMM", -5, -5, black);
}

TEST_P(AlfontTest, GlyphsAreRenderedOncePerSize)
{
    const long before = alfont_rendered_glyph_count(f);
    const char* text = "tere tere";   // four distinct characters
    alfont_textout_aa(bmp, f, text, 0, 0, black);
    const long afterFirst = alfont_rendered_glyph_count(f);
    EXPECT_EQ(afterFirst - before, 4);

    alfont_textout_aa(bmp, f, text, 0, 20, black);
    alfont_textout(bmp, f, text, 0, 40, black);
    alfont_text_length(f, text);
    EXPECT_EQ(alfont_rendered_glyph_count(f), afterFirst);

    // Another size renders its own glyphs; coming back finds the old ones.
    ASSERT_EQ(alfont_set_font_size(f, 30), 0);
    const int bigLength = alfont_text_length(f, text);
    EXPECT_EQ(alfont_rendered_glyph_count(f), afterFirst + 4);
    ASSERT_EQ(alfont_set_font_size(f, 14), 0);
    alfont_textout_aa(bmp, f, text, 0, 0, black);
    EXPECT_EQ(alfont_rendered_glyph_count(f), afterFirst + 4);
    EXPECT_GT(bigLength, alfont_text_length(f, text));
}

TEST_P(AlfontTest, EveryEstonianLetterHasItsOwnGlyph)
{
    // Latin-1 bytes of o~ a: o: u: and their capitals, and the bases they
    // must differ from.
    const std::string letters = "\xf5\xe4\xf6\xfc\xd5\xc4\xd6\xdc";
    const std::string bases = "oaouOAOU";
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const auto c = static_cast<unsigned char>(letters[i]);
        EXPECT_TRUE(alfont_has_glyph(f, c)) << int(c);
        const char one[2] = {letters[i], 0};
        const char base[2] = {bases[i], 0};
        clear_to_color(bmp, white);
        clear_to_color(other, white);
        alfont_textout(bmp, f, one, 5, 5, black);
        alfont_textout(other, f, base, 5, 5, black);
        const Box accented = inkBox(bmp, white);
        const Box plain = inkBox(other, white);
        // The mark sits above the base letter.
        EXPECT_LT(accented.y0, plain.y0) << int(c);
        EXPECT_EQ(accented.y1, plain.y1) << int(c);
    }
    EXPECT_FALSE(alfont_has_glyph(f, 0x01));
}

TEST_P(AlfontTest, BadSizesAreRefusedAndChangeNothing)
{
    const int height = alfont_text_height(f);
    const int length = alfont_text_length(f, "abc");
    EXPECT_EQ(alfont_set_font_size(f, 0), -1);
    EXPECT_EQ(alfont_set_font_size(f, -3), -1);
    EXPECT_EQ(alfont_set_font_size(f, 100000), -1);
    EXPECT_EQ(alfont_get_font_size(f), 14);
    EXPECT_EQ(alfont_text_height(f), height);
    EXPECT_EQ(alfont_text_length(f, "abc"), length);
}

TEST_P(AlfontTest, BitmapsOutsideMemoryGetTheSamePixels)
{
    // Screens and video bitmaps are drawn through Allegro's pixel functions
    // rather than straight into the lines. A memory bitmap marked as a system
    // bitmap takes that road here; the pixels must come out the same.
    const char* text = "Teed ei leitud! \xd5un";
    for (int background : {-1, blue}) {
        clear_to_color(bmp, makecol_depth(depth, 90, 160, 30));
        blit(bmp, other, 0, 0, 0, 0, bmp->w, bmp->h);
        alfont_text_mode(background);
        other->id |= BMP_ID_SYSTEM;
        ASSERT_FALSE(is_memory_bitmap(other));
        alfont_textout_aa(other, f, text, 3, 4, white);
        alfont_textout(other, f, text, 3, 30, white);
        other->id &= ~BMP_ID_SYSTEM;
        alfont_textout_aa(bmp, f, text, 3, 4, white);
        alfont_textout(bmp, f, text, 3, 30, white);
        EXPECT_TRUE(samePixels(bmp, other)) << background;
    }
}

TEST_P(AlfontTest, EightBitTargetsGetPlainText)
{
    set_color_depth(8);
    select_palette(default_palette);
    BITMAP* eight = create_bitmap(100, 30);
    ASSERT_NE(eight, nullptr);
    clear_to_color(eight, 0);
    alfont_textout_aa(eight, f, "Sooja", 2, 2, 15);
    std::set<int> colours;
    for (int y = 0; y < eight->h; ++y)
        for (int x = 0; x < eight->w; ++x)
            colours.insert(getpixel(eight, x, y));
    EXPECT_EQ(colours, (std::set<int>{0, 15}));
    destroy_bitmap(eight);
    set_color_depth(depth);
}

INSTANTIATE_TEST_SUITE_P(Depths, AlfontTest, ::testing::Values(15, 16, 24, 32));

TEST(AlfontFonts, FixedSizeFontsAreNotScalableAndKeepTheirSize)
{
    // A hand-written BDF font with one 8-pixel strike holding "A".
    const std::string bdf =
        "STARTFONT 2.1\n"
        "FONT -test-fixed-medium-r-normal--8-80-75-75-c-80-iso8859-1\n"
        "SIZE 8 75 75\n"
        "FONTBOUNDINGBOX 6 8 0 -1\n"
        "STARTPROPERTIES 2\nFONT_ASCENT 7\nFONT_DESCENT 1\nENDPROPERTIES\n"
        "CHARS 1\n"
        "STARTCHAR A\nENCODING 65\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 6 8 0 -1\nBITMAP\n"
        "30\n48\n84\n84\nFC\n84\n84\n00\n"
        "ENDCHAR\nENDFONT\n";
    ALFONT_FONT* fixed = alfont_load_font_from_mem(bdf.data(), bdf.size());
    ASSERT_NE(fixed, nullptr);
    EXPECT_FALSE(alfont_is_scalable_font(fixed));
    EXPECT_EQ(alfont_set_font_size(fixed, 20), 0);
    EXPECT_EQ(alfont_get_font_size(fixed), 8);
    EXPECT_EQ(alfont_text_height(fixed), 8);
    EXPECT_EQ(alfont_text_length(fixed, "AA"), 12);

    set_color_depth(32);
    BITMAP* bmp = create_bitmap(20, 10);
    clear_to_color(bmp, 0);
    alfont_text_mode(-1);
    alfont_textout_aa(bmp, fixed, "A", 1, 1, makecol32(255, 255, 255));
    // Row 4 of the glyph is the crossbar FC: six pixels set.
    int crossbar = 0;
    for (int x = 0; x < 20; ++x)
        crossbar += getpixel(bmp, x, 1 + 4) != 0;
    EXPECT_EQ(crossbar, 6);
    destroy_bitmap(bmp);
    alfont_destroy_font(fixed);

    ALFONT_FONT* scalable = alfont_load_font(sansPath);
    ASSERT_NE(scalable, nullptr);
    EXPECT_TRUE(alfont_is_scalable_font(scalable));
    alfont_destroy_font(scalable);
}

TEST(AlfontFonts, MissingAndBrokenFilesAndNullArgumentsAreHarmless)
{
    EXPECT_EQ(alfont_load_font("/no/such/font.ttf"), nullptr);
    EXPECT_EQ(alfont_load_font(nullptr), nullptr);
    EXPECT_EQ(alfont_load_font("/tmp"), nullptr);
    const char junk[] = "this is not a font at all";
    EXPECT_EQ(alfont_load_font_from_mem(junk, sizeof junk), nullptr);
    EXPECT_EQ(alfont_load_font_from_mem(junk, 0), nullptr);

    alfont_destroy_font(nullptr);
    EXPECT_EQ(alfont_text_height(nullptr), 0);
    EXPECT_EQ(alfont_text_length(nullptr, "x"), 0);
    EXPECT_EQ(alfont_set_font_size(nullptr, 10), -1);
    EXPECT_FALSE(alfont_is_scalable_font(nullptr));

    ALFONT_FONT* f = alfont_load_font(sansPath);
    ASSERT_NE(f, nullptr);
    alfont_textout_aa(nullptr, f, "x", 0, 0, 0);
    set_color_depth(16);
    BITMAP* bmp = create_bitmap(10, 10);
    clear_to_color(bmp, 0);
    alfont_textout_aa(bmp, f, nullptr, 0, 0, 0xffff);
    alfont_textout_aa(bmp, nullptr, "x", 0, 0, 0xffff);
    EXPECT_EQ(inkBox(bmp, 0).count, 0);
    destroy_bitmap(bmp);
    alfont_destroy_font(f);
}

TEST(AlfontFonts, ExitReleasesFontsAndLeavesOldHandlesInert)
{
    ALFONT_FONT* f = alfont_load_font(sansPath);
    ASSERT_NE(f, nullptr);
    alfont_exit();
    // The handle is gone: using or destroying it does nothing.
    EXPECT_EQ(alfont_text_height(f), 0);
    alfont_destroy_font(f);
    EXPECT_EQ(alfont_load_font(sansPath), nullptr);   // not started
    ASSERT_EQ(alfont_init(), 0);
    ASSERT_EQ(alfont_init(), 0);
    ALFONT_FONT* again = alfont_load_font(sansPath);
    EXPECT_NE(again, nullptr);
    alfont_destroy_font(again);
}

} // namespace
