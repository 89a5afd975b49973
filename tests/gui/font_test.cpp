// Font: every font kind loaded from files made here, the system font folder,
// error codes, drawing with alignments, backgrounds and shadows, captions
// with shortcut markers, the anti-aliasing setting and formatted output.
#include "gui/Font.h"

#include "gui/Error.h"
#include "gui/FontImage.h"
#include "gui/Settings.h"
#include "gui/alfont/alfont.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/headless.h"
#include "tests/support/pixels.h"
#include "tests/support/temp_files.h"

namespace fs = std::filesystem;

namespace {

const char* const sansPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

const auto* const environment =
    testkit::headlessAllegro({.asciiText = true, .then = [] { ASSERT_EQ(alfont_init(), 0); }});

using testkit::TempDir;
using testkit::writeFile;
using testkit::writeText;

// Restores an environment variable when the test ends.
class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name)
    {
        if (const char* v = std::getenv(name)) {
            had_ = true;
            value_ = v;
        }
    }
    ~EnvGuard()
    {
        if (had_)
            setenv(name_, value_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string value_;
};

using testkit::samePixels;

int countColour(BITMAP* bmp, int colour)
{
    int n = 0;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x)
            n += getpixel(bmp, x, y) == colour;
    return n;
}

// 8x8 bit patterns, one byte per row, leftmost pixel in the high bit.
const unsigned char letterA[8] = {0x18, 0x24, 0x42, 0x7e, 0x42, 0x42, 0x42, 0x00};
const unsigned char letterB[8] = {0xfc, 0x42, 0x42, 0x7c, 0x42, 0x42, 0xfc, 0x00};

// Checks that the rows drawn at (x, y) in `ink` are exactly the pattern.
void expectPattern(BITMAP* bmp, int x, int y, const unsigned char* rows, int height, int width, int ink)
{
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const bool set = (rows[r * ((width + 7) / 8) + c / 8] & (0x80 >> (c % 8))) != 0;
            EXPECT_EQ(getpixel(bmp, x + c, y + r) == ink, set) << "row " << r << " column " << c;
        }
}

class FontTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        depth = GetParam();
        set_color_depth(depth);
        bmp = create_bitmap(320, 48);
        other = create_bitmap(320, 48);
        ASSERT_NE(bmp, nullptr);
        ASSERT_NE(other, nullptr);
        white = makecol(255, 255, 255);
        black = makecol(0, 0, 0);
        red = makecol(255, 0, 0);
        grey = makecol(128, 128, 128);
        clearBoth();
        theSettings.antialiasing = true;
    }
    void TearDown() override
    {
        destroy_bitmap(bmp);
        destroy_bitmap(other);
        theSettings.antialiasing = true;
    }
    void clearBoth()
    {
        clear_to_color(bmp, white);
        clear_to_color(other, white);
    }
    // Ink mask of a plain draw, to compare shadowed drawing against.
    std::vector<bool> inkOf(const Font& f, const char* text, int x, int y)
    {
        clear_to_color(other, white);
        f.draw(other, text, x, y, black);
        std::vector<bool> ink(static_cast<std::size_t>(other->w * other->h));
        for (int py = 0; py < other->h; ++py)
            for (int px = 0; px < other->w; ++px)
                ink[static_cast<std::size_t>(py * other->w + px)] = getpixel(other, px, py) == black;
        return ink;
    }

    int depth = 0;
    BITMAP* bmp = nullptr;
    BITMAP* other = nullptr;
    int white = 0, black = 0, red = 0, grey = 0;
};

TEST_P(FontTest, NewFontIsAllegrosBuiltInFont)
{
    Font f;
    EXPECT_TRUE(f.isBuiltIn());
    EXPECT_FALSE(f.isScalable());
    EXPECT_EQ(f.allegroFont(), font);
    EXPECT_EQ(f.textHeight(), 8);
    EXPECT_EQ(f.textLength("Tere"), 32);
    EXPECT_EQ(f.textLength(nullptr), 0);
    f.draw(bmp, "Tere", 4, 4, black);
    textout_ex(other, font, "Tere", 4, 4, black, -1);
    EXPECT_TRUE(samePixels(bmp, other));
}

TEST_P(FontTest, ScalableFontTakesItsSizeBeforeAndAfterLoading)
{
    Font f;
    f.setSize(20);
    ASSERT_EQ(f.load(sansPath), Error(Error::NONE));
    EXPECT_TRUE(f.isScalable());
    EXPECT_FALSE(f.isBuiltIn());
    EXPECT_EQ(f.allegroFont(), nullptr);
    EXPECT_EQ(alfont_get_font_size(f.scalableFont()), 20);
    const int big = f.textHeight();
    EXPECT_EQ(big, alfont_text_height(f.scalableFont()));

    f.setSize(10);
    EXPECT_EQ(f.size(), 10);
    EXPECT_LT(f.textHeight(), big);
    EXPECT_EQ(f.textLength("Vaskur"), alfont_text_length(f.scalableFont(), "Vaskur"));
    f.setSize(0);   // ignored
    EXPECT_EQ(f.size(), 10);
}

