// Tests of skin datafiles: bitmaps, cursors and samples loaded into a skin,
// the checks of gui/DatafileCheck.cpp on damaged files, and LZSS unpacking.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/DatafileCheck.h"
#include "gui/SkinLook.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"
#include "tests/support/temp_files.h"

namespace fs = std::filesystem;

namespace {

const auto* const env = testkit::headlessAllegro();

const char* const datTool = "/usr/bin/dat";

using testkit::readFile;
using testkit::writeFile;

// An 8-bit mono PCM wave file.
void writeWave(const fs::path& p, const std::vector<std::uint8_t>& samples, int rate)
{
    auto le32 = [](std::vector<std::uint8_t>& v, std::uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v.push_back(std::uint8_t(x >> (8 * i)));
    };
    auto le16 = [](std::vector<std::uint8_t>& v, std::uint32_t x) {
        v.push_back(std::uint8_t(x));
        v.push_back(std::uint8_t(x >> 8));
    };
    std::vector<std::uint8_t> w = {'R', 'I', 'F', 'F'};
    le32(w, 36 + std::uint32_t(samples.size()));
    for (char c : std::string("WAVEfmt "))
        w.push_back(std::uint8_t(c));
    le32(w, 16);
    le16(w, 1);  // PCM
    le16(w, 1);  // mono
    le32(w, std::uint32_t(rate));
    le32(w, std::uint32_t(rate));
    le16(w, 1);
    le16(w, 8);
    for (char c : std::string("data"))
        w.push_back(std::uint8_t(c));
    le32(w, std::uint32_t(samples.size()));
    w.insert(w.end(), samples.begin(), samples.end());
    writeFile(p, w);
}

// Datafiles built with Allegro's own dat tool, at 16 and 32 bits per pixel.
class DatafileTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        if (!fs::exists(datTool))
            GTEST_SKIP() << "Allegro's dat tool is not installed";
        set_color_depth(GetParam());
        select_palette(default_palette);
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override { select_palette(default_palette); }

