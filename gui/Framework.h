// Starting the framework and changing the graphics mode; the settings it
// reads are gui/Settings.h, the skin it installs gui/Skin.h.
#pragma once

#include "gui/Color.h"
#include "gui/Error.h"

class Dialog;

// Starts the framework: Allegro (with gui/BackgroundThread.h in place of
// its background thread), settings (from `settingsFile` when not null; the
// values it cannot use replaced, see Settings::checkValues),
// keyboard, timer, mouse, sound (only with guiSound on; a failure there is
// only a warning), keyboard repeat, mouse speed, refresh rate, the graphics
// mode, the scalable-font library and the global default skin. Returns the
// first fatal failure, or the result of the mode change. With `windowName`
// and `windowClass` given, the window's X class is set to them (see
// gui/XWindowClass.h); otherwise it keeps Allegro's own.
Error installFramework(const char* settingsFile, const char* windowName = nullptr,
                       const char* windowClass = nullptr);

// Sets a graphics mode (gfxMode <= 2 picks the autodetecting full-screen or
// windowed driver after `fullscreen`; colorDepth < 1 the desktop's depth; a
// failed depth is retried once at an alternative depth). On success the mode
// actually set is stored in the settings, the named colours are recomputed
// and, when `dialog` is given, the running GUI is adapted to the new mode; on
// failure with a dialog the previous mode is restored. Video bitmaps do not
// survive a mode change: the screen update method's bitmaps and every skin
// bitmap in video memory are released before it, and made again only for
// the dialog given. Returns 0 or 5.
Error changeResolution(int gfxMode, bool fullscreen, int width, int height,
                       int colorDepth, Dialog* dialog);

// The colour depth tried after `depth` failed: 16 -> 15, 24 -> 32,
// 32 -> 24, 8 -> 0, anything else -> 16.
int alternativeColorDepth(int depth);

// What changeResolution asks of the platform; replaced by a fake in tests.
class ModeSetter {
public:
    virtual ~ModeSetter() = default;
    // The desktop's colour depth, or 0 or less when the system cannot tell.
    virtual int desktopColorDepth();
    // set_color_depth + set_gfx_mode(driver, w, h, 0, 0); true on success.
    virtual bool setMode(int driver, int width, int height, int depth);
    // The mode in use after a successful setMode (the driver's own id).
    virtual void currentMode(int& driver, int& width, int& height, int& depth);
    // Makes a video-memory bitmap the screen (useVideoMemory).
    virtual void moveScreenToVideoMemory();
    // Keeps the program running in the background (runInBackground).
    virtual void keepRunningInBackground();
};

// changeResolution with the given mode setter.
Error changeResolutionWith(ModeSetter& setter, int gfxMode, bool fullscreen,
                           int width, int height, int colorDepth,
                           Dialog* dialog);

// A running GUI is adapted to a mode change by the dialog manager, which
// installs this hook: after a failed change (the previous mode restored)
// it is called with modeChanged false (re-create the screen update method,
// redraw the dialog); after a successful one with true (re-create the screen
// update method, resize the dialog to the screen, reload the skin's bitmaps,
// hand the skin to the dialog again). Not called without a dialog.
using DialogModeHook = void (*)(Dialog* dialog, bool modeChanged);
void setDialogModeHook(DialogModeHook hook);

// Named colours, recomputed after every successful mode change.
struct NamedColors {
    Color white = NO_COLOR;
    Color black = NO_COLOR;
    Color red = NO_COLOR;
    Color green = NO_COLOR;
    Color blue = NO_COLOR;
    Color cyan = NO_COLOR;
    Color magenta = NO_COLOR;
    Color yellow = NO_COLOR;
    Color darkGrey = NO_COLOR;
    Color grey = NO_COLOR;
    Color lightGrey = NO_COLOR;
    Color orange = NO_COLOR;
    Color brown = NO_COLOR;
    Color violet = NO_COLOR;
    Color darkRed = NO_COLOR;
    Color darkGreen = NO_COLOR;
    Color darkBlue = NO_COLOR;
};

extern NamedColors theColors;

// Recomputes theColors for the current colour depth.
void updateNamedColors();