TEST_P(FontTest, SizesTheScalableLayerCannotDrawAreIgnored)
{
    // Given before loading: the font is drawn at the size the Font reports.
    Font early;
    early.setSize(ALFONT_MAX_SIZE + 1);
    EXPECT_EQ(early.size(), Font::defaultSize);
    ASSERT_EQ(early.load(sansPath), Error(Error::NONE));
    EXPECT_EQ(alfont_get_font_size(early.scalableFont()), early.size());

    // Given after loading: the size in use stays, and so does the report.
    Font f;
    f.setSize(14);
    ASSERT_EQ(f.load(sansPath), Error(Error::NONE));
    const int height = f.textHeight();
    f.setSize(5000);
    EXPECT_EQ(f.size(), 14);
    EXPECT_EQ(alfont_get_font_size(f.scalableFont()), 14);
    EXPECT_EQ(f.textHeight(), height);
    f.setSize(ALFONT_MAX_SIZE);
    EXPECT_EQ(f.size(), ALFONT_MAX_SIZE);
    EXPECT_EQ(alfont_get_font_size(f.scalableFont()), ALFONT_MAX_SIZE);
}

TEST_P(FontTest, MissingFileIsErrorTwelveAndKeepsTheFont)
{
    Font f;
    ASSERT_EQ(f.load(sansPath), Error(Error::NONE));
    f.setSize(16);
    const int height = f.textHeight();
    EXPECT_EQ(f.load("/no/such/folder/font.ttf"), Error(Error::FILE_NOT_FOUND));
    EXPECT_EQ(f.load(nullptr), Error(Error::FILE_NOT_FOUND));
    EXPECT_EQ(f.load(""), Error(Error::FILE_NOT_FOUND));
    EXPECT_EQ(f.load("/tmp"), Error(Error::FILE_NOT_FOUND));   // a folder is not a font file
    EXPECT_TRUE(f.isScalable());
    EXPECT_EQ(f.textHeight(), height);
}

TEST_P(FontTest, UnreadableFilesAreErrorThirteenAndGiveTheBuiltInFont)
{
    TempDir dir;
    std::vector<unsigned char> junk(3000);
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<unsigned char>(i * 7 + 3);
    writeFile(dir.file("junk.ttf"), junk);
    writeFile(dir.file("junk.fnt"), junk);              // neither GRX nor a BIOS size
    writeFile(dir.file("short.itf"), std::vector<unsigned char>(2047, 0xff));
    writeFile(dir.file("empty.fnt"), {});
    writeFile(dir.file("junk.bmp"), junk);
    writeText(dir.file("loop.txt"), "loop.txt 0x20\n");  // a script naming itself
    writeText(dir.file("nothing.txt"), "\n\n");
    writeText(dir.file("missing.txt"), dir.file("none.bmp") + " 0x20\n");
    // Scripts naming files Allegro cannot be trusted with.
    writeFile(dir.file("data.dat"), junk);
    writeText(dir.file("datafile.txt"), "data.dat 0x20\n");
    writeText(dir.file("badfnt.txt"), "junk.fnt 0x20\n");

    for (const char* name : {"junk.ttf", "junk.fnt", "short.itf", "empty.fnt", "junk.bmp", "loop.txt",
                             "nothing.txt", "missing.txt", "datafile.txt", "badfnt.txt"}) {
        Font f;
        ASSERT_EQ(f.load(sansPath), Error(Error::NONE));
        EXPECT_EQ(f.load(dir.file(name)), Error(Error::FILE_LOAD)) << name;
        EXPECT_TRUE(f.isBuiltIn()) << name;
        EXPECT_EQ(f.textHeight(), 8) << name;
    }
}

