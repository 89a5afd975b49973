// Tests of gui/Settings.cpp (reading every key, safe configuration text)
// and of the colour texts of gui/Color.cpp.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gui/Color.h"
#include "gui/Settings.h"

#include "tests/support/headless.h"
#include "tests/support/temp_files.h"

namespace fs = std::filesystem;

namespace {

const auto* const env = testkit::headlessAllegro();

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir_.empty()); }

    std::string write(const std::string& name, const std::string& text)
    {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }

    testkit::TempDir tmp_{"vaskur-settings"};
    fs::path dir_{tmp_.path()};
};

// Every field as text, so two records can be compared as a whole.
std::string describe(const Settings& s)
{
    std::ostringstream o;
    o << s.skinPath << '|' << s.screenWidth << '|' << s.screenHeight << '|' << s.refreshRate << '|'
      << s.colorDepth << '|' << s.gfxMode << '|' << s.fullscreen << '|' << s.useVideoMemory << '|'
      << s.fullResize << '|' << s.fullDrag << '|' << s.logicFrameRate << '|'
      << s.unlimitedFrameRate << '|' << s.showFrameRate << '|' << s.antialiasing << '|'
      << s.guiSound << '|' << s.soundVolume << '|' << s.soundDriver << '|' << s.midiDriver << '|'
      << s.showMouse << '|' << s.mouseShadow << '|' << s.doubleClickDelay << '|' << s.mouseSpeed
      << '|' << s.useKeyboard << '|' << s.keyDelay << '|' << s.keyRepeat << '|' << s.useJoystick
      << '|' << s.screenUpdateMethod << '|' << s.vsync << '|' << s.yield << '|'
      << s.runInBackground << '|' << s.maxFrameSkip;
    return o.str();
}

TEST_F(SettingsTest, FileWithoutTheSectionChangesNothingButTheFileName)
{
    std::string file = write("gui.cfg",
                             "[other]\nscreenWidth = 1024\ncolorDepth = 32\n"
                             "screenWidth = 800\n\n[VERudeVx]\nfullscreen = 0\n");
    Settings s;
    std::string before = describe(s);
    s.load(file.c_str());
    EXPECT_EQ(describe(s), before);
    EXPECT_EQ(s.fileName, file);

    // A file that does not exist reads the same way.
    Settings t;
    t.load((dir_ / "absent.cfg").string().c_str());
    EXPECT_EQ(describe(t), before);
    EXPECT_FALSE(fs::exists(dir_ / "absent.cfg"));
}

TEST_F(SettingsTest, FoldersAndDevicesReadAsEmptyFiles)
{
    Settings s;
    std::string before = describe(s);
    s.load(dir_.string().c_str());
    EXPECT_EQ(describe(s), before);
    s.load("/dev/null");
    EXPECT_EQ(describe(s), before);
}

TEST_F(SettingsTest, NullNameDoesNothing)
{
    Settings s;
    s.screenWidth = 1234;
    s.load(nullptr);
    EXPECT_EQ(s.fileName, "allegro.cfg");
    EXPECT_EQ(s.screenWidth, 1234);
}

