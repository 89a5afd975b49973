// Randomised corruption of skin descriptions and datafiles: whatever the
// bytes, loading never crashes, reports one of the skin's errors and leaves
// a usable skin. Each part runs for a bounded time with a fixed seed.
#include <allegro.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/DatafileCheck.h"
#include "gui/Font.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"
#include "tests/support/temp_files.h"

namespace fs = std::filesystem;

namespace {

const auto* const headless = testkit::headlessAllegro({.colourDepth = 32});

// A few seconds in the suite; VASKUR_FUZZ_MS asks for a longer run.
std::chrono::milliseconds budget()
{
    const char* env = std::getenv("VASKUR_FUZZ_MS");
    long ms = env ? std::atol(env) : 0;
    return std::chrono::milliseconds(ms > 0 ? ms : 1500);
}
const auto timeBudget = budget();
const char* const datTool = "/usr/bin/dat";

using testkit::readFile;
using testkit::writeFile;

class SkinFuzzTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = fs::temp_directory_path() / ("vaskur_skinfuzz_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }

    static void expectUsable(const Skin& skin)
    {
        for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot)
            ASSERT_FALSE(skin.bitmap(slot).empty()) << Skin::bitmapNames[slot];
        for (int slot = 1; slot < Skin::NAMED_CURSORS; ++slot)
            ASSERT_FALSE(skin.cursor(slot).bitmap().empty());
    }

    static fs::path dir_;
};

fs::path SkinFuzzTest::dir_;

std::string randomValue(std::mt19937& rng)
{
    static const char* const samples[] = {
        "0", "1", "-1", "255", "300", "-99999999999", "99999999999999999999", "0,0,255",
        "1 2", "7;8;9;10", ",,,", " ", "", "abc", "none", "default", "\xff\xfe", "../../../etc/passwd",
        "junk.dat", "good.dat", "cut.dat", "/", ".", "fonts/x.ttf", "2147483648", "-2147483649",
    };
    std::uniform_int_distribution<int> pick(0, int(std::size(samples)) - 1);
    if (rng() % 5 != 0)
        return samples[pick(rng)];
    std::string s;
    int n = int(rng() % 300);
    for (int i = 0; i < n; ++i) {
        char c = char(rng() % 256);
        if (c != '\n' && c != '\r')
            s.push_back(c);
    }
    return s;
}

TEST_F(SkinFuzzTest, RandomDescriptionsNeverBreakTheSkin)
{
    static const char* const sections[] = {
        "Skin", "COLORS", "FONT0", "FONT7", "BUTTON", "CHECKBOX", "RADIO", "LIST", "TEXT", "MENU",
        "PROGRESS", "WINDOW", "HYPER", "TAB", "BOX", "WALLPAPER", "COMBOBOX", "MOUSE", "", "[",
    };
    static const char* const keys[] = {
        "main_data", "cursors", "sounds", "dottedRect", "focus", "face", "fontface", "back",
        "size", "file", "font1", "font4", "f_col1", "f_col3", "s_col2", "offX", "backColor",
        "style", "displacement", "animationType", "exitX", "height", "delay", "shadowColor",
        "shadowSize", "=", "",
    };
    // Datafiles the descriptions may name: nonsense and a cut one.
    writeFile(dir_ / "junk.dat", {'s', 'l', 'h', '!', 0xFF, 0x00, 0x13});
    writeFile(dir_ / "cut.dat", {'s', 'l', 'h', '.', 'A', 'L', 'L', '.', 0, 0, 0, 1, 'B', 'M'});

    std::mt19937 rng(20260);
    Skin skin("default");
    int rounds = 0;
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < timeBudget) {
        std::string text;
        int lines = int(rng() % 40);
        for (int i = 0; i < lines; ++i) {
            switch (rng() % 6) {
            case 0: text += std::string("[") + sections[rng() % std::size(sections)] + "]\n"; break;
            case 5: text += randomValue(rng) + "\n"; break;
            default:
                text += std::string(keys[rng() % std::size(keys)]) + " = " + randomValue(rng) + "\n";
            }
        }
        fs::path ini = dir_ / "fuzz.ini";
        std::ofstream(ini, std::ios::binary) << text;
        Error e = skin.load(ini.string().c_str());
        int code = e.code();
        ASSERT_TRUE(code == 0 || code == 11 || code == 12 || code == 13) << code << "\n" << text;
        expectUsable(skin);
        // Whatever was read, every accessor stays inside the skin.
        for (int type = 0; type < Skin::WIDGET_TYPES; ++type)
            for (int state = 0; state < Skin::STATES; ++state)
                (void)skin.typeFont(type, state).textHeight();
        ++rounds;
    }
    EXPECT_GT(rounds, 10);
}

