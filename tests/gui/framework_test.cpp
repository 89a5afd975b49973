// Tests of gui/Error.cpp, gui/Framework.cpp and gui/BackgroundThread.cpp:
// error texts, graphics mode changes on fake drivers, the background thread,
// and one real window under Xvfb.
#include <allegro.h>
#include <allegro/platform/aintunix.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "gui/BackgroundThread.h"
#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Error.h"
#include "gui/Framework.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

namespace {

// ---- Error ----

TEST(Error, EveryCodeHasItsOwnLineOfText)
{
    std::set<std::string> seen;
    for (int code = 0; code <= 16; ++code) {
        std::string text = Error(code).message();
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '\n') << code;
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 17u);
    EXPECT_STREQ(Error().message(), "No error.\n");
    EXPECT_STREQ(Error(Error::SOUND).message(), "Error: installing sound module!\n");
    EXPECT_STREQ(Error(13).message(), "Error: couldn't load file!\n");
    EXPECT_STREQ(Error(16).message(), "An unknown error occured!\n");
}

TEST(Error, CodesOutsideTheTableReadAsUnknown)
{
    EXPECT_STREQ(Error(17).message(), Error(Error::UNKNOWN).message());
    EXPECT_STREQ(Error(-3).message(), Error(Error::UNKNOWN).message());
    EXPECT_TRUE(Error(17).isFatal());
}

TEST(Error, OnlyNoErrorAndSoundAreNotFatal)
{
    for (int code = 0; code <= 16; ++code)
        EXPECT_EQ(Error(code).isFatal(), code != 0 && code != 6) << code;
}

TEST(Error, EqualityComparesCodes)
{
    EXPECT_EQ(Error(12), Error(Error::FILE_NOT_FOUND));
    EXPECT_NE(Error(12), Error(13));
    EXPECT_TRUE(Error() == Error::NONE);
    EXPECT_FALSE(Error(5) != Error(5));
}

// ---- mode change ----

struct ModeCall {
    int driver, width, height, depth;
};

// Sets modes on paper: every depth in `working` succeeds.
class FakeModes : public ModeSetter {
public:
    std::set<int> working{8, 15, 16, 24, 32};
    int desktop = 24;
    std::vector<ModeCall> calls;
    ModeCall current{0, 0, 0, 0};
    int videoMoves = 0;
    int backgroundCalls = 0;

    int desktopColorDepth() override { return desktop; }
    bool setMode(int driver, int width, int height, int depth) override
    {
        calls.push_back({driver, width, height, depth});
        if (!working.count(depth))
            return false;
        current = {driver, width, height, depth};
        return true;
    }
    void currentMode(int& driver, int& width, int& height, int& depth) override
    {
        driver = current.driver;
        width = current.width;
        height = current.height;
        depth = current.depth;
    }
    void moveScreenToVideoMemory() override { ++videoMoves; }
    void keepRunningInBackground() override { ++backgroundCalls; }
};

struct HookCall {
    Dialog* dialog;
    bool changed;
};
std::vector<HookCall> hookCalls;
void recordHook(Dialog* dialog, bool changed)
{
    hookCalls.push_back({dialog, changed});
}

class ModeChangeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static bool started = false;
        if (!started) {
            ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, std::atexit), 0);
            started = true;
        }
    }
    void SetUp() override
    {
        saved_ = theSettings;
        theSettings = Settings();
        hookCalls.clear();
        setDialogModeHook(recordHook);
        set_color_depth(16);
    }
    void TearDown() override
    {
        theSettings = saved_;
        setDialogModeHook(nullptr);
    }

    Settings saved_;
    FakeModes modes;
    // Any non-null pointer stands for a running dialog: the hook only passes it on.
    Dialog* dialog = reinterpret_cast<Dialog*>(&modes);
};

TEST_F(ModeChangeTest, AutodetectingDriversFollowFullscreen)
{
    for (int mode : {0, 1, 2, -5}) {
        modes.calls.clear();
        EXPECT_EQ(changeResolutionWith(modes, mode, false, 800, 600, 16, nullptr), Error::NONE);
        ASSERT_EQ(modes.calls.size(), 1u);
        EXPECT_EQ(modes.calls[0].driver, GFX_AUTODETECT_WINDOWED) << mode;
        modes.calls.clear();
        EXPECT_EQ(changeResolutionWith(modes, mode, true, 800, 600, 16, nullptr), Error::NONE);
        EXPECT_EQ(modes.calls[0].driver, GFX_AUTODETECT_FULLSCREEN) << mode;
    }
    // A specific driver is used as it is, whatever fullscreen says.
    modes.calls.clear();
    int xwin = AL_ID('X', 'W', 'I', 'N');
    EXPECT_EQ(changeResolutionWith(modes, xwin, true, 800, 600, 16, nullptr), Error::NONE);
    EXPECT_EQ(modes.calls[0].driver, xwin);
    EXPECT_EQ(theSettings.gfxMode, xwin);
}