TEST_F(SettingsTest, EveryKeyIsRead)
{
    std::string file = write("gui.cfg",
                             "[VERudeV]\n"
                             "skinPath = skins/kujundus.ini\n"
                             "screenWidth = 800\nscreenHeight = 600\nrefreshRate = 75\n"
                             "colorDepth = 32\ngfxMode = 0\nfullscreen = 0\n"
                             "useVideoMemory = 1\nfullResize = 0\nfullDrag = 0\n"
                             "logicFrameRate = 100\nunlimitedFrameRate = 7\nshowFrameRate = 1\n"
                             "antialiasing = 0\nguiSound = 0\nsoundVolume = 128\n"
                             "soundDriver = 0\nmidiDriver = 0\nshowMouse = 0\nmouseShadow = 0\n"
                             "doubleClickDelay = 350\nmouseSpeed = 4\nuseKeyboard = 0\n"
                             "keyDelay = 250\nkeyRepeat = 33\nuseJoystick = 1\n"
                             "screenUpdateMethod = 7\nvsync = 1\nyield = 0\n"
                             "runInBackground = 0\nmaxFrameSkip = 9\n");
    Settings s;
    s.load(file.c_str());
    EXPECT_EQ(s.skinPath, "skins/kujundus.ini");
    EXPECT_EQ(s.screenWidth, 800);
    EXPECT_EQ(s.screenHeight, 600);
    EXPECT_EQ(s.refreshRate, 75);
    EXPECT_EQ(s.colorDepth, 32);
    EXPECT_EQ(s.gfxMode, 0);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_TRUE(s.useVideoMemory);
    EXPECT_FALSE(s.fullResize);
    EXPECT_FALSE(s.fullDrag);
    EXPECT_EQ(s.logicFrameRate, 100);
    EXPECT_TRUE(s.unlimitedFrameRate);  // any value other than 0
    EXPECT_TRUE(s.showFrameRate);
    EXPECT_FALSE(s.antialiasing);
    EXPECT_FALSE(s.guiSound);
    EXPECT_EQ(s.soundVolume, 128);
    EXPECT_EQ(s.soundDriver, 0);
    EXPECT_EQ(s.midiDriver, 0);
    EXPECT_FALSE(s.showMouse);
    EXPECT_FALSE(s.mouseShadow);
    EXPECT_EQ(s.doubleClickDelay, 350);
    EXPECT_EQ(s.mouseSpeed, 4);
    EXPECT_FALSE(s.useKeyboard);
    EXPECT_EQ(s.keyDelay, 250);
    EXPECT_EQ(s.keyRepeat, 33);
    EXPECT_TRUE(s.useJoystick);
    EXPECT_EQ(s.screenUpdateMethod, 7);
    EXPECT_TRUE(s.vsync);
    EXPECT_FALSE(s.yield);
    EXPECT_FALSE(s.runInBackground);
    EXPECT_EQ(s.maxFrameSkip, 9);
}

TEST_F(SettingsTest, MissingKeysKeepTheCurrentValueNotTheInitialOne)
{
    std::string file = write("gui.cfg", "[VERudeV]\nscreenWidth = 800\nkeyDelay = -1\n");
    Settings s;
    s.screenHeight = 999;
    s.fullscreen = false;
    s.skinPath = "mine.ini";
    s.load(file.c_str());
    EXPECT_EQ(s.screenWidth, 800);
    EXPECT_EQ(s.screenHeight, 999);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_EQ(s.skinPath, "mine.ini");
    EXPECT_EQ(s.keyDelay, -1);
    EXPECT_EQ(s.keyRepeat, 80);
}

TEST_F(SettingsTest, DriverIdentifiersAsNumbersOrFourCharacters)
{
    std::string file = write("gui.cfg",
                             "[VERudeV]\ngfxMode = XWIN\nsoundDriver = ALSA\nmidiDriver = 7\n");
    Settings s;
    s.load(file.c_str());
    EXPECT_EQ(s.gfxMode, AL_ID('X', 'W', 'I', 'N'));
    EXPECT_EQ(s.soundDriver, AL_ID('A', 'L', 'S', 'A'));
    EXPECT_EQ(s.midiDriver, 7);

    // Fewer than four characters are padded with spaces.
    std::string shortId = write("short.cfg", "[VERudeV]\nsoundDriver = OSS\nmidiDriver = -1\n");
    Settings t;
    t.soundDriver = 5;
    t.midiDriver = 5;
    t.load(shortId.c_str());
    EXPECT_EQ(t.soundDriver, AL_ID('O', 'S', 'S', ' '));
    EXPECT_EQ(t.midiDriver, -1);
}

TEST_F(SettingsTest, IntegersAreDecimal)
{
    std::string file = write("gui.cfg", "[VERudeV]\nscreenWidth = 0800\nsoundVolume = 010\n"
                                        "logicFrameRate = 99999999999999\n"
                                        "screenHeight = " + std::string(300, '0') + "7\n");
    Settings s;
    s.load(file.c_str());
    EXPECT_EQ(s.screenWidth, 800);
    EXPECT_EQ(s.soundVolume, 10);
    EXPECT_EQ(s.logicFrameRate, 2147483647);  // saturates instead of wrapping
    // Like every value, a number is read from its first 255 bytes only (the
    // skin description reads its numbers whole).
    EXPECT_EQ(s.screenHeight, 0);
}