TEST_P(FontTest, FontsAreFoundInTheSystemFontFolder)
{
    EnvGuard upper("WINDIR"), lower("windir");
    TempDir dir;
    fs::create_directory(dir.file("fonts"));
    fs::copy_file(sansPath, dir.file("fonts/Systeem.ttf"));

    unsetenv("WINDIR");
    unsetenv("windir");
    Font f;
    EXPECT_EQ(f.load("/no/such/folder/Systeem.ttf"), Error(Error::FILE_NOT_FOUND));
    EXPECT_TRUE(f.isBuiltIn());

    setenv("WINDIR", dir.path().c_str(), 1);
    EXPECT_EQ(f.load("/no/such/folder/Systeem.ttf"), Error(Error::NONE));
    EXPECT_TRUE(f.isScalable());
    EXPECT_EQ(f.load("C:\\Windows\\Fonts\\Systeem.ttf"), Error(Error::NONE));
    EXPECT_EQ(f.load("/no/such/folder/Other.ttf"), Error(Error::FILE_NOT_FOUND));
    EXPECT_TRUE(f.isScalable());

    unsetenv("WINDIR");
    setenv("windir", dir.path().c_str(), 1);
    Font g;
    EXPECT_EQ(g.load("Systeem.ttf"), Error(Error::NONE));
    EXPECT_TRUE(g.isScalable());
}

// A grabber-style font image: boxes of 5x7 pixels for the characters 32, 33
// and 34 on a border colour; character 32 + i has a diagonal of i + 1 dots.
void paintGrid(BITMAP* grid, int border, int paper, int ink)
{
    clear_to_color(grid, border);
    for (int i = 0; i < 3; ++i) {
        rectfill(grid, 1 + i * 6, 1, 1 + i * 6 + 4, 7, paper);
        for (int k = 0; k <= i; ++k)
            putpixel(grid, 1 + i * 6 + k, 1 + k, ink);
    }
}

TEST_P(FontTest, ImageFontsAreGrabbedFromTheirGrid)
{
    TempDir dir;
    // A true-colour image makes a colour font: its glyphs keep their own
    // colours whatever text colour is asked for.
    BITMAP* grid = create_bitmap(19, 9);
    const int ink = makecol(0, 0, 255);
    paintGrid(grid, makecol(255, 255, 0), bitmap_mask_color(grid), ink);
    for (const char* name : {"grid.bmp", "grid.pcx", "grid.tga", "GRID2.BMP"})
        ASSERT_EQ(save_bitmap(dir.file(name).c_str(), grid, nullptr), 0) << name;
    destroy_bitmap(grid);
    // An 8-bit image holding only the border (255), paper (0) and one ink
    // colour makes a one-colour font drawn in the text colour.
    BITMAP* grid8 = create_bitmap_ex(8, 19, 9);
    paintGrid(grid8, 255, 0, 1);
    ASSERT_EQ(save_bitmap(dir.file("mono.pcx").c_str(), grid8, default_palette), 0);
    destroy_bitmap(grid8);

    for (const char* name : {"grid.bmp", "grid.pcx", "grid.tga", "GRID2.BMP", "mono.pcx"}) {
        const bool mono = std::string(name) == "mono.pcx";
        Font f;
        ASSERT_EQ(f.load(dir.file(name)), Error(Error::NONE)) << name;
        EXPECT_FALSE(f.isBuiltIn());
        EXPECT_FALSE(f.isScalableLayer());
        EXPECT_EQ(f.textHeight(), 7) << name;
        EXPECT_EQ(f.textLength("!\""), 10) << name;
        clearBoth();
        f.draw(bmp, "\"", 10, 10, red);
        // Character 34 is the third box: a diagonal of three dots.
        const int expected = mono ? red : ink;
        EXPECT_EQ(countColour(bmp, expected), 3) << name;
        EXPECT_EQ(countColour(bmp, white), bmp->w * bmp->h - 3) << name;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(getpixel(bmp, 10 + k, 10 + k), expected) << name;
    }
}

TEST_P(FontTest, FontScriptsLoadTheFontsTheyName)
{
    TempDir dir;
    BITMAP* grid = create_bitmap_ex(8, 19, 9);
    paintGrid(grid, 255, 0, 1);
    ASSERT_EQ(save_bitmap(dir.file("grid.bmp").c_str(), grid, default_palette), 0);
    destroy_bitmap(grid);
    writeText(dir.file("script.TXT"), dir.file("grid.bmp") + " 0x41\n");

    Font f;
    ASSERT_EQ(f.load(dir.file("script.TXT")), Error(Error::NONE));
    EXPECT_EQ(f.textHeight(), 7);
    // The three glyphs now stand for "A", "B" and "C".
    f.draw(bmp, "C", 0, 0, red);
    EXPECT_EQ(countColour(bmp, red), 3);
    EXPECT_EQ(f.textLength("ABC"), 15);

    // Names relative to the script's folder, and a BIOS font file.
    std::vector<unsigned char> bios(256 * 8, 0);
    for (int r = 0; r < 8; ++r)
        bios[static_cast<std::size_t>('A' * 8 + r)] = letterA[r];
    writeFile(dir.file("bios.fnt"), bios);
    writeText(dir.file("relative.txt"), "grid.bmp 0x20\nbios.fnt 0x41 0x41\n");
    Font g;
    ASSERT_EQ(g.load(dir.file("relative.txt")), Error(Error::NONE));
    EXPECT_EQ(g.textLength("!A"), 5 + 8);

    // A range takes the file's glyphs in order; "-" goes on where the
    // previous line stopped.
    writeText(dir.file("split.txt"), "# comment\ngrid.bmp 0x61 0x61\n- 0x41\n");
    Font h;
    ASSERT_EQ(h.load(dir.file("split.txt")), Error(Error::NONE));
    EXPECT_EQ(h.textLength("aAB"), 15);
    for (const auto& [text, dots] : {std::pair{"a", 1}, std::pair{"A", 2}, std::pair{"B", 3}}) {
        clearBoth();
        h.draw(bmp, text, 0, 0, red);
        EXPECT_EQ(countColour(bmp, red), dots) << text;
    }

    // More glyphs asked for than the file has, a bad number, "-" first.
    writeText(dir.file("toomany.txt"), "grid.bmp 0x20 0x30\n");
    writeText(dir.file("number.txt"), "grid.bmp twenty\n");
    writeText(dir.file("dash.txt"), "- 0x20\n");
    for (const char* name : {"toomany.txt", "number.txt", "dash.txt"}) {
        EXPECT_EQ(h.load(dir.file(name)), Error(Error::FILE_LOAD)) << name;
        EXPECT_TRUE(h.isBuiltIn());
    }
}