// Sound datafiles of every kind the skin reads, in each compression mode.
std::vector<std::vector<std::uint8_t>> buildSeeds(const fs::path& dir)
{
    std::vector<std::vector<std::uint8_t>> seeds;
    BITMAP* bmp = create_bitmap_ex(24, 12, 20);
    clear_to_color(bmp, makecol_depth(24, 10, 20, 30));
    save_bitmap((dir / "pic.bmp").string().c_str(), bmp, nullptr);
    destroy_bitmap(bmp);
    // A short wave file: 8-bit mono PCM.
    std::vector<std::uint8_t> wav = {'R', 'I', 'F', 'F', 36 + 16, 0, 0, 0, 'W', 'A', 'V', 'E',
                                     'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                     0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0,
                                     'd', 'a', 't', 'a', 16, 0, 0, 0};
    for (int i = 0; i < 16; ++i)
        wav.push_back(std::uint8_t(i * 16));
    writeFile(dir / "snd.wav", wav);
    // A sprite with transparent parts, kept as a run-length sprite.
    BITMAP* sprite = create_bitmap_ex(24, 10, 10);
    clear_to_color(sprite, makecol_depth(24, 255, 0, 255));
    circlefill(sprite, 5, 5, 3, makecol_depth(24, 0, 90, 0));
    save_bitmap((dir / "spr.bmp").string().c_str(), sprite, nullptr);
    destroy_bitmap(sprite);
    fs::create_directories(dir / "nest");
    fs::copy_file(dir / "pic.bmp", dir / "nest" / "inner.bmp", fs::copy_options::overwrite_existing);
    for (int c = 0; c < 3; ++c) {
        std::string file = "seed" + std::to_string(c) + ".dat";
        std::string run = "cd '" + dir.string() + "' && " + datTool + " " + file + " -c" +
                          std::to_string(c);
        std::string quiet = " >/dev/null 2>&1";
        bool ok = std::system((run + " -bpp 16 -t BMP -a pic.bmp" + quiet).c_str()) == 0 &&
                  std::system((run + " -t SAMP -a snd.wav" + quiet).c_str()) == 0 &&
                  std::system((run + " -r -bpp 32 -t BMP -a nest" + quiet).c_str()) == 0 &&
                  std::system((run + " -bpp " + (c == 1 ? "16" : "32") + " -t RLE -a spr.bmp" +
                               quiet).c_str()) == 0 &&
                  std::system((run + " PIC_BMP NAME=BUTTON TCKX=4 FRMS=2" + quiet).c_str()) == 0 &&
                  std::system((run + " SND_WAV NAME=SAMPLE_KEY" + quiet).c_str()) == 0;
        if (ok)
            seeds.push_back(readFile(dir / file));
    }
    return seeds;
}

void mutate(std::vector<std::uint8_t>& b, std::mt19937& rng)
{
    if (b.empty())
        return;
    int edits = 1 + int(rng() % 4);
    for (int i = 0; i < edits; ++i) {
        std::size_t at = rng() % b.size();
        switch (rng() % 6) {
        case 0: b[at] ^= std::uint8_t(1u << (rng() % 8)); break;
        case 1: b[at] = std::uint8_t(rng()); break;
        case 2: b.resize(at + 1); break;  // cut
        case 3: {                         // an extreme 32-bit field
            static const std::uint32_t values[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000};
            std::uint32_t v = values[rng() % std::size(values)];
            for (int k = 0; k < 4 && at + k < b.size(); ++k)
                b[at + k] = std::uint8_t(v >> (24 - 8 * k));
            break;
        }
        case 4: b.insert(b.begin() + std::ptrdiff_t(at), std::uint8_t(rng())); break;
        default: b.erase(b.begin() + std::ptrdiff_t(at)); break;
        }
        if (b.empty())
            return;
    }
}

TEST_F(SkinFuzzTest, CorruptDatafilesAreRejectedOrLoadSafely)
{
    if (!fs::exists(datTool))
        GTEST_SKIP() << "Allegro's dat tool is not installed";
    std::vector<std::vector<std::uint8_t>> seeds = buildSeeds(dir_);
    ASSERT_EQ(seeds.size(), 3u);
    for (const auto& seed : seeds)
        ASSERT_TRUE(isSoundDatafile(seed));

    std::mt19937 rng(4242);
    Skin skin("default");
    fs::path file = dir_ / "mutant.dat";
    int rounds = 0, accepted = 0;
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < timeBudget) {
        std::vector<std::uint8_t> bytes = seeds[rng() % seeds.size()];
        mutate(bytes, rng);
        bool sound = isSoundDatafile(bytes);
        writeFile(file, bytes);
        ASSERT_EQ(checkDatafile(file.string().c_str()) == DatafileStatus::OK, sound);
        // Only files that hold together reach Allegro; the others are 13.
        Error expectedIfBad = Error::FILE_LOAD;
        for (int kind = 0; kind < 3; ++kind) {
            Error e = kind == 0 ? skin.loadBitmaps(file.string().c_str())
                    : kind == 1 ? skin.loadCursors(file.string().c_str())
                                : skin.loadSamples(file.string().c_str());
            if (!sound)
                ASSERT_EQ(e, expectedIfBad);
            else
                ASSERT_TRUE(e == Error::NONE || e == Error::FILE_LOAD) << e.code();
        }
        expectUsable(skin);
        accepted += sound;
        ++rounds;
    }
    EXPECT_GT(rounds, 20);
    // Changes of pixel or sample bytes keep a file sound, so the loaders
    // themselves were exercised too.
    EXPECT_GT(accepted, 0);
}

}  // namespace