TEST_F(ModeChangeTest, DepthBelowOneTakesTheDesktopsOr16)
{
    modes.desktop = 24;
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, 0, nullptr), Error::NONE);
    EXPECT_EQ(modes.calls.back().depth, 24);
    EXPECT_EQ(theSettings.colorDepth, 24);
    modes.desktop = 0;
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, -1, nullptr), Error::NONE);
    EXPECT_EQ(modes.calls.back().depth, 16);
    modes.desktop = -1;
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, 0, nullptr), Error::NONE);
    EXPECT_EQ(theSettings.colorDepth, 16);
}

TEST_F(ModeChangeTest, AlternativeDepths)
{
    EXPECT_EQ(alternativeColorDepth(16), 15);
    EXPECT_EQ(alternativeColorDepth(24), 32);
    EXPECT_EQ(alternativeColorDepth(32), 24);
    EXPECT_EQ(alternativeColorDepth(8), 0);
    EXPECT_EQ(alternativeColorDepth(15), 16);
    EXPECT_EQ(alternativeColorDepth(12), 16);
}

TEST_F(ModeChangeTest, FailedDepthIsRetriedOnceAndTheModeSetIsStored)
{
    modes.working = {24};
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 1024, 768, 32, nullptr), Error::NONE);
    ASSERT_EQ(modes.calls.size(), 2u);
    EXPECT_EQ(modes.calls[0].depth, 32);
    EXPECT_EQ(modes.calls[1].depth, 24);
    EXPECT_EQ(theSettings.colorDepth, 24);
    EXPECT_EQ(theSettings.screenWidth, 1024);
    EXPECT_EQ(theSettings.screenHeight, 768);
    EXPECT_EQ(theSettings.gfxMode, GFX_AUTODETECT_WINDOWED);
}

TEST_F(ModeChangeTest, TwoFailuresGiveFiveAndLeaveTheSettings)
{
    modes.working = {8};
    std::string before = std::to_string(theSettings.colorDepth) + "/" +
                         std::to_string(theSettings.screenWidth) + "/" +
                         std::to_string(theSettings.gfxMode);
    Error e = changeResolutionWith(modes, 0, true, 800, 600, 16, nullptr);
    EXPECT_EQ(e, Error::GFX_MODE);
    EXPECT_EQ(modes.calls.size(), 2u);  // 16, then 15; no restore without a dialog
    EXPECT_EQ(modes.calls[1].depth, 15);
    EXPECT_EQ(std::to_string(theSettings.colorDepth) + "/" + std::to_string(theSettings.screenWidth) +
                  "/" + std::to_string(theSettings.gfxMode),
              before);
    EXPECT_TRUE(hookCalls.empty());
}

TEST_F(ModeChangeTest, FailureWithADialogRestoresThePreviousMode)
{
    theSettings.gfxMode = AL_ID('X', 'W', 'I', 'N');
    theSettings.screenWidth = 800;
    theSettings.screenHeight = 600;
    theSettings.colorDepth = 16;
    modes.working = {16};
    Error e = changeResolutionWith(modes, 0, false, 1280, 1024, 32, dialog);
    EXPECT_EQ(e, Error::GFX_MODE);
    ASSERT_EQ(modes.calls.size(), 3u);
    EXPECT_EQ(modes.calls[2].driver, AL_ID('X', 'W', 'I', 'N'));
    EXPECT_EQ(modes.calls[2].width, 800);
    EXPECT_EQ(modes.calls[2].height, 600);
    EXPECT_EQ(modes.calls[2].depth, 16);
    ASSERT_EQ(hookCalls.size(), 1u);
    EXPECT_EQ(hookCalls[0].dialog, dialog);
    EXPECT_FALSE(hookCalls[0].changed);
}

TEST_F(ModeChangeTest, SuccessAdaptsARunningDialog)
{
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 800, 600, 16, dialog), Error::NONE);
    ASSERT_EQ(hookCalls.size(), 1u);
    EXPECT_TRUE(hookCalls[0].changed);
    hookCalls.clear();
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 800, 600, 16, nullptr), Error::NONE);
    EXPECT_TRUE(hookCalls.empty());
}

