// Starting Allegro and its drivers from the settings, choosing a graphics
// mode (with a second colour depth to try), and the named colours.
#include "gui/Framework.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "gui/BackgroundThread.h"
#include "gui/Bitmap.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"
#include "gui/XWindowClass.h"
#include "gui/alfont/alfont.h"

NamedColors theColors;

namespace {

DialogModeHook dialogModeHook = nullptr;

// The video-memory bitmap shown as the screen (useVideoMemory). Allegro
// drops video bitmaps on a mode change, so it is forgotten, not freed, then.
BITMAP* videoScreen = nullptr;

bool isColorDepth(int depth)
{
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

int atExit(void (*function)())
{
    return std::atexit(function);
}

// Allegro frees every video bitmap when it sets a mode, also when setting
// it fails. Whatever the program keeps in video memory (the screen update
// method's buffer or pages, skin bitmaps) is released here first, while it
// is still valid; the running dialog has them made again afterwards.
void releaseVideoMemory()
{
    if (ScreenUpdate* update = ScreenUpdate::current())
        update->destroy();
    Bitmap::releaseVideoBitmaps();
}

}  // namespace

int alternativeColorDepth(int depth)
{
    switch (depth) {
    case 16: return 15;
    case 24: return 32;
    case 32: return 24;
    case 8: return 0;
    default: return 16;
    }
}

int ModeSetter::desktopColorDepth()
{
    return desktop_color_depth();
}

bool ModeSetter::setMode(int driver, int width, int height, int depth)
{
    if (!isColorDepth(depth))
        return false;
    if (videoScreen) {
        Bitmap::removeScreenPage(videoScreen);
        videoScreen = nullptr;
    }
    set_color_depth(depth);
    return set_gfx_mode(driver, width, height, 0, 0) == 0;
}

void ModeSetter::currentMode(int& driver, int& width, int& height, int& depth)
{
    if (gfx_driver)
        driver = gfx_driver->id;
    if (screen) {
        width = SCREEN_W;
        height = SCREEN_H;
        depth = bitmap_color_depth(screen);
    }
}

void ModeSetter::moveScreenToVideoMemory()
{
    if (!screen)
        return;
    BITMAP* page = create_video_bitmap(SCREEN_W, SCREEN_H);
    if (!page)
        return;
    blit(screen, page, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
    if (show_video_bitmap(page) != 0) {
        destroy_bitmap(page);
        return;
    }
    videoScreen = page;
    Bitmap::addScreenPage(page);
}

void ModeSetter::keepRunningInBackground()
{
    set_display_switch_mode(SWITCH_BACKGROUND);
}

void setDialogModeHook(DialogModeHook hook)
{
    dialogModeHook = hook;
}

void updateNamedColors()
{
    theColors.white = makecol(255, 255, 255);
    theColors.black = makecol(0, 0, 0);
    theColors.red = makecol(255, 0, 0);
    theColors.green = makecol(0, 255, 0);
    theColors.blue = makecol(0, 0, 255);
    theColors.cyan = makecol(0, 255, 255);
    theColors.magenta = makecol(255, 0, 255);
    theColors.yellow = makecol(255, 255, 0);
    theColors.darkGrey = makecol(96, 96, 96);
    theColors.grey = makecol(128, 128, 128);
    theColors.lightGrey = makecol(192, 192, 192);
    theColors.orange = makecol(255, 170, 0);
    theColors.brown = makecol(150, 96, 0);
    theColors.violet = makecol(144, 0, 168);
    theColors.darkRed = makecol(128, 0, 0);
    theColors.darkGreen = makecol(0, 128, 0);
    theColors.darkBlue = makecol(0, 0, 128);
}

Error changeResolutionWith(ModeSetter& setter, int gfxMode, bool fullscreen, int width,
                           int height, int colorDepth, Dialog* dialog)
{
    if (gfxMode <= 2)
        gfxMode = fullscreen ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED;
    if (colorDepth < 1) {
        colorDepth = setter.desktopColorDepth();
        if (colorDepth <= 0)
            colorDepth = 16;
    }
    releaseVideoMemory();
    bool ok = setter.setMode(gfxMode, width, height, colorDepth);
    if (!ok) {
        colorDepth = alternativeColorDepth(colorDepth);
        ok = setter.setMode(gfxMode, width, height, colorDepth);
    }
    if (!ok) {
        if (dialog) {
            // The settings still hold the mode that was running.
            int previous = theSettings.gfxMode;
            if (previous <= 2)
                previous = theSettings.fullscreen ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED;
            setter.setMode(previous, theSettings.screenWidth, theSettings.screenHeight,
                           theSettings.colorDepth);
            if (dialogModeHook)
                dialogModeHook(dialog, false);
        }
        return Error::GFX_MODE;
    }

    int driver = gfxMode, w = width, h = height, depth = colorDepth;
    setter.currentMode(driver, w, h, depth);
    theSettings.gfxMode = driver;
    theSettings.screenWidth = w;
    theSettings.screenHeight = h;
    theSettings.colorDepth = depth;
    if (depth == 8)
        theSettings.mouseShadow = false;
    updateNamedColors();

    if (theSettings.useVideoMemory)
        setter.moveScreenToVideoMemory();
    if (dialog && dialogModeHook)
        dialogModeHook(dialog, true);
    if (theSettings.runInBackground)
        setter.keepRunningInBackground();
    return Error::NONE;
}

Error changeResolution(int gfxMode, bool fullscreen, int width, int height, int colorDepth,
                       Dialog* dialog)
{
    ModeSetter setter;
    return changeResolutionWith(setter, gfxMode, fullscreen, width, height, colorDepth, dialog);
}

Error installFramework(const char* settingsFile, const char* windowName,
                       const char* windowClass)
{
    // Allegro's own background thread would wake every millisecond.
    BackgroundThread::install();
    if (windowName && windowClass)
        setXWindowClass(windowName, windowClass);
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atExit) != 0)
        return Error::ALLEGRO_INIT;
    if (settingsFile) {
        theSettings.load(settingsFile);
        int screenW = 0, screenH = 0;
        if (get_desktop_resolution(&screenW, &screenH) != 0)
            screenW = screenH = 0;
        theSettings.checkValues(screenW, screenH);
    }
    if (install_keyboard() != 0)
        return Error::KEYBOARD;
    if (install_timer() != 0)
        return Error::TIMER;
    if (install_mouse() < 0)
        return Error::MOUSE;
    // Sound is started only for the GUI sounds that the settings ask for:
    // probing the sound system prints lines on the console where it finds no
    // card. Without sound the program goes on silently.
    if (theSettings.guiSound)
        install_sound(theSettings.soundDriver, theSettings.midiDriver, nullptr);
    if (theSettings.keyDelay != -1 && theSettings.keyRepeat != -1)
        set_keyboard_rate(theSettings.keyDelay, theSettings.keyRepeat);
    set_mouse_speed(theSettings.mouseSpeed, theSettings.mouseSpeed);
    request_refresh_rate(theSettings.refreshRate);

    Error mode = changeResolution(theSettings.gfxMode, theSettings.fullscreen,
                                  theSettings.screenWidth, theSettings.screenHeight,
                                  theSettings.colorDepth, nullptr);
    if (mode.isFatal())
        return mode;
    if (alfont_init() != 0)
        return Error::FONT;

    Skin* skin = nullptr;
    try {
        skin = new Skin(theSettings.skinPath.c_str());
    } catch (const std::bad_alloc&) {
        return Error::OUT_OF_MEMORY;
    }
    setGlobalSkin(skin);
    if (skin->error().isFatal())
        return skin->error();
    return mode;
}
