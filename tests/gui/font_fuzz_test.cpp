// Randomly damaged font files: the loaders must refuse or accept them without
// crashing, and whatever they accept must measure and draw safely. Each case
// runs for a bounded time with a fixed seed (VASKUR_FUZZ_SEED overrides it).
#include "gui/Error.h"
#include "gui/Font.h"
#include "gui/FontImage.h"
#include "gui/alfont/alfont.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/headless.h"
#include "tests/support/temp_files.h"

namespace {

const char* const fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

const auto* const environment =
    testkit::headlessAllegro({.asciiText = true, .then = [] { ASSERT_EQ(alfont_init(), 0); }});

std::uint32_t seed()
{
    const char* s = std::getenv("VASKUR_FUZZ_SEED");
    return s != nullptr ? static_cast<std::uint32_t>(std::strtoul(s, nullptr, 10)) : 20261208u;
}

// The time budget of a case: the given one, or VASKUR_FUZZ_MS for longer
// runs by hand.
std::chrono::milliseconds budget(int defaultMs)
{
    const char* s = std::getenv("VASKUR_FUZZ_MS");
    return std::chrono::milliseconds(s != nullptr ? std::atoi(s) : defaultMs);
}

// Runs body(iteration) until the time budget is spent (at least minimum
// times, at most maximum times).
template <class Body>
int runFor(std::chrono::milliseconds budget, int minimum, int maximum, Body body)
{
    const auto start = std::chrono::steady_clock::now();
    int i = 0;
    for (; i < maximum; ++i) {
        if (i >= minimum && std::chrono::steady_clock::now() - start > budget)
            break;
        body(i);
        if (::testing::Test::HasFatalFailure())
            break;
    }
    return i;
}

using testkit::writeFile;

// Every Latin-1 character in one string.
std::string allCharacters()
{
    std::string s;
    for (int c = 1; c < 256; ++c)
        s += static_cast<char>(c);
    return s;
}

// Damages a copy of a file: cuts it, flips bytes, or writes extreme words,
// mostly near the start where the headers and tables of contents are.
std::vector<unsigned char> damage(const std::vector<unsigned char>& original, std::mt19937& rng)
{
    std::vector<unsigned char> bytes = original;
    if (bytes.empty())
        return bytes;
    auto pick = [&](std::size_t limit) {
        return std::uniform_int_distribution<std::size_t>(0, std::max<std::size_t>(limit, 1) - 1)(rng);
    };
    auto position = [&]() {
        return rng() % 4 != 0 ? pick(std::min<std::size_t>(bytes.size(), 4096)) : pick(bytes.size());
    };
    const int kind = static_cast<int>(rng() % 4);
    if (kind == 0 || rng() % 5 == 0)
        bytes.resize(rng() % 3 == 0 ? pick(256) : pick(bytes.size()));
    if (bytes.empty())
        return bytes;
    if (kind == 1) {
        const int flips = 1 + static_cast<int>(rng() % 16);
        for (int i = 0; i < flips; ++i)
            bytes[position()] ^= static_cast<unsigned char>(1u << (rng() % 8));
    } else if (kind == 2 || kind == 3) {
        static const std::uint32_t extremes[] = {0, 1, 0x7fffffff, 0x80000000, 0xffffffff, 0xffff, 0x8000};
        const int words = 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < words; ++i) {
            const std::size_t at = position();
            const std::uint32_t v = extremes[rng() % std::size(extremes)];
            for (int k = 0; k < 4 && at + k < bytes.size(); ++k)
                bytes[at + k] = static_cast<unsigned char>(v >> (8 * (3 - k)));
        }
    }
    return bytes;
}

// Measures and draws everything a loaded font has, at 16 and 32 bits, plain
// and anti-aliased, clipped and not.
void exercise(const Font& font)
{
    const std::string text = allCharacters();
    const int height = font.textHeight();
    EXPECT_GE(height, 0);
    EXPECT_GE(font.textLength(text.c_str()), 0);
    for (int depth : {16, 32}) {
        BITMAP* bmp = create_bitmap_ex(depth, 64, 24);
        ASSERT_NE(bmp, nullptr);
        clear_to_color(bmp, 0);
        font.draw(bmp, text.c_str(), -5, 2, makecol_depth(depth, 255, 255, 255), -1, Font::Left);
        font.drawCaption(bmp, "&Ab&&c", 63, -3, makecol_depth(depth, 255, 0, 0),
                         makecol_depth(depth, 0, 0, 255), 0, Font::Right);
        set_clip_state(bmp, FALSE);
        font.draw(bmp, text.c_str(), 30, 20, makecol_depth(depth, 9, 9, 9), 5, Font::Centre);
        destroy_bitmap(bmp);
    }
}