    // Runs dat in the test folder; arguments are passed as they are.
    void dat(const std::string& args)
    {
        std::string command = "cd '" + dir_.string() + "' && " + datTool + " " + args + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // A 24-bit BMP of w x h in one colour, with a different top-left pixel.
    void image(const std::string& name, int w, int h, int r, int g, int b)
    {
        BITMAP* bmp = create_bitmap_ex(24, w, h);
        ASSERT_NE(bmp, nullptr);
        clear_to_color(bmp, makecol_depth(24, r, g, b));
        putpixel(bmp, 0, 0, makecol_depth(24, 255, 255, 255));
        ASSERT_EQ(save_bitmap((dir_ / name).string().c_str(), bmp, nullptr), 0);
        destroy_bitmap(bmp);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // Bitmaps BUTTON (tile 14 x 6) and LIST (no tile) plus an unnamed one.
    std::string bitmapFile(int compression)
    {
        std::string file = "bitmaps" + std::to_string(compression) + ".dat";
        image("button.bmp", 18, 72, 0, 0, 255);
        image("list.bmp", 36, 96, 0, 200, 0);
        image("other.bmp", 8, 8, 9, 9, 9);
        std::string c = " -c" + std::to_string(compression);
        dat(file + c + " -bpp 16 -t BMP -a button.bmp list.bmp other.bmp");
        dat(file + " BUTTON_BMP NAME=BUTTON");
        dat(file + " LIST_BMP NAME=LIST");
        dat(file + " BUTTON TCKX=14 TCKY=6");
        return file;
    }

    testkit::TempDir tmp_{"vaskur-dat"};
    fs::path dir_{tmp_.path()};
};

TEST_P(DatafileTest, NamedBitmapsWithAndWithoutTileSizesInEveryCompression)
{
    for (int compression : {0, 1, 2}) {
        SCOPED_TRACE(compression);
        std::string file = bitmapFile(compression);
        EXPECT_EQ(checkDatafile(path(file).c_str()), DatafileStatus::OK);
        Skin skin("default");
        BITMAP* builtInCheckbox = skin.bitmap(Skin::CHECKBOX).bitmap();
        ASSERT_EQ(skin.loadBitmaps(path(file).c_str()), Error::NONE);

        const Bitmap& button = skin.bitmap(Skin::BUTTON);
        ASSERT_FALSE(button.empty());
        EXPECT_EQ(button.width(), 18);
        EXPECT_EQ(button.height(), 72);
        EXPECT_TRUE(button.owned());
        EXPECT_EQ(bitmap_color_depth(button.bitmap()), GetParam());
        int pixel = getpixel(button.bitmap(), 5, 5);
        EXPECT_EQ(getr(pixel), 0);
        EXPECT_EQ(getg(pixel), 0);
        EXPECT_GE(getb(pixel), 248);
        EXPECT_EQ(getg(getpixel(button.bitmap(), 0, 0)), getr(getpixel(button.bitmap(), 0, 0)));
        EXPECT_EQ(button.tileWidth(), 14);
        EXPECT_EQ(button.tileHeight(), 6);

        const Bitmap& list = skin.bitmap(Skin::LIST);
        EXPECT_EQ(list.width(), 36);
        EXPECT_EQ(list.tileWidth(), -1);  // a third of the frame
        EXPECT_EQ(list.tileHeight(), -1);

        // Names the file does not have keep their slot.
        EXPECT_EQ(skin.bitmap(Skin::CHECKBOX).bitmap(), builtInCheckbox);
    }
}

TEST_P(DatafileTest, DescriptionFindsItsDatafilesBesideIt)
{
    std::string file = bitmapFile(2);
    fs::create_directories(dir_ / "elsewhere");
    std::ofstream(dir_ / "skin.ini") << "[Skin]\nmain_data = " << file << "\n[COLORS]\nface = 0,0,255\n";
    // Loaded from another working folder: names are relative to the description.
    fs::path previous = fs::current_path();
    fs::current_path(dir_ / "elsewhere");
    Skin skin(path("skin.ini").c_str());
    fs::current_path(previous);
    EXPECT_EQ(skin.error(), Error::NONE);
    EXPECT_EQ(skin.bitmap(Skin::BUTTON).width(), 18);
    EXPECT_EQ(skin.bitmap(Skin::BUTTON).tileWidth(), 14);
    // With a bitmap datafile the other slots are not repainted in the file's
    // colours: they keep the built-in colours painted by the reset.
    Skin builtIn("default");
    EXPECT_EQ(skin.bitmap(Skin::CHECKBOX).width(), builtIn.bitmap(Skin::CHECKBOX).width());
    EXPECT_EQ(skin.colors().face, makecol(0, 0, 255));
}

TEST_P(DatafileTest, ExtraPaletteConvertsEightBitBitmaps)
{
    // An 8-bit image whose pixels are palette index 1; the palette makes
    // index 1 orange. Allegro's default palette has a dark blue there.
    PALETTE pal;
    for (int i = 0; i < PAL_SIZE; ++i)
        pal[i] = default_palette[i];
    pal[1].r = 63;
    pal[1].g = 32;
    pal[1].b = 0;
    BITMAP* bmp = create_bitmap_ex(8, 18, 72);
    ASSERT_NE(bmp, nullptr);
    clear_to_color(bmp, 1);
    ASSERT_EQ(save_bitmap(path("indexed.bmp").c_str(), bmp, pal), 0);
    destroy_bitmap(bmp);

    for (int compression : {0, 2}) {
        SCOPED_TRACE(compression);
        std::string plain = "plain" + std::to_string(compression) + ".dat";
        std::string withPal = "pal" + std::to_string(compression) + ".dat";
        std::string c = " -c" + std::to_string(compression);
        dat(plain + c + " -bpp 8 -t BMP -a indexed.bmp");
        dat(plain + " INDEXED_BMP NAME=BUTTON");
        dat(withPal + c + " -bpp 8 -t BMP -a indexed.bmp");
        dat(withPal + " INDEXED_BMP NAME=BUTTON");
        dat(withPal + " -t PAL -a indexed.bmp");
        dat(withPal + " INDEXED_BMP NAME=XTRA_PALETTE");

        select_palette(default_palette);
        Skin without("default");
        ASSERT_EQ(without.loadBitmaps(path(plain).c_str()), Error::NONE);
        int p = getpixel(without.bitmap(Skin::BUTTON).bitmap(), 3, 3);
        EXPECT_LT(getr(p), 64);
        EXPECT_GT(getb(p), 100);

        select_palette(default_palette);
        Skin with("default");
        ASSERT_EQ(with.loadBitmaps(path(withPal).c_str()), Error::NONE);
        p = getpixel(with.bitmap(Skin::BUTTON).bitmap(), 3, 3);
        EXPECT_GE(getr(p), 248);
        EXPECT_NEAR(getg(p), 130, 8);
        EXPECT_LT(getb(p), 8);
    }
}

TEST_P(DatafileTest, CursorsWithAndWithoutFrames)
{
    for (int compression : {0, 1, 2}) {
        SCOPED_TRACE(compression);
        std::string file = "cursors" + std::to_string(compression) + ".dat";
        image("busy.bmp", 30, 10, 200, 0, 0);
        image("arrow.bmp", 12, 16, 0, 0, 0);
        image("tiny.bmp", 2, 2, 0, 0, 0);
        dat(file + " -c" + std::to_string(compression) + " -bpp 32 -t BMP -a busy.bmp arrow.bmp tiny.bmp");
        dat(file + " BUSY_BMP NAME=MOUSE_HOURGLASS");
        dat(file + " ARROW_BMP NAME=MOUSE_NORMAL");
        dat(file + " TINY_BMP NAME=MOUSE_MOVE");
        dat(file + " MOUSE_HOURGLASS FRMS=3 FDUR=50 FCSX=4 FCSY=5");
        dat(file + " MOUSE_MOVE FRMS=9 FDUR=-4");

        Skin skin("default");
        BITMAP* builtInSelect = skin.cursor(Skin::MOUSE_SELECT).bitmap().bitmap();
        ASSERT_EQ(skin.loadCursors(path(file).c_str()), Error::NONE);
        const Cursor& busy = skin.cursor(Skin::MOUSE_HOURGLASS);
        EXPECT_EQ(busy.bitmap().width(), 30);
        EXPECT_EQ(busy.frames, 3);
        EXPECT_EQ(busy.frameDuration, 50);
        EXPECT_EQ(busy.focusX, 4);
        EXPECT_EQ(busy.focusY, 5);
        EXPECT_GE(getr(getpixel(busy.bitmap().bitmap(), 12, 5)), 192);

        const Cursor& arrow = skin.cursor(Skin::MOUSE_NORMAL);
        EXPECT_EQ(arrow.bitmap().width(), 12);
        EXPECT_EQ(arrow.frames, 1);
        EXPECT_EQ(arrow.frameDuration, 20);
        EXPECT_EQ(arrow.focusX, 0);
        EXPECT_EQ(arrow.focusY, 0);

        // More frames than columns and a negative duration are not taken.
        const Cursor& tiny = skin.cursor(Skin::MOUSE_MOVE);
        EXPECT_EQ(tiny.frames, 2);
        EXPECT_EQ(tiny.frameDuration, 20);

        EXPECT_EQ(skin.cursor(Skin::MOUSE_SELECT).bitmap().bitmap(), builtInSelect);
    }
}

TEST_P(DatafileTest, CursorsFromADescriptionReadTheMouseSection)
{
    image("arrow.bmp", 12, 16, 0, 0, 0);
    dat("c.dat -bpp 16 -t BMP -a arrow.bmp");
    dat("c.dat ARROW_BMP NAME=MOUSE_NORMAL");
    std::ofstream(dir_ / "skin.ini") << "[Skin]\ncursors = c.dat\n[MOUSE]\nshadowColor = 1 2 3\n"
                                        "shadowSize = 5\nshadowOffsetY = 3\n";
    Skin skin(path("skin.ini").c_str());
    EXPECT_EQ(skin.error(), Error::NONE);
    EXPECT_EQ(skin.cursor(Skin::MOUSE_NORMAL).bitmap().width(), 12);
    EXPECT_EQ(skin.elements().mouseShadowColor, makecol(1, 2, 3));
    EXPECT_EQ(skin.elements().mouseShadowSize, 5);
    EXPECT_EQ(skin.elements().mouseShadowOffsetX, 2);
    EXPECT_EQ(skin.elements().mouseShadowOffsetY, 3);
}

TEST_P(DatafileTest, SamplesAreCopiedIntoTheirSlots)
{
    std::vector<std::uint8_t> click;
    for (int i = 0; i < 300; ++i)
        click.push_back(std::uint8_t((i * 37) & 0xFF));
    writeWave(dir_ / "click.wav", click, 8000);
    writeWave(dir_ / "key.wav", std::vector<std::uint8_t>(40, 128), 22050);
    for (int compression : {0, 1, 2}) {
        SCOPED_TRACE(compression);
        std::string file = "sounds" + std::to_string(compression) + ".dat";
        dat(file + " -c" + std::to_string(compression) + " -t SAMP -a click.wav key.wav");
        dat(file + " CLICK_WAV NAME=SAMPLE_ACTIVATE");
        dat(file + " KEY_WAV NAME=SAMPLE_KEY");
        Skin skin("default");
        ASSERT_EQ(skin.loadSamples(path(file).c_str()), Error::NONE);
        const SAMPLE* s = skin.sample(Skin::SAMPLE_ACTIVATE).get();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->len, click.size());
        EXPECT_EQ(s->freq, 8000u);
        EXPECT_EQ(s->bits, 8);
        const std::uint8_t* data = static_cast<const std::uint8_t*>(s->data);
        EXPECT_EQ(std::vector<std::uint8_t>(data, data + s->len), click);
        EXPECT_EQ(skin.sample(Skin::SAMPLE_KEY).get()->len, 40u);
        EXPECT_EQ(skin.sample(Skin::SAMPLE_KEY).get()->freq, 22050u);
        EXPECT_EQ(skin.sample(Skin::SAMPLE_CLOSE).get()->len, 0u);  // not in the file
        // No sound driver is installed: playing must still be harmless.
        skin.playSample(Skin::SAMPLE_ACTIVATE);
        skin.playSample(Skin::SAMPLE_ACTIVATE);
    }
}

TEST_P(DatafileTest, NestedGrabberFilesAreWalked)
{
    fs::create_directories(dir_ / "nest" / "sub");
    image("nest/b.bmp", 4, 4, 1, 2, 3);
    image("nest/sub/a.bmp", 5, 3, 3, 2, 1);
    for (int compression : {0, 1, 2}) {
        std::string file = "nested" + std::to_string(compression) + ".dat";
        dat(file + " -c" + std::to_string(compression) + " -r -bpp 16 -t BMP -a nest");
        EXPECT_EQ(checkDatafile(path(file).c_str()), DatafileStatus::OK) << compression;
        // A cut inside the nested file is found.
        std::vector<std::uint8_t> bytes = readFile(dir_ / file);
        bytes.resize(bytes.size() * 2 / 3);
        EXPECT_FALSE(isSoundDatafile(bytes)) << compression;
    }
}

TEST_P(DatafileTest, TruncatedFilesAreRejectedAndNeverCrash)
{
    for (int compression : {0, 1, 2}) {
        SCOPED_TRACE(compression);
        std::string file = bitmapFile(compression);
        std::vector<std::uint8_t> whole = readFile(dir_ / file);
        ASSERT_TRUE(isSoundDatafile(whole));
        for (std::size_t n = 0; n < whole.size(); ++n) {
            std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
            EXPECT_FALSE(isSoundDatafile(cut)) << "cut at " << n;
        }
        // Through the skin: error 13, and the skin keeps its built-in look.
        Skin skin("default");
        for (std::size_t n = 1; n < whole.size(); n += whole.size() / 7) {
            std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
            writeFile(dir_ / "cut.dat", cut);
            EXPECT_EQ(skin.loadBitmaps(path("cut.dat").c_str()), Error::FILE_LOAD) << n;
            EXPECT_EQ(skin.loadCursors(path("cut.dat").c_str()), Error::FILE_LOAD) << n;
            EXPECT_EQ(skin.loadSamples(path("cut.dat").c_str()), Error::FILE_LOAD) << n;
            EXPECT_FALSE(skin.bitmap(Skin::BUTTON).empty());
        }
        EXPECT_EQ(skin.loadBitmaps(path("nothing-here.dat").c_str()), Error::SKIN_DATAFILE_NOT_FOUND);
        EXPECT_EQ(skin.loadCursors(path("nothing-here.dat").c_str()), Error::FILE_NOT_FOUND);
        EXPECT_EQ(skin.loadSamples(path("nothing-here.dat").c_str()), Error::FILE_NOT_FOUND);
    }
}

// Big-endian 32-bit value at `at`.
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(v >> (24 - 8 * i));
}