TEST_F(ModeChangeTest, EightBitsSwitchTheCursorShadowOff)
{
    theSettings.mouseShadow = true;
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, 16, nullptr), Error::NONE);
    EXPECT_TRUE(theSettings.mouseShadow);
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, 8, nullptr), Error::NONE);
    EXPECT_FALSE(theSettings.mouseShadow);
    // Another depth afterwards leaves it as it is.
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, 32, nullptr), Error::NONE);
    EXPECT_FALSE(theSettings.mouseShadow);
}

TEST_F(ModeChangeTest, VideoMemoryAndBackgroundFollowTheSettings)
{
    theSettings.useVideoMemory = false;
    theSettings.runInBackground = false;
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, 16, nullptr), Error::NONE);
    EXPECT_EQ(modes.videoMoves, 0);
    EXPECT_EQ(modes.backgroundCalls, 0);
    theSettings.useVideoMemory = true;
    theSettings.runInBackground = true;
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, 16, nullptr), Error::NONE);
    EXPECT_EQ(modes.videoMoves, 1);
    EXPECT_EQ(modes.backgroundCalls, 1);
    // Nothing of it after a failure.
    modes.working.clear();
    EXPECT_EQ(changeResolutionWith(modes, 0, false, 640, 480, 16, nullptr), Error::GFX_MODE);
    EXPECT_EQ(modes.videoMoves, 1);
    EXPECT_EQ(modes.backgroundCalls, 1);
}

TEST_F(ModeChangeTest, NamedColoursAreRecomputedForTheNewDepth)
{
    for (int depth : {16, 32}) {
        set_color_depth(depth);
        ASSERT_EQ(changeResolutionWith(modes, 0, false, 640, 480, depth, nullptr), Error::NONE);
        struct {
            Color c;
            int r, g, b;
        } expected[] = {
            {theColors.white, 255, 255, 255}, {theColors.black, 0, 0, 0},
            {theColors.red, 255, 0, 0},       {theColors.blue, 0, 0, 255},
            {theColors.orange, 255, 170, 0},  {theColors.violet, 144, 0, 168},
            {theColors.darkGrey, 96, 96, 96}, {theColors.darkBlue, 0, 0, 128},
        };
        for (const auto& e : expected) {
            EXPECT_EQ(e.c, makecol(e.r, e.g, e.b)) << depth;
            // 16 bits keep 5 or 6 bits of each component.
            EXPECT_NEAR(getr(e.c), e.r, 8);
            EXPECT_NEAR(getg(e.c), e.g, 8);
            EXPECT_NEAR(getb(e.c), e.b, 8);
        }
    }
}

// ---- the background thread ----

// Allegro's background manager as the framework replaces it, driven without
// X: a registered function runs when woken, never while disabled, and a
// second one (a sound driver's mixer) gets a steady beat without wake-ups.
TEST(BackgroundThread, RunsWhenWokenNeverWhileDisabledAndSteadilyForSound)
{
    using namespace std::chrono_literals;
    static std::atomic<int> runs{0}, mixes{0};
    const bg_func input = [](int) { ++runs; };
    const bg_func mixer = [](int) { ++mixes; };
    const auto eventually = [](auto done) {
        for (int i = 0; i < 400 && !done(); ++i)
            std::this_thread::sleep_for(5ms);
        return done();
    };
    BackgroundThread::install();
    bg_manager& m = _bg_man_pthreads;
    ASSERT_EQ(m.init(), 0);
    ASSERT_EQ(m.register_func(input), 0);

    BackgroundThread::wake();
    EXPECT_TRUE(eventually([] { return runs > 0; }));

    m.disable_interrupts();
    EXPECT_TRUE(m.interrupts_disabled());
    const int before = runs;
    BackgroundThread::wake();
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * BackgroundThread::idleBeatMs));
    EXPECT_EQ(runs, before);
    m.enable_interrupts();
    EXPECT_TRUE(eventually([&] { return runs > before; }));

    ASSERT_EQ(m.register_func(mixer), 0);
    std::this_thread::sleep_for(500ms);
    // About 50 at the steady beat, 5 at the idle one.
    EXPECT_GT(mixes, 15);
    m.unregister_func(mixer);
    m.unregister_func(input);
    m.exit();
}

}  // namespace

