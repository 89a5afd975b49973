// Tests of gui/Skin.cpp: the default look, descriptions and their errors,
// type sections, element settings, fonts, reloading and the global skin.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Font.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"
#include "tests/support/temp_files.h"

namespace fs = std::filesystem;

namespace {

const auto* const env = testkit::headlessAllegro();

const char* const dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Skins at 16 and 32 bits per pixel, files in a folder of each test's own.
class SkinTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        set_color_depth(GetParam());
        ASSERT_FALSE(dir_.empty());
    }

    std::string write(const std::string& name, const std::string& text)
    {
        fs::path p = dir_ / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }

    // The skin holds exactly the built-in colours.
    static void expectBuiltInColours(const Skin& skin)
    {
        const SkinColors& c = skin.colors();
        EXPECT_EQ(c.face, makecol(210, 210, 210));
        EXPECT_EQ(c.fontface, makecol(16, 16, 16));
        EXPECT_EQ(c.shad1, makecol(255, 255, 255));
        EXPECT_EQ(c.shad2, makecol(80, 80, 80));
        EXPECT_EQ(c.disable, makecol(128, 128, 128));
        EXPECT_EQ(c.select, makecol(128, 192, 128));
        EXPECT_EQ(c.deselect, makecol(224, 224, 224));
        EXPECT_EQ(c.focus, makecol(128, 192, 128));
        EXPECT_EQ(c.sunken, makecol(232, 232, 232));
        EXPECT_EQ(c.back, makecol(180, 180, 180));
    }

    // Every named bitmap and cursor 1..11 can be drawn.
    static void expectUsable(const Skin& skin)
    {
        for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot) {
            ASSERT_FALSE(skin.bitmap(slot).empty()) << Skin::bitmapNames[slot];
            EXPECT_EQ(bitmap_color_depth(skin.bitmap(slot).bitmap()), GetParam());
        }
        for (int slot = 1; slot < Skin::NAMED_CURSORS; ++slot)
            EXPECT_FALSE(skin.cursor(slot).bitmap().empty()) << Skin::cursorNames[slot];
        for (int slot = 0; slot < Skin::NAMED_SAMPLES; ++slot)
            EXPECT_NE(skin.sample(slot).get(), nullptr) << Skin::sampleNames[slot];
    }

    static bool contains(const Bitmap& b, int colour)
    {
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x)
                if (getpixel(b.bitmap(), x, y) == colour)
                    return true;
        return false;
    }

    testkit::TempDir tmp_{"vaskur-skin"};
    fs::path dir_{tmp_.path()};
};

TEST_P(SkinTest, DefaultSkinIsTheBuiltInLookAndReadsNoFile)
{
    // A file called "default" in the working folder must not be read.
    { std::ofstream("default") << "[COLORS]\nface = 0,0,255\n"; }
    Skin skin("default");
    fs::remove("default");
    EXPECT_EQ(skin.error(), Error::NONE);
    EXPECT_EQ(skin.fileName(), "");
    expectBuiltInColours(skin);
    expectUsable(skin);
    EXPECT_TRUE(skin.cursor(Skin::MOUSE_ALTERNATIVE).bitmap().empty());
    EXPECT_EQ(skin.cursor(Skin::MOUSE_NORMAL).frames, 1);
    EXPECT_EQ(skin.cursor(Skin::MOUSE_NORMAL).frameDuration, 20);
    EXPECT_EQ(skin.sample(Skin::SAMPLE_KEY).get()->len, 0u);
    EXPECT_EQ(skin.sample(Skin::SAMPLE_KEY).get()->freq, 11025u);
    EXPECT_EQ(skin.sample(Skin::SAMPLE_KEY).get()->bits, 8);
    for (int slot = 0; slot < 8; ++slot)
        EXPECT_TRUE(skin.font(slot).isBuiltIn());

    // Built-in per-type looks and element settings.
    const SkinColors& c = skin.colors();
    for (int type = 0; type < Skin::TYPE_BOX; ++type) {
        EXPECT_EQ(skin.textColor(type, Skin::STATE_NORMAL), c.fontface);
        EXPECT_EQ(skin.textColor(type, Skin::STATE_SELECTED), c.fontface);
        EXPECT_EQ(skin.textColor(type, Skin::STATE_FOCUSED), c.fontface);
        EXPECT_EQ(skin.textColor(type, Skin::STATE_DISABLED), c.disable);
        EXPECT_EQ(skin.shadowColor(type, Skin::STATE_NORMAL), NO_COLOR);
        EXPECT_EQ(skin.shadowColor(type, Skin::STATE_DISABLED), c.shad1);
        EXPECT_EQ(skin.fontIndex(type, Skin::STATE_FOCUSED), 0);
    }
    EXPECT_EQ(skin.textColor(Skin::TYPE_BOX, Skin::STATE_NORMAL), makecol(32, 32, 32));
    EXPECT_EQ(skin.shadowColor(Skin::TYPE_BOX, Skin::STATE_DISABLED), makecol(255, 255, 255));
    const SkinElements& e = skin.elements();
    EXPECT_EQ(e.boxOffX, 10);
    EXPECT_EQ(e.boxBackColor, c.face);
    EXPECT_TRUE(e.dottedRect);
    EXPECT_EQ(e.focus, 0);
    EXPECT_EQ(e.windowExitX, -22);
    EXPECT_EQ(e.mouseShadowColor, makecol(96, 96, 96));

    Skin empty("");
    EXPECT_EQ(empty.error(), Error::NONE);
    expectBuiltInColours(empty);
    Skin null(nullptr);
    expectUsable(null);
}