// An IFF ILBM image of 8 planes, uncompressed: the grid of paintGrid with
// border 255, paper 0 and ink 1.
std::vector<unsigned char> ilbmGrid(BITMAP* grid)
{
    auto be32 = [](std::vector<unsigned char>& v, std::uint32_t x) {
        for (int i = 3; i >= 0; --i)
            v.push_back(static_cast<unsigned char>(x >> (8 * i)));
    };
    auto chunk = [&](std::vector<unsigned char>& out, const char* id, const std::vector<unsigned char>& data) {
        out.insert(out.end(), id, id + 4);
        be32(out, static_cast<std::uint32_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
        if (data.size() & 1)
            out.push_back(0);
    };
    const int w = grid->w, h = grid->h, rowBytes = (w + 15) / 16 * 2;
    std::vector<unsigned char> bmhd = {static_cast<unsigned char>(w >> 8), static_cast<unsigned char>(w), 0,
                                       static_cast<unsigned char>(h), 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0};
    std::vector<unsigned char> cmap(768, 0);
    cmap[3] = 200;   // colour 1 reddish, 255 white
    cmap[765] = cmap[766] = cmap[767] = 255;
    std::vector<unsigned char> body;
    for (int y = 0; y < h; ++y)
        for (int p = 0; p < 8; ++p)
            for (int b = 0; b < rowBytes; ++b) {
                unsigned char v = 0;
                for (int k = 0; k < 8; ++k) {
                    const int x = b * 8 + k;
                    if (x < w && ((getpixel(grid, x, y) >> p) & 1))
                        v |= static_cast<unsigned char>(0x80 >> k);
                }
                body.push_back(v);
            }
    std::vector<unsigned char> form = {'I', 'L', 'B', 'M'};
    chunk(form, "BMHD", bmhd);
    chunk(form, "CMAP", cmap);
    chunk(form, "BODY", body);
    std::vector<unsigned char> out = {'F', 'O', 'R', 'M'};
    be32(out, static_cast<std::uint32_t>(form.size()));
    out.insert(out.end(), form.begin(), form.end());
    return out;
}

TEST_P(FontTest, ImageReadersGiveBackWhatAllegroWrote)
{
    TempDir dir;
    // A palette image with many indices, and a true-colour one.
    BITMAP* indexed = create_bitmap_ex(8, 23, 11);
    BITMAP* colour = create_bitmap(23, 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 23; ++x) {
            putpixel(indexed, x, y, (x * 11 + y * 7) & 0xff);
            putpixel(colour, x, y, makecol(x * 11, y * 23, (x * y) & 0xff));
        }
    PALETTE written;
    for (int i = 0; i < 256; ++i)
        written[i] = RGB{static_cast<unsigned char>(i & 63), static_cast<unsigned char>((i >> 2) & 63),
                         static_cast<unsigned char>(63 - (i & 63)), 0};
    for (const char* ext : {"bmp", "pcx", "tga"}) {
        const std::string indexedFile = dir.file(std::string("indexed.") + ext);
        const std::string colourFile = dir.file(std::string("colour.") + ext);
        ASSERT_EQ(save_bitmap(indexedFile.c_str(), indexed, written), 0);
        ASSERT_EQ(save_bitmap(colourFile.c_str(), colour, nullptr), 0);

        PALETTE read;
        BITMAP* back = readImageFile(indexedFile, read);
        ASSERT_NE(back, nullptr) << ext;
        EXPECT_EQ(bitmap_color_depth(back), 8);
        EXPECT_TRUE(samePixels(back, indexed)) << ext;
        for (int i = 0; i < 256; ++i)
            EXPECT_TRUE(read[i].r == written[i].r && read[i].g == written[i].g && read[i].b == written[i].b)
                << ext << " colour " << i;
        destroy_bitmap(back);

        back = readImageFile(colourFile, nullptr);
        ASSERT_NE(back, nullptr) << ext;
        EXPECT_EQ(bitmap_color_depth(back), depth);
        // A 16-bit TGA keeps five bits of green: allow that much.
        int off = 0;
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 23; ++x) {
                const int a = getpixel(back, x, y), b = getpixel(colour, x, y);
                off += std::abs(getr(a) - getr(b)) > 0 || std::abs(getg(a) - getg(b)) > 4 ||
                       std::abs(getb(a) - getb(b)) > 0;
            }
        EXPECT_EQ(off, 0) << ext;
        destroy_bitmap(back);
    }
    destroy_bitmap(colour);

    // The planes of an ILBM come back as the same indices.
    writeFile(dir.file("indexed.lbm"), ilbmGrid(indexed));
    BITMAP* back = readImageFile(dir.file("indexed.lbm"), nullptr);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(samePixels(back, indexed));
    destroy_bitmap(back);
    destroy_bitmap(indexed);

    // Run-length BMP (RLE8), bottom row first: a run, a literal stretch, a
    // jump and the end markers.
    std::vector<unsigned char> rle = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54 + 8, 0, 0, 0,
                                      40, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 1, 0, 0, 0};
    rle.resize(54, 0);
    rle[46] = 2;   // two palette entries
    rle.insert(rle.end(), {0, 0, 0, 0, 255, 255, 255, 0});
    rle.insert(rle.end(), {3, 1, 0, 0,             // bottom row: 1 1 1, end of line
                           0, 3, 0, 1, 0, 0,       // top row: literal 0 1 0 (padded)
                           0, 1});                 // end of image
    writeFile(dir.file("rle.bmp"), rle);
    back = readImageFile(dir.file("rle.bmp"), nullptr);
    ASSERT_NE(back, nullptr);
    const int expected[2][4] = {{0, 1, 0, 0}, {1, 1, 1, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(getpixel(back, x, y), expected[y][x]) << x << "," << y;
    destroy_bitmap(back);

    // Damaged: cut short, or a palette of more than 256 colours.
    rle.resize(rle.size() - 3);
    writeFile(dir.file("cut.bmp"), rle);
    EXPECT_EQ(readImageFile(dir.file("cut.bmp"), nullptr), nullptr);
    rle[46] = 0;
    rle[47] = 2;   // 512 colours
    writeFile(dir.file("palette.bmp"), rle);
    EXPECT_EQ(readImageFile(dir.file("palette.bmp"), nullptr), nullptr);
    EXPECT_EQ(readImageFile(dir.file("none.bmp"), nullptr), nullptr);
}

TEST_P(FontTest, LbmFontImage)
{
    TempDir dir;
    BITMAP* grid = create_bitmap_ex(8, 19, 9);
    paintGrid(grid, 255, 0, 1);
    writeFile(dir.file("grid.lbm"), ilbmGrid(grid));
    destroy_bitmap(grid);
    Font f;
    ASSERT_EQ(f.load(dir.file("grid.lbm")), Error(Error::NONE));
    EXPECT_EQ(f.textHeight(), 7);
    f.draw(bmp, "\"", 4, 4, red);
    EXPECT_EQ(countColour(bmp, red), 3);
    EXPECT_EQ(getpixel(bmp, 6, 6), red);
}

std::vector<unsigned char> rawFont(int height)
{
    std::vector<unsigned char> bytes(static_cast<std::size_t>(256 * height), 0);
    for (int r = 0; r < std::min(height, 8); ++r) {
        bytes[static_cast<std::size_t>('A' * height + r)] = letterA[r];
        bytes[static_cast<std::size_t>('B' * height + r)] = letterB[r];
    }
    return bytes;
}

TEST_P(FontTest, RawItfFontHas256CharactersOf8By8)
{
    TempDir dir;
    writeFile(dir.file("raw.ITF"), rawFont(8));
    Font f;
    ASSERT_EQ(f.load(dir.file("raw.ITF")), Error(Error::NONE));
    EXPECT_EQ(f.textHeight(), 8);
    EXPECT_EQ(f.textLength("AB\xf5"), 24);
    f.draw(bmp, "AB", 3, 5, black);
    expectPattern(bmp, 3, 5, letterA, 8, 8, black);
    expectPattern(bmp, 11, 5, letterB, 8, 8, black);
}

TEST_P(FontTest, BiosFntFontTakesItsHeightFromTheFileSize)
{
    TempDir dir;
    writeFile(dir.file("bios.fnt"), rawFont(16));
    Font f;
    ASSERT_EQ(f.load(dir.file("bios.fnt")), Error(Error::NONE));
    EXPECT_EQ(f.textHeight(), 16);
    EXPECT_EQ(f.textLength("AAA"), 24);
    f.draw(bmp, "B", 0, 0, black);
    expectPattern(bmp, 0, 0, letterB, 8, 8, black);
}

// A GRX font file as the format lays it out: header, optional width table,
// then each character's rows.
std::vector<unsigned char> grxFont(bool fixed, int fixedWidth, int height, int first,
                                   const std::vector<int>& widths,
                                   const std::vector<std::vector<unsigned char>>& glyphs)
{
    std::vector<unsigned char> out;
    auto u16 = [&](int v) {
        out.push_back(static_cast<unsigned char>(v & 0xff));
        out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
    };
    const std::uint32_t magic = 0x19590214;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(magic >> (8 * i)));
    for (int i = 0; i < 4; ++i)
        out.push_back(0);   // bitmap size, not needed to read the font
    u16(fixedWidth);
    u16(height);
    u16(first);
    u16(first + static_cast<int>(glyphs.size()) - 1);
    u16(fixed ? 1 : 0);
    u16(0);             // reserved
    u16(height - 1);    // baseline
    u16(0);             // underline width
    out.resize(out.size() + 32, 0);   // font and family names
    if (!fixed)
        for (int w : widths)
            u16(w);
    for (const auto& g : glyphs)
        out.insert(out.end(), g.begin(), g.end());
    return out;
}