std::size_t find(const std::vector<std::uint8_t>& b, const std::string& text)
{
    auto it = std::search(b.begin(), b.end(), text.begin(), text.end());
    return it == b.end() ? std::string::npos : std::size_t(it - b.begin());
}

TEST_P(DatafileTest, InconsistentHeadersAreRejected)
{
    std::string file = bitmapFile(0);
    const std::vector<std::uint8_t> whole = readFile(dir_ / file);
    ASSERT_TRUE(isSoundDatafile(whole));
    std::size_t bmp = find(whole, "BMP ");
    ASSERT_NE(bmp, std::string::npos);

    auto expectRejected = [&](std::vector<std::uint8_t> bytes, const char* what) {
        EXPECT_FALSE(isSoundDatafile(bytes)) << what;
        writeFile(dir_ / "bad.dat", bytes);
        Skin skin("default");
        EXPECT_EQ(skin.loadBitmaps(path("bad.dat").c_str()), Error::FILE_LOAD) << what;
    };
    std::vector<std::uint8_t> b = whole;
    put32(b, 8, 0x7FFFFFFF);
    expectRejected(b, "object count");
    b = whole;
    put32(b, bmp + 4, 0x7FFFFFF0);
    expectRejected(b, "packed size beyond the file");
    b = whole;
    put32(b, bmp + 8, 0x10);
    expectRejected(b, "sizes disagree");
    b = whole;
    put32(b, bmp + 8, 0xFFFFFF00);
    expectRejected(b, "unpacked object that claims to be packed");
    b = whole;
    b[bmp + 14] = 0x7F;  // width 0x7Fxx: more pixels than bytes
    expectRejected(b, "bitmap larger than its data");
    b = whole;
    b[bmp + 12] = 0;
    b[bmp + 13] = 7;  // 7 bits per pixel
    expectRejected(b, "colour depth");
    b = whole;
    std::size_t prop = find(whole, "prop");
    put32(b, prop + 8, 0xFFFFFFF0);
    expectRejected(b, "property size");
    b = whole;
    put32(b, prop + 4, 0xFFFFFFFF);
    expectRejected(b, "property of the end-of-list type");
    b = whole;
    put32(b, bmp, 0xFFFFFFFF);
    expectRejected(b, "object of the end-of-list type");
    b = whole;
    b[4] = 'X';
    expectRejected(b, "datafile magic");
    b = whole;
    b[3] = '?';
    expectRejected(b, "packing magic");

    // A nested file that claims more objects than it holds.
    fs::create_directories(dir_ / "nest");
    image("nest/b.bmp", 4, 4, 1, 2, 3);
    dat("n.dat -c0 -r -bpp 16 -t BMP -a nest");
    std::vector<std::uint8_t> nested = readFile(dir_ / "n.dat");
    std::size_t fileObject = find(nested, "FILE");
    ASSERT_NE(fileObject, std::string::npos);
    put32(nested, fileObject + 12, 1000);
    expectRejected(nested, "nested object count");
}