TEST_P(SkinTest, ColoursOnlyGiveTheBuiltInBitmapsInThoseColours)
{
    std::string ini = write("skin.ini", "[COLORS]\nface = 0,0,255\nfontface = 0 255 0\n"
                                        "shad1 = 255;255;0\nback = 7\n");
    Skin skin(ini.c_str());
    EXPECT_EQ(skin.error(), Error::NONE);
    EXPECT_EQ(skin.fileName(), ini);
    int blue = makecol(0, 0, 255);
    EXPECT_EQ(skin.colors().face, blue);
    EXPECT_EQ(skin.colors().fontface, makecol(0, 255, 0));
    EXPECT_EQ(skin.colors().shad1, makecol(255, 255, 0));
    EXPECT_EQ(skin.colors().back, makecol(7, 0, 0));
    EXPECT_EQ(skin.colors().shad2, makecol(80, 80, 80));  // not written: default
    expectUsable(skin);
    EXPECT_TRUE(contains(skin.bitmap(Skin::BUTTON), blue));
    EXPECT_FALSE(contains(skin.bitmap(Skin::BUTTON), makecol(210, 210, 210)));
    EXPECT_TRUE(contains(skin.bitmap(Skin::PANEL_RAISED), blue));
}

TEST_P(SkinTest, MissingDescriptionIsErrorTenAndTheSkinStaysUsable)
{
    Skin fresh((dir_ / "absent.ini").string().c_str());
    EXPECT_EQ(fresh.error(), Error::SKIN_DESCRIPTION_NOT_FOUND);
    expectBuiltInColours(fresh);
    expectUsable(fresh);

    // Loading a missing file into a loaded skin changes nothing.
    std::string ini = write("skin.ini", "[COLORS]\nface = 1,2,3\n");
    Skin skin(ini.c_str());
    ASSERT_EQ(skin.error(), Error::NONE);
    BITMAP* button = skin.bitmap(Skin::BUTTON).bitmap();
    EXPECT_EQ(skin.load((dir_ / "absent.ini").string().c_str()), Error::SKIN_DESCRIPTION_NOT_FOUND);
    EXPECT_EQ(skin.error(), Error::SKIN_DESCRIPTION_NOT_FOUND);
    EXPECT_EQ(skin.colors().face, makecol(1, 2, 3));
    EXPECT_EQ(skin.fileName(), ini);
    EXPECT_EQ(skin.bitmap(Skin::BUTTON).bitmap(), button);
    EXPECT_EQ(skin.load(nullptr), Error::SKIN_DESCRIPTION_NOT_FOUND);
    // A folder exists: it reads as an empty description.
    EXPECT_EQ(skin.load(dir_.string().c_str()), Error::NONE);
    expectBuiltInColours(skin);
    expectUsable(skin);
    EXPECT_EQ(skin.load(""), Error::SKIN_DESCRIPTION_NOT_FOUND);
}