TEST_P(FontTest, GrxFontsProportionalAndFixed)
{
    TempDir dir;
    // 'a' 3 wide, 'b' 10 wide (two bytes a row), 'c' 1 wide; 5 rows.
    const std::vector<unsigned char> a = {0xe0, 0xa0, 0xe0, 0xa0, 0xa0};
    const std::vector<unsigned char> b = {0xff, 0xc0, 0x80, 0x40, 0x80, 0x40, 0x80, 0x40, 0xff, 0xc0};
    const std::vector<unsigned char> c = {0x80, 0x00, 0x80, 0x00, 0x80};
    writeFile(dir.file("prop.fnt"), grxFont(false, 0, 5, 'a', {3, 10, 1}, {a, b, c}));

    Font f;
    ASSERT_EQ(f.load(dir.file("prop.fnt")), Error(Error::NONE));
    EXPECT_EQ(f.textHeight(), 5);
    EXPECT_EQ(f.textLength("abc"), 14);
    f.draw(bmp, "ab", 2, 2, black);
    expectPattern(bmp, 2, 2, a.data(), 5, 3, black);
    expectPattern(bmp, 5, 2, b.data(), 5, 10, black);

    // Fixed width: no width table, every glyph 6 wide.
    const std::vector<unsigned char> x = {0x84, 0x48, 0x30, 0x48, 0x84};
    const std::vector<unsigned char> y = {0x84, 0x48, 0x30, 0x30, 0x30};
    writeFile(dir.file("fixed.FNT"), grxFont(true, 6, 5, 'x', {}, {x, y}));
    Font g;
    ASSERT_EQ(g.load(dir.file("fixed.FNT")), Error(Error::NONE));
    EXPECT_EQ(g.textLength("xyx"), 18);
    clearBoth();
    g.draw(bmp, "y", 0, 0, black);
    expectPattern(bmp, 0, 0, y.data(), 5, 6, black);

    // A character without width takes one blank column and draws safely,
    // also at the edges of the bitmap.
    writeFile(dir.file("zero.fnt"), grxFont(false, 0, 5, 'a', {3, 0, 1}, {a, {}, c}));
    Font z;
    ASSERT_EQ(z.load(dir.file("zero.fnt")), Error(Error::NONE));
    EXPECT_EQ(z.textLength("abc"), 5);
    clearBoth();
    z.draw(bmp, "bbabb", 0, 0, black);
    z.draw(bmp, "bbabb", bmp->w - 3, bmp->h - 2, black);
    EXPECT_EQ(countColour(bmp, black), 12 + 2);   // all of "a", then its first column cut to two rows

    // One byte short, or a width table that does not fit: not a font.
    auto cut = grxFont(false, 0, 5, 'a', {3, 10, 1}, {a, b, c});
    cut.pop_back();
    writeFile(dir.file("cut.fnt"), cut);
    EXPECT_EQ(f.load(dir.file("cut.fnt")), Error(Error::FILE_LOAD));
    auto wide = grxFont(false, 0, 5, 'a', {3, 60000, 1}, {a, b, c});
    writeFile(dir.file("wide.fnt"), wide);
    EXPECT_EQ(f.load(dir.file("wide.fnt")), Error(Error::FILE_LOAD));
    EXPECT_TRUE(f.isBuiltIn());
}