TEST_F(SettingsTest, ValuesThatCannotBeUsedFallBackToTheInitialOnesAndAreNamed)
{
    std::string file = write("gui.cfg", "[VERudeV]\nscreenWidth = abc\nscreenHeight = 5000\ncolorDepth = 12\n"
                                        "logicFrameRate = 0\nrefreshRate = -60\nkeyDelay = -1\nkeyRepeat = -3\n"
                                        "soundVolume = 300\ndoubleClickDelay = 250\n");
    Settings s;
    s.load(file.c_str());
    s.checkValues(1024, 768);
    const Settings initial;
    EXPECT_EQ(s.screenWidth, initial.screenWidth);
    EXPECT_EQ(s.screenHeight, initial.screenHeight) << "taller than the screen";
    EXPECT_EQ(s.colorDepth, initial.colorDepth);
    EXPECT_EQ(s.logicFrameRate, initial.logicFrameRate);
    EXPECT_EQ(s.refreshRate, initial.refreshRate);
    EXPECT_EQ(s.keyRepeat, initial.keyRepeat);
    EXPECT_EQ(s.soundVolume, initial.soundVolume);
    EXPECT_EQ(s.keyDelay, -1) << "-1 leaves the repeat rate alone";
    EXPECT_EQ(s.doubleClickDelay, 250);
    ASSERT_EQ(s.replaced.size(), 7u);
    EXPECT_EQ(s.replaced[0], file + ": screenWidth = abc cannot be used; 640 is used instead");
    EXPECT_EQ(s.replaced[2], file + ": refreshRate = -60 cannot be used; 60 is used instead");

    // The desktop's depth (below 1) and sizes within the screen stand.
    std::string good = write("good.cfg", "[VERudeV]\nscreenWidth = 1024\nscreenHeight = 480\ncolorDepth = 0\n");
    Settings t;
    t.load(good.c_str());
    t.checkValues(1024, 768);
    EXPECT_TRUE(t.replaced.empty());
    EXPECT_EQ(t.colorDepth, 0);
}

TEST_F(SettingsTest, LongSkinPathIsCut)
{
    std::string longPath(400, 'k');
    std::string file = write("gui.cfg", "[VERudeV]\nskinPath = " + longPath + "\n");
    Settings s;
    s.load(file.c_str());
    EXPECT_EQ(s.skinPath, longPath.substr(0, 255));
}

TEST_F(SettingsTest, ReadingWritesNothingAndRestoresTheCurrentConfiguration)
{
    std::string own = write("own.cfg", "[mine]\nvalue = 42\n");
    push_config_state();
    set_config_file(own.c_str());
    std::string text = "[VERudeV]\nscreenWidth = 800\n";
    std::string file = write("gui.cfg", text);
    auto stamp = fs::last_write_time(file);
    Settings s;
    s.load(file.c_str());
    EXPECT_EQ(s.screenWidth, 800);
    // The program's own configuration is still the current one.
    EXPECT_EQ(get_config_int("mine", "value", 0), 42);
    EXPECT_EQ(get_config_int("VERudeV", "screenWidth", 0), 0);
    std::ifstream in(file, std::ios::binary);
    std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, text);
    EXPECT_EQ(fs::last_write_time(file), stamp);
    pop_config_state();
}

TEST_F(SettingsTest, BytesThatAreNotUtf8NeitherHangNorHideTheOtherKeys)
{
    ASSERT_EQ(get_uformat(), U_UTF8);
    // Allegro's own parser loops forever on this sequence in UTF-8 mode.
    std::string file = write("gui.cfg", std::string("[VERudeV]\nscreenWidth = 800\n"
                                                    "junk = \xfd\xb4\xba\x98\xbf\xaa\n"
                                                    "skinPath = a\xe9" "b\n"
                                                    "screenHeight = 600\n"));
    Settings s;
    s.load(file.c_str());
    EXPECT_EQ(s.screenWidth, 800);
    EXPECT_EQ(s.screenHeight, 600);
    EXPECT_EQ(s.skinPath, "a?b");
}