TEST_P(SkinTest, MissingAndUnreadableDatafilesGiveTheirErrors)
{
    std::string noBitmaps = write("a.ini", "[Skin]\nmain_data = none.dat\n[COLORS]\nface = 1,2,3\n");
    Skin a(noBitmaps.c_str());
    EXPECT_EQ(a.error(), Error::SKIN_DATAFILE_NOT_FOUND);
    expectBuiltInColours(a);  // the load stopped before the colours
    expectUsable(a);

    std::string noCursors = write("b.ini", "[Skin]\ncursors = none.dat\n[COLORS]\nface = 1,2,3\n"
                                           "[BUTTON]\nfont1 = 3\n");
    Skin b(noCursors.c_str());
    EXPECT_EQ(b.error(), Error::FILE_NOT_FOUND);
    EXPECT_EQ(b.colors().face, makecol(1, 2, 3));  // read before the cursors
    EXPECT_EQ(b.fontIndex(Skin::TYPE_BUTTON, Skin::STATE_NORMAL), 0);  // after them: not read
    expectUsable(b);

    std::string noSounds = write("c.ini", "[Skin]\nsounds = none.dat\n");
    Skin c(noSounds.c_str());
    EXPECT_EQ(c.error(), Error::FILE_NOT_FOUND);
    expectUsable(c);

    write("junk.dat", std::string("slh.ALL.\0\0\0\x05 not a datafile", 28));
    for (const char* key : {"main_data", "cursors", "sounds"}) {
        std::string ini = write(std::string(key) + ".ini", std::string("[Skin]\n") + key + " = junk.dat\n");
        Skin s(ini.c_str());
        EXPECT_EQ(s.error(), Error::FILE_LOAD) << key;
        expectUsable(s);
    }
    // An empty file is not a datafile either.
    write("empty.dat", "");
    std::string emptyIni = write("e.ini", "[Skin]\nmain_data = empty.dat\n");
    EXPECT_EQ(Skin(emptyIni.c_str()).error(), Error::FILE_LOAD);
}

TEST_P(SkinTest, WidgetTypeSectionsMapToTheirTypes)
{
    std::string ini = write("skin.ini",
                            "[BUTTON]\nfont2 = 3\nf_col1 = 1,2,3\ns_col4 = 4 5 6\n"
                            "[TEXT]\nf_col2 = 9,9,9\nfont4 = 5\n"
                            "[WINDOW]\ns_col1 = 0,0,1\n"
                            "[TAB]\nf_col3 = -1\n");
    Skin skin(ini.c_str());
    ASSERT_EQ(skin.error(), Error::NONE);
    EXPECT_EQ(skin.fontIndex(Skin::TYPE_BUTTON, Skin::STATE_SELECTED), 3);
    EXPECT_EQ(skin.fontIndex(Skin::TYPE_BUTTON, Skin::STATE_NORMAL), 0);
    EXPECT_EQ(skin.textColor(Skin::TYPE_BUTTON, Skin::STATE_NORMAL), makecol(1, 2, 3));
    EXPECT_EQ(skin.shadowColor(Skin::TYPE_BUTTON, Skin::STATE_FOCUSED), makecol(4, 5, 6));
    EXPECT_EQ(skin.textColor(Skin::TYPE_TEXT, Skin::STATE_SELECTED), makecol(9, 9, 9));
    EXPECT_EQ(skin.fontIndex(Skin::TYPE_TEXT, Skin::STATE_FOCUSED), 5);
    EXPECT_EQ(skin.shadowColor(Skin::TYPE_WINDOW, Skin::STATE_NORMAL), makecol(0, 0, 1));
    EXPECT_EQ(skin.textColor(Skin::TYPE_TAB, Skin::STATE_DISABLED), NO_COLOR);
    // Nothing written: the defaults of a description.
    for (int type : {Skin::TYPE_CHECKBOX, Skin::TYPE_MENU, Skin::TYPE_HYPER}) {
        EXPECT_EQ(skin.textColor(type, Skin::STATE_NORMAL), makecol(0, 0, 0));
        EXPECT_EQ(skin.textColor(type, Skin::STATE_DISABLED), makecol(128, 128, 128));
        EXPECT_EQ(skin.shadowColor(type, Skin::STATE_DISABLED), NO_COLOR);
    }
    // The font of a type and state is that font slot.
    EXPECT_EQ(&skin.typeFont(Skin::TYPE_TEXT, Skin::STATE_FOCUSED), &skin.font(5));
}