TEST_P(FontTest, AlignmentsShiftByTheTextLength)
{
    Font scalable;
    ASSERT_EQ(scalable.load(sansPath), Error(Error::NONE));
    scalable.setSize(14);
    Font builtIn;
    for (const Font* f : {&builtIn, &scalable}) {
        const char* text = "Graafi servi: 1234";
        const int length = f->textLength(text);
        clearBoth();
        f->draw(bmp, text, 300, 4, black, -1, Font::Right);
        f->draw(other, text, 300 - length, 4, black, -1, Font::Left);
        EXPECT_TRUE(samePixels(bmp, other));
        clearBoth();
        f->draw(bmp, text, 160, 4, black, grey, Font::Centre);
        f->draw(other, text, 160 - length / 2, 4, black, grey, Font::Left);
        EXPECT_TRUE(samePixels(bmp, other));
        // The opaque background covers the whole line.
        EXPECT_GE(countColour(bmp, grey) + countColour(bmp, black), length * f->textHeight() / 2);
        EXPECT_EQ(getpixel(bmp, 160 - length / 2, 4 + f->textHeight() - 1) != white, true);
    }
}

TEST_P(FontTest, ShadowIsDrawnOnePixelRightAndDown)
{
    Font f;
    const char* text = "Vaskur";
    const std::vector<bool> ink = inkOf(f, text, 10, 10);
    auto inkAt = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < other->w && y < other->h &&
               ink[static_cast<std::size_t>(y * other->w + x)];
    };

    clearBoth();
    f.drawShadowed(bmp, text, 10, 10, black, red, -1);
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) {
            const int expected = inkAt(x, y) ? black : inkAt(x - 1, y - 1) ? red : white;
            ASSERT_EQ(getpixel(bmp, x, y), expected) << x << "," << y;
        }

    // With a background, the background goes under the shadow's box and the
    // text itself is drawn transparent over it.
    const int length = f.textLength(text);
    clearBoth();
    f.drawShadowed(bmp, text, 10, 10, black, red, grey);
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) {
            const bool inShadowBox = x >= 11 && x < 11 + length && y >= 11 && y < 11 + f.textHeight();
            const int expected = inkAt(x, y)           ? black
                                 : inkAt(x - 1, y - 1) ? red
                                 : inShadowBox         ? grey
                                                       : white;
            ASSERT_EQ(getpixel(bmp, x, y), expected) << x << "," << y;
        }

    // No shadow: one plain draw with the background.
    clearBoth();
    f.drawShadowed(bmp, text, 10, 10, black, -1, grey);
    f.draw(other, text, 10, 10, black, grey);
    EXPECT_TRUE(samePixels(bmp, other));
}