// ---- start-up in a real window ----
// Runs only under the X server that framework_xvfb_test.sh starts (it sets
// VASKUR_XVFB_DIR to a folder for the settings file); Allegro cannot be
// started twice in one process, so the script runs this test on its own.

namespace {

class RealWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* dir = std::getenv("VASKUR_XVFB_DIR");
        if (!dir || !std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs the X server of framework_xvfb_test.sh";
        dir_ = dir;
    }
    std::string dir_;
};

TEST_F(RealWindowTest, InstallFrameworkOpensTheWindowOfTheSettings)
{
    std::string cfg = dir_ + "/gui.cfg";
    FILE* f = std::fopen(cfg.c_str(), "w");
    ASSERT_NE(f, nullptr);
    // An unknown sound driver: sound fails, start-up goes on.
    std::fputs("[VERudeV]\nscreenWidth = 800\nscreenHeight = 600\ncolorDepth = 32\n"
               "fullscreen = 0\nsoundDriver = XXXX\nmidiDriver = XXXX\nkeyDelay = -1\n"
               "skinPath = default\n",
               f);
    std::fclose(f);

    Error e = installFramework(cfg.c_str());
    ASSERT_EQ(e, Error::NONE) << e.message();
    EXPECT_EQ(theSettings.fileName, cfg);
    EXPECT_EQ(SCREEN_W, 800);
    EXPECT_EQ(SCREEN_H, 600);
    EXPECT_EQ(theSettings.screenWidth, 800);
    EXPECT_EQ(theSettings.colorDepth, bitmap_color_depth(screen));
    EXPECT_EQ(theSettings.gfxMode, gfx_driver->id);
    EXPECT_TRUE(theSettings.mouseShadow);
    ASSERT_NE(globalSkin(), nullptr);
    EXPECT_EQ(globalSkin()->error(), Error::NONE);
    EXPECT_EQ(globalSkin()->fileName(), "");
    EXPECT_EQ(theColors.white, makecol(255, 255, 255));

    // Another mode: the settings follow, and so do the named colours.
    ASSERT_EQ(changeResolution(0, false, 640, 480, 16, nullptr), Error::NONE);
    EXPECT_EQ(SCREEN_W, 640);
    EXPECT_EQ(theSettings.screenWidth, 640);
    EXPECT_EQ(theSettings.colorDepth, 16);
    EXPECT_EQ(theColors.red, makecol(255, 0, 0));
    EXPECT_EQ(getr(theColors.red), 255);
    EXPECT_TRUE(theSettings.mouseShadow);

    // At 8 bits the cursor shadow goes off.
    ASSERT_EQ(changeResolution(0, false, 640, 480, 8, nullptr), Error::NONE);
    EXPECT_EQ(theSettings.colorDepth, 8);
    EXPECT_FALSE(theSettings.mouseShadow);

    // The skin rebuilt for the new mode works in it.
    Skin skin("default");
    EXPECT_EQ(bitmap_color_depth(skin.bitmap(Skin::BUTTON).bitmap()), 8);
}

// Allegro frees all video bitmaps when it sets a mode; the running GUI must
// not free them again (the sanitizers or valgrind catch a double free).
TEST_F(RealWindowTest, ModeChangeUnderARunningDialogWithVideoMemory)
{
    ASSERT_NE(gfx_driver, nullptr) << "runs after the start-up test";
    ASSERT_EQ(changeResolution(0, false, 640, 480, 16, nullptr), Error::NONE);
    // Switched on only now, so that the screen itself stays in place and the
    // double buffer gets the video memory the X driver has (one screen).
    theSettings.useVideoMemory = true;
    theSettings.screenUpdateMethod = 0;
    Dialog d;
    Widget w;
    w.shape(10, 10, 50, 20);
    d.add(&w);
    d.sendMessage(MSG_START);
    ASSERT_NE(ScreenUpdate::current(), nullptr);
    ASSERT_TRUE(is_video_bitmap(ScreenUpdate::current()->target()));

    ASSERT_EQ(changeResolution(0, false, 800, 600, 16, &d), Error::NONE);
    ASSERT_NE(ScreenUpdate::current()->target(), nullptr);
    EXPECT_EQ(ScreenUpdate::current()->target()->w, 800);
    EXPECT_EQ(d.rect(), Rect(0, 0, 800, 600));
    d.drawingPass();
    ScreenUpdate::current()->show();
    d.sendMessage(MSG_END);
    theSettings.useVideoMemory = false;
}

}  // namespace