TEST_P(SkinTest, ElementSettingsFromAFileUseTheFileDefaults)
{
    std::string ini = write("skin.ini", "[WINDOW]\nexitX = -30\ntextBack = 2\n"
                                        "[BOX]\nfont1 = 2\nf_col2 = 0,0,200\noffY = 4\n"
                                        "[MENU]\ndelay = " + std::string(300, '0') + "120\n"
                                        "[COMBOBOX]\nanimationType = 3\n"
                                        "[MOUSE]\nshadowSize = 9\n");
    Skin skin(ini.c_str());
    ASSERT_EQ(skin.error(), Error::NONE);
    const SkinElements& e = skin.elements();
    EXPECT_EQ(e.boxOffX, 6);
    EXPECT_EQ(e.boxOffY, 4);
    EXPECT_EQ(e.boxBackColor, makecol(222, 222, 222));
    EXPECT_FALSE(e.dottedRect);
    EXPECT_EQ(e.focus, 1);
    EXPECT_EQ(e.windowExitX, -30);
    EXPECT_EQ(e.windowTextBack, 2);
    EXPECT_EQ(e.windowMinX, -56);
    EXPECT_EQ(e.menuDelay, 120);  // numbers are read whole, unlike the settings' first 255 bytes
    EXPECT_EQ(e.comboAnimationType, 3);
    EXPECT_EQ(e.wallpaperStyle, 3);
    // "MOUSE" is read only with a cursor datafile.
    EXPECT_EQ(e.mouseShadowSize, 2);
    EXPECT_EQ(skin.fontIndex(Skin::TYPE_BOX, Skin::STATE_NORMAL), 2);
    EXPECT_EQ(skin.fontIndex(Skin::TYPE_BOX, Skin::STATE_DISABLED), 2);
    EXPECT_EQ(skin.textColor(Skin::TYPE_BOX, Skin::STATE_DISABLED), makecol(0, 0, 200));
    EXPECT_EQ(skin.textColor(Skin::TYPE_BOX, Skin::STATE_NORMAL), makecol(32, 32, 32));
    EXPECT_EQ(skin.shadowColor(Skin::TYPE_BOX, Skin::STATE_NORMAL), NO_COLOR);

    std::string flags = write("flags.ini", "[Skin]\ndottedRect = 5\nfocus = 0\n");
    Skin second(flags.c_str());
    EXPECT_TRUE(second.elements().dottedRect);
    EXPECT_EQ(second.elements().focus, 0);
}

TEST_P(SkinTest, FontsLoadRelativeToTheDescriptionAndFailSilently)
{
    if (!fs::exists(dejaVu))
        GTEST_SKIP() << "no DejaVu font";
    fs::create_directories(dir_ / "skins" / "fonts");
    fs::copy_file(dejaVu, dir_ / "skins" / "fonts" / "sans.ttf");
    std::string ini = write("skins/skin.ini", "[FONT0]\nfile = fonts/sans.ttf\nsize = 14\n"
                                              "[FONT2]\nfile = fonts/missing.ttf\n"
                                              "[FONT5]\nfile = " + std::string(dejaVu) + "\n");
    Skin skin(ini.c_str());
    EXPECT_EQ(skin.error(), Error::NONE);
    EXPECT_TRUE(skin.font(0).isScalable());
    EXPECT_EQ(skin.font(0).size(), 14);
    EXPECT_TRUE(skin.font(2).isBuiltIn());
    EXPECT_TRUE(skin.font(5).isScalable());
    EXPECT_EQ(skin.font(5).size(), 10);
    EXPECT_TRUE(skin.font(1).isBuiltIn());

    // resetToDefault brings the built-in fonts back.
    skin.resetToDefault();
    EXPECT_TRUE(skin.font(0).isBuiltIn());
    EXPECT_TRUE(skin.font(5).isBuiltIn());
}