TEST_P(FontTest, CaptionMarkersUnderlineAndAreNotDrawn)
{
    Font scalable;
    ASSERT_EQ(scalable.load(sansPath), Error(Error::NONE));
    scalable.setSize(13);
    Font builtIn;
    for (const Font* f : {&builtIn, &scalable}) {
        const int top = 6;
        const int lineY = top + f->textHeight();
        ASSERT_LT(lineY, bmp->h);

        // "Lo&e kaart": the caption is "Loe kaart" with "e" underlined.
        clearBoth();
        f->drawCaption(bmp, "Lo&e kaart", 20, top, black);
        f->draw(other, "Loe kaart", 20, top, black);
        const int from = 20 + f->textLength("Lo");
        const int to = 20 + f->textLength("Loe");
        for (int x = 0; x < bmp->w; ++x) {
            const bool under = x >= from && x < to;
            EXPECT_EQ(getpixel(bmp, x, lineY), under ? black : getpixel(other, x, lineY)) << x;
            if (!under)
                putpixel(bmp, x, lineY, getpixel(other, x, lineY));
        }
        hline(other, from, lineY, to - 1, black);
        EXPECT_TRUE(samePixels(bmp, other));
        EXPECT_EQ(f->captionLength("Lo&e kaart"), f->textLength("Loe kaart"));

        // "&&" is one "&" and underlines nothing.
        clearBoth();
        f->drawCaption(bmp, "Salvesta && v\xe4lju", 20, top, black);
        f->draw(other, "Salvesta & v\xe4lju", 20, top, black);
        EXPECT_TRUE(samePixels(bmp, other));

        // Right alignment measures without the markers.
        clearBoth();
        f->drawCaption(bmp, "&Otsi", 300, top, black, -1, -1, Font::Right);
        f->drawCaption(other, "&Otsi", 300 - f->textLength("Otsi"), top, black);
        EXPECT_TRUE(samePixels(bmp, other));
    }
}