TEST_P(DatafileTest, OtherObjectKindsThatAllegroReadsPassTheCheck)
{
    // A sprite with transparent parts, so that its runs skip pixels.
    BITMAP* bmp = create_bitmap_ex(24, 16, 16);
    ASSERT_NE(bmp, nullptr);
    clear_to_color(bmp, makecol_depth(24, 255, 0, 255));
    circlefill(bmp, 8, 8, 5, makecol_depth(24, 200, 10, 10));
    ASSERT_EQ(save_bitmap(path("sprite.bmp").c_str(), bmp, nullptr), 0);
    destroy_bitmap(bmp);
    for (int bpp : {8, 16, 32}) {
        std::string file = "rle" + std::to_string(bpp) + ".dat";
        dat(file + " -c1 -bpp " + std::to_string(bpp) + " -t RLE -a sprite.bmp");
        EXPECT_EQ(checkDatafile(path(file).c_str()), DatafileStatus::OK) << bpp;
        DATAFILE* loaded = load_datafile(path(file).c_str());
        EXPECT_NE(loaded, nullptr);
        if (loaded)
            unload_datafile(loaded);
    }
    // A compiled sprite is no bitmap once loaded: a skin does not take it.
    dat("compiled.dat -bpp 16 -t CMP -a sprite.bmp");
    dat("compiled.dat SPRITE_BMP NAME=BUTTON");
    EXPECT_EQ(checkDatafile(path("compiled.dat").c_str()), DatafileStatus::OK);
    Skin skin("default");
    BITMAP* builtIn = skin.bitmap(Skin::BUTTON).bitmap();
    EXPECT_EQ(skin.loadBitmaps(path("compiled.dat").c_str()), Error::NONE);
    EXPECT_EQ(skin.bitmap(Skin::BUTTON).bitmap(), builtIn);
    EXPECT_EQ(skin.loadCursors(path("compiled.dat").c_str()), Error::NONE);

    dat("misc.dat -t DATA -a sprite.bmp");
    dat("misc.dat -t PAL -a sprite.bmp");
    dat("misc.dat -t FONT -a sprite.bmp");
    EXPECT_EQ(checkDatafile(path("misc.dat").c_str()), DatafileStatus::OK);

    // A run longer than the sprite's memory is refused.
    std::vector<std::uint8_t> rle = readFile(dir_ / "rle16.dat");
    ASSERT_TRUE(isSoundDatafile(rle));
    dat("plain16.dat -c0 -bpp 16 -t RLE -a sprite.bmp");
    rle = readFile(dir_ / "plain16.dat");
    std::size_t at = find(rle, "RLE ");
    ASSERT_NE(at, std::string::npos);
    // Header: type, two sizes, then depth, w, h, memory size, first count.
    std::size_t firstCount = at + 12 + 10;
    ASSERT_TRUE(isSoundDatafile(rle));
    rle[firstCount] = 0xFF;
    rle[firstCount + 1] = 0x7F;
    EXPECT_FALSE(isSoundDatafile(rle));

    // So is an 8-bit sprite with more lines than its runs hold: converting
    // it, Allegro would read the runs past the sprite's end.
    dat("plain8.dat -c0 -bpp 8 -t RLE -a sprite.bmp");
    rle = readFile(dir_ / "plain8.dat");
    at = find(rle, "RLE ");
    ASSERT_NE(at, std::string::npos);
    ASSERT_TRUE(isSoundDatafile(rle));
    rle[at + 12 + 4] = 0x10;  // height 16 becomes 4112
    EXPECT_FALSE(isSoundDatafile(rle));
}