TEST_F(SettingsTest, LongLinesWithWideCharactersAreReadSafely)
{
    ASSERT_EQ(get_uformat(), U_UTF8);
    // Allegro overruns its line buffer when such a character crosses its end.
    std::string wide;
    for (int i = 0; i < 150; ++i)
        wide += "\xc3\xa9";
    std::string file = write("gui.cfg", "[VERudeV]\nskinPath = " + std::string(247, 'f') +
                                            "\xc3\xa9\xe2\x82\xac\n"
                                            "junk = " + wide + "\nscreenWidth = 800\n"
                                            "short = \xc3\xa9\n");
    Settings s;
    s.load(file.c_str());
    EXPECT_EQ(s.skinPath, (std::string(247, 'f') + "??").substr(0, 255));
    EXPECT_EQ(s.screenWidth, 800);
}

TEST_F(SettingsTest, Utf8TextIsReadAsEightBitText)
{
    set_uformat(U_ASCII);
    std::string file = write("gui.cfg", "[VERudeV]\nskinPath = V\xc3\x84LJU/kujundus.ini\n");
    Settings s;
    s.load(file.c_str());
    set_uformat(U_UTF8);
    EXPECT_EQ(s.skinPath, "V\xc4LJU/kujundus.ini");
}

// Colour texts as written in settings and skin files.
TEST(ColorText, ThreeWaysOfWritingTheSameColour)
{
    ColorRgb commas = parseColorText("0,0,255");
    EXPECT_EQ(commas, (ColorRgb{0, 0, 255, false}));
    EXPECT_EQ(parseColorText("0 0 255"), commas);
    EXPECT_EQ(parseColorText("0;0;255"), commas);
    EXPECT_EQ(parseColorText("  0 ,\t0 ; 255  "), commas);
    EXPECT_EQ(parseColorText(" 16, 16, 16"), (ColorRgb{16, 16, 16, false}));
}

TEST(ColorText, MissingComponentsAreZeroAndMinusOneIsNone)
{
    EXPECT_EQ(parseColorText("255"), (ColorRgb{255, 0, 0, false}));
    EXPECT_EQ(parseColorText("10,20"), (ColorRgb{10, 20, 0, false}));
    EXPECT_EQ(parseColorText(""), (ColorRgb{0, 0, 0, false}));
    EXPECT_EQ(parseColorText("junk"), (ColorRgb{0, 0, 0, false}));
    EXPECT_TRUE(parseColorText("-1").none);
    EXPECT_TRUE(parseColorText(" -1 ").none);
    EXPECT_FALSE(parseColorText("1,-1,0").none);
    // Out of range components are clamped, long numbers do not overflow.
    EXPECT_EQ(parseColorText("300,-5,99999999999999999999"), (ColorRgb{255, 0, 255, false}));
    // Text after the third number is ignored.
    EXPECT_EQ(parseColorText("1,2,3,4"), (ColorRgb{1, 2, 3, false}));
    EXPECT_EQ(parseColorText("7,x,9"), (ColorRgb{7, 0, 0, false}));
}

class ColorDepthTest : public SettingsTest, public ::testing::WithParamInterface<int> {};

TEST_P(ColorDepthTest, ColoursAreMadeForTheCurrentDepth)
{
    set_color_depth(GetParam());
    Color c = colorFromText("0 0 255");
    EXPECT_EQ(c, makecol(0, 0, 255));
    EXPECT_EQ(getr(c), 0);
    EXPECT_EQ(getb(c), 255);
    Color red = colorFromText("255");
    EXPECT_EQ(getr(red), 255);
    EXPECT_EQ(getg(red), 0);
    EXPECT_EQ(colorFromText("-1"), NO_COLOR);
}

INSTANTIATE_TEST_SUITE_P(Depths, ColorDepthTest, ::testing::Values(16, 32));

}  // namespace