TEST_P(FontTest, CaptionShadowAndBackground)
{
    Font f;
    clearBoth();
    f.drawCaption(bmp, "&Ava", 10, 10, black, red, grey);
    f.drawShadowed(other, "Ava", 10, 10, black, red, grey);
    hline(other, 11, 19, 18, red);     // the shadow of the underline
    hline(other, 10, 18, 17, black);
    EXPECT_TRUE(samePixels(bmp, other));
}

TEST(FontCaptions, MarkersAndShortcuts)
{
    EXPECT_EQ(Font::stripMarkers("&Fail"), "Fail");
    EXPECT_EQ(Font::stripMarkers("a&&b&c&"), "a&bc");
    EXPECT_EQ(Font::stripMarkers(nullptr), "");
    EXPECT_EQ(Font::shortcutOf("&Fail"), 'F');
    EXPECT_EQ(Font::shortcutOf("K\xf5&rgus"), 'r');
    EXPECT_EQ(Font::shortcutOf("V&\xc4LJU"), 0xc4);
    EXPECT_EQ(Font::shortcutOf("a&&b"), 0);
    EXPECT_EQ(Font::shortcutOf("lopp&"), 0);
    EXPECT_EQ(Font::shortcutOf(""), 0);

    // Only the first 1024 bytes of a caption are used.
    std::string longCaption(2000, 'x');
    longCaption[1500] = '&';
    EXPECT_EQ(Font::stripMarkers(longCaption.c_str()), std::string(1024, 'x'));
    EXPECT_EQ(Font::shortcutOf(longCaption.c_str()), 0);
}

TEST_P(FontTest, AntialiasingSettingChoosesBlendedOrPlainText)
{
    Font f;
    ASSERT_EQ(f.load(sansPath), Error(Error::NONE));
    f.setSize(15);
    auto colours = [&]() {
        std::set<int> seen;
        for (int y = 0; y < bmp->h; ++y)
            for (int x = 0; x < bmp->w; ++x)
                seen.insert(getpixel(bmp, x, y));
        return seen;
    };
    theSettings.antialiasing = false;
    f.draw(bmp, "M\xf5\xf5tmed", 5, 5, black);
    EXPECT_EQ(colours(), (std::set<int>{white, black}));
    clearBoth();
    theSettings.antialiasing = true;
    f.draw(bmp, "M\xf5\xf5tmed", 5, 5, black);
    EXPECT_GT(colours().size(), 4u);
}

TEST_P(FontTest, PrintFormatsAndCutsAt512Bytes)
{
    Font f;
    clearBoth();
    f.print(bmp, 30, 10, black, grey, Font::Left, "Graafi servi: %d/%d", 42, 117);
    f.draw(other, "Graafi servi: 42/117", 30, 10, black, grey);
    EXPECT_TRUE(samePixels(bmp, other));

    // 600 characters formatted: 511 are drawn (the buffer keeps its zero).
    BITMAP* wideA = create_bitmap(8 * 520, 10);
    BITMAP* wideB = create_bitmap(8 * 520, 10);
    clear_to_color(wideA, white);
    clear_to_color(wideB, white);
    const std::string longText(600, 'W');
    f.print(wideA, 0, 0, black, -1, Font::Left, "%s", longText.c_str());
    f.draw(wideB, longText.substr(0, Font::printBufferSize - 1).c_str(), 0, 0, black);
    EXPECT_TRUE(samePixels(wideA, wideB));
    f.draw(wideB, longText.substr(0, Font::printBufferSize).c_str(), 0, 0, black);
    EXPECT_FALSE(samePixels(wideA, wideB));
    destroy_bitmap(wideA);
    destroy_bitmap(wideB);
}

TEST_P(FontTest, MovedFontsOwnTheirFontOnce)
{
    Font a;
    ASSERT_EQ(a.load(sansPath), Error(Error::NONE));
    a.setSize(18);
    const int height = a.textHeight();
    Font b(std::move(a));
    EXPECT_TRUE(a.isBuiltIn());
    EXPECT_TRUE(b.isScalable());
    EXPECT_EQ(b.textHeight(), height);
    Font c;
    c = std::move(b);
    EXPECT_EQ(c.textHeight(), height);
    EXPECT_EQ(c.size(), 18);
    c.release();
    EXPECT_TRUE(c.isBuiltIn());
    EXPECT_EQ(c.textHeight(), 8);
}

INSTANTIATE_TEST_SUITE_P(Depths, FontTest, ::testing::Values(16, 32));

} // namespace