TEST_P(SkinTest, ReloadRereadsTheFileOrResetsTheBuiltInLook)
{
    std::string ini = write("skin.ini", "[COLORS]\nface = 1,1,1\n");
    Skin skin(ini.c_str());
    EXPECT_EQ(skin.colors().face, makecol(1, 1, 1));
    write("skin.ini", "[COLORS]\nface = 2,2,2\n");
    skin.reload();
    EXPECT_EQ(skin.error(), Error::NONE);
    EXPECT_EQ(skin.colors().face, makecol(2, 2, 2));
    EXPECT_EQ(skin.fileName(), ini);

    Skin builtIn("default");
    builtIn.colors().face = makecol(3, 3, 3);
    builtIn.bitmap(Skin::BUTTON).release();
    builtIn.reload();
    expectBuiltInColours(builtIn);
    expectUsable(builtIn);
}

TEST_P(SkinTest, UnloadAllEmptiesEverySlot)
{
    Skin skin("default");
    skin.unloadAll();
    for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot)
        EXPECT_TRUE(skin.bitmap(slot).empty());
    for (int slot = 0; slot < Skin::NAMED_CURSORS; ++slot)
        EXPECT_TRUE(skin.cursor(slot).bitmap().empty());
    for (int slot = 0; slot < Skin::NAMED_SAMPLES; ++slot)
        EXPECT_EQ(skin.sample(slot).get(), nullptr);
    skin.resetToDefault();
    expectUsable(skin);
}

TEST_P(SkinTest, OutOfRangeSlotsNeverReachOutsideTheSkin)
{
    Skin skin("default");
    EXPECT_EQ(&skin.bitmap(-1), &skin.bitmap(0));
    EXPECT_EQ(&skin.bitmap(Skin::BITMAP_SLOTS), &skin.bitmap(0));
    EXPECT_EQ(&skin.font(64), &skin.font(0));
    EXPECT_EQ(&skin.cursor(-7), &skin.cursor(0));
    EXPECT_EQ(&skin.sample(1 << 20), &skin.sample(0));
    EXPECT_EQ(skin.textColor(99, -4), skin.textColor(Skin::TYPE_BOX, Skin::STATE_NORMAL));
    skin.setFontIndex(Skin::TYPE_BUTTON, Skin::STATE_NORMAL, 500);
    EXPECT_EQ(&skin.typeFont(Skin::TYPE_BUTTON, Skin::STATE_NORMAL), &skin.font(0));
    // Sound is not installed: playing is harmless, empty slots are skipped.
    skin.playSample(-1);
    skin.playSample(Skin::SAMPLE_SLOTS);
    skin.playSample(Skin::SAMPLE_ACTIVATE);
    skin.playSample(100);
}

TEST_P(SkinTest, LoadingLeavesTheCurrentConfigurationAndTheFileAlone)
{
    std::string own = write("own.cfg", "[mine]\nvalue = 42\n");
    push_config_state();
    set_config_file(own.c_str());
    std::string text = "[COLORS]\nface = 4,4,4\n";
    std::string ini = write("skin.ini", text);
    Skin skin(ini.c_str());
    EXPECT_EQ(skin.colors().face, makecol(4, 4, 4));
    EXPECT_EQ(get_config_int("mine", "value", 0), 42);
    pop_config_state();
    std::ifstream in(ini, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), text);
}

TEST_P(SkinTest, GlobalSkinIsReplacedAndOwned)
{
    Skin* first = new Skin("default");
    setGlobalSkin(first);
    EXPECT_EQ(globalSkin(), first);
    setGlobalSkin(first);  // the same one stays
    EXPECT_EQ(globalSkin(), first);
    Skin* second = new Skin("default");
    setGlobalSkin(second);  // the first is destroyed (the sanitizer sees a leak otherwise)
    EXPECT_EQ(globalSkin(), second);
    setGlobalSkin(nullptr);
    EXPECT_EQ(globalSkin(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Depths, SkinTest, ::testing::Values(16, 32),
                         [](const auto& info) { return std::to_string(info.param) + "bpp"; });

}  // namespace