INSTANTIATE_TEST_SUITE_P(Depths, DatafileTest, ::testing::Values(16, 32),
                         [](const auto& info) { return std::to_string(info.param) + "bpp"; });

// ---- the LZSS stream of packed files ----

TEST(Lzss, LiteralsAndMatchesIntoTheRing)
{
    // Flags 0b00000011: two literals, then a match at the ring position of
    // the first literal (4078), 5 bytes long, which overlaps its own output.
    std::vector<std::uint8_t> stream = {0x03, 'a', 'b', 0xEE, 0xF2};
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(unpackLzss(stream.data(), stream.size(), out, 100));
    EXPECT_EQ(std::string(out.begin(), out.end()), "abababa");

    // The ring starts out as zeros before the start position...
    std::vector<std::uint8_t> zeros = {0x00, 0x00, 0x00};
    ASSERT_TRUE(unpackLzss(zeros.data(), zeros.size(), out, 100));
    EXPECT_EQ(out, std::vector<std::uint8_t>(3, 0));
    // ...but from it on only what has been written is defined (Allegro
    // leaves the rest of its ring uninitialised).
    std::vector<std::uint8_t> undefined = {0x00, 0xFF, 0xF0};  // 3 bytes at 4095
    EXPECT_FALSE(unpackLzss(undefined.data(), undefined.size(), out, 100));
    std::vector<std::uint8_t> pastWritten = {0x01, 'a', 0xF0, 0xF1};  // 4 bytes at 4080
    EXPECT_FALSE(unpackLzss(pastWritten.data(), pastWritten.size(), out, 100));
}

TEST(Lzss, CutStreamsAndOversizedOutputFail)
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> halfMatch = {0x00, 0x12};
    EXPECT_FALSE(unpackLzss(halfMatch.data(), halfMatch.size(), out, 100));
    std::vector<std::uint8_t> literals = {0xFF, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(unpackLzss(literals.data(), literals.size(), out, 8));
    EXPECT_FALSE(unpackLzss(literals.data(), literals.size(), out, 7));
    std::vector<std::uint8_t> match = {0x00, 0x00, 0x0F};  // 18 bytes
    EXPECT_FALSE(unpackLzss(match.data(), match.size(), out, 17));
    // The stream ends where the bytes end, also right after a flags byte.
    std::vector<std::uint8_t> oneToken = {0x01, 'x'};
    ASSERT_TRUE(unpackLzss(oneToken.data(), oneToken.size(), out, 100));
    EXPECT_EQ(out.size(), 1u);
    literals.push_back(0x00);
    ASSERT_TRUE(unpackLzss(literals.data(), literals.size(), out, 100));
    EXPECT_EQ(out.size(), 8u);
}

}  // namespace