TEST(FontFuzz, DamagedTrueTypeFilesNeverCrash)
{
    const std::vector<unsigned char> original = testkit::readFile(fontPath);
    ASSERT_GT(original.size(), 10000u);
    std::mt19937 rng(seed());
    const testkit::TempDir dir("vaskur-fuzz");
    const std::string file = dir.file("font.ttf");
    int accepted = 0, refused = 0;
    const int runs = runFor(budget(2000), 10, 1000000, [&](int i) {
        SCOPED_TRACE("iteration " + std::to_string(i) + " seed " + std::to_string(seed()));
        const std::vector<unsigned char> bytes = damage(original, rng);
        if (i % 4 == 0) {
            // Through the layer directly, at several sizes.
            ALFONT_FONT* f = alfont_load_font_from_mem(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            if (f == nullptr) {
                ++refused;
                return;
            }
            ++accepted;
            BITMAP* bmp = create_bitmap_ex(32, 40, 40);
            for (int size : {1, 7, 19, 60}) {
                alfont_set_font_size(f, size);
                EXPECT_GE(alfont_text_height(f), 0);
                alfont_textout_centre_aa(bmp, f, allCharacters().c_str(), 20, 0, 0xffffff);
            }
            destroy_bitmap(bmp);
            alfont_destroy_font(f);
            return;
        }
        writeFile(file, bytes);
        Font font;
        font.setSize(6 + static_cast<int>(rng() % 20));
        const Error result = font.load(file);
        if (result == Error(Error::NONE)) {
            ++accepted;
            EXPECT_TRUE(font.isScalableLayer());
        } else {
            ++refused;
            EXPECT_EQ(result, Error(Error::FILE_LOAD));
            EXPECT_TRUE(font.isBuiltIn());
        }
        exercise(font);
    });
    RecordProperty("iterations", runs);
    EXPECT_EQ(accepted + refused, runs);
    // Damage near the headers refuses some files; damage elsewhere leaves
    // others loadable. Both roads must have been taken.
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
}

// A valid GRX font with random characters, widths and rows.
std::vector<unsigned char> randomGrx(std::mt19937& rng)
{
    std::vector<unsigned char> out;
    auto u16 = [&](unsigned v) {
        out.push_back(static_cast<unsigned char>(v & 0xff));
        out.push_back(static_cast<unsigned char>(v >> 8));
    };
    const bool fixed = rng() % 2 == 0;
    const unsigned height = 1 + rng() % 24;
    const unsigned first = rng() % 250;
    const unsigned last = first + rng() % (256 - first);
    const unsigned fixedWidth = 1 + rng() % 20;
    for (unsigned char b : {0x14, 0x02, 0x59, 0x19})
        out.push_back(b);
    u16(0);
    u16(0);
    u16(fixedWidth);
    u16(height);
    u16(first);
    u16(last);
    u16(fixed ? 1 : 0);
    u16(0);
    u16(height);
    u16(0);
    out.resize(out.size() + 32, 0);
    std::vector<unsigned> widths(last - first + 1, fixedWidth);
    if (!fixed)
        for (unsigned& w : widths) {
            w = rng() % 20;
            u16(w);
        }
    for (unsigned w : widths)
        for (unsigned i = 0; i < (w + 7) / 8 * height; ++i)
            out.push_back(static_cast<unsigned char>(rng()));
    return out;
}

TEST(FontFuzz, DamagedBitmapFontFilesNeverCrash)
{
    std::mt19937 rng(seed() + 1);
    const testkit::TempDir dir("vaskur-fuzz");
    const std::string fnt = dir.file("font.fnt");
    const std::string itf = dir.file("font.itf");
    int damagedAccepted = 0;
    const int runs = runFor(budget(1500), 20, 1000000, [&](int i) {
        SCOPED_TRACE("iteration " + std::to_string(i) + " seed " + std::to_string(seed() + 1));
        Font font;
        switch (i % 3) {
        case 0: {
            // A sound GRX font loads; a damaged one loads or is refused.
            const std::vector<unsigned char> good = randomGrx(rng);
            writeFile(fnt, good);
            ASSERT_EQ(font.load(fnt), Error(Error::NONE));
            exercise(font);
            const std::vector<unsigned char> bad = damage(good, rng);
            writeFile(fnt, bad);
            const Error result = font.load(fnt);
            EXPECT_TRUE(result == Error(Error::NONE) || result == Error(Error::FILE_LOAD));
            damagedAccepted += result == Error(Error::NONE);
            exercise(font);
            break;
        }
        case 1: {
            // Raw bytes as a BIOS font: a whole number of 256-byte rows
            // (1 to 64 of them) is a font, anything else is not.
            std::vector<unsigned char> bytes(rng() % 20000);
            for (unsigned char& b : bytes)
                b = static_cast<unsigned char>(rng());
            if (bytes.size() >= 4 && rng() % 2 == 0)
                bytes.resize(bytes.size() / 256 * 256);
            if (bytes.size() >= 4 && bytes[0] == 0x14 && bytes[1] == 0x02)
                bytes[0] = 0;   // keep clear of the GRX magic
            writeFile(fnt, bytes);
            const bool whole = !bytes.empty() && bytes.size() % 256 == 0 && bytes.size() / 256 <= 64;
            EXPECT_EQ(font.load(fnt), whole ? Error(Error::NONE) : Error(Error::FILE_LOAD)) << bytes.size();
            if (whole) {
                EXPECT_EQ(font.textHeight(), static_cast<int>(bytes.size() / 256));
            }
            exercise(font);
            break;
        }
        default: {
            // A raw 8x8 font needs its 2048 bytes.
            std::vector<unsigned char> bytes(rng() % 4096);
            for (unsigned char& b : bytes)
                b = static_cast<unsigned char>(rng());
            writeFile(itf, bytes);
            EXPECT_EQ(font.load(itf), bytes.size() >= 2048 ? Error(Error::NONE) : Error(Error::FILE_LOAD))
                << bytes.size();
            exercise(font);
            break;
        }
        }
    });
    RecordProperty("iterations", runs);
    // Damage that only flips glyph bits leaves a loadable font.
    EXPECT_GT(damagedAccepted, 0);
}

// A small image in the font-grid layout, written by Allegro in one of the
// formats it can write, at 8 or 32 bits.
std::vector<unsigned char> randomImageFile(std::mt19937& rng, const std::string& path)
{
    const int depth = rng() % 2 == 0 ? 8 : 32;
    const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 20);
    BITMAP* image = create_bitmap_ex(depth, w, h);
    clear_to_color(image, depth == 8 ? 255 : makecol_depth(depth, 255, 255, 0));
    for (int i = 0; i < w * h / 2; ++i)
        putpixel(image, static_cast<int>(rng() % w), static_cast<int>(rng() % h),
                 depth == 8 ? static_cast<int>(rng() % 3) : makecol_depth(depth, rng() % 256, 0, 0));
    PALETTE palette;
    for (int i = 0; i < 256; ++i)
        palette[i] = RGB{static_cast<unsigned char>(i & 63), 0, 0, 0};
    save_bitmap(path.c_str(), image, palette);
    destroy_bitmap(image);
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FontFuzz, DamagedFontImagesNeverCrash)
{
    std::mt19937 rng(seed() + 2);
    const testkit::TempDir dir("vaskur-fuzz");
    int accepted = 0, refused = 0;
    const int runs = runFor(budget(1500), 30, 1000000, [&](int i) {
        SCOPED_TRACE("iteration " + std::to_string(i) + " seed " + std::to_string(seed() + 2));
        static const char* const kinds[] = {"bmp", "pcx", "tga"};
        const std::string file = dir.file(std::string("image.") + kinds[i % 3]);
        const std::vector<unsigned char> good = randomImageFile(rng, file);
        ASSERT_FALSE(good.empty());
        PALETTE palette;
        BITMAP* image = readImageFile(file, palette);
        ASSERT_NE(image, nullptr);   // what Allegro writes is read back
        destroy_bitmap(image);

        writeFile(file, damage(good, rng));
        Font font;
        const Error result = font.load(file);
        EXPECT_TRUE(result == Error(Error::NONE) || result == Error(Error::FILE_LOAD));
        (result == Error(Error::NONE) ? accepted : refused) += 1;
        exercise(font);
    });
    RecordProperty("iterations", runs);
    EXPECT_GT(refused, 0);
}

} // namespace
