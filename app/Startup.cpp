// runVaskur: the terrain objects, the framework and its skin, the main
// window's run, and taking everything down again.
#include "app/Startup.h"

#include <allegro.h>

#include <cstdio>
#include <new>
#include <string>

#include "app/MainDialog.h"
#include "gui/DisplayConnection.h"
#include "gui/Error.h"
#include "gui/Framework.h"
#include "gui/Settings.h"
#include "gui/Skin.h"
#include "terrain/HeightMap.h"
#include "terrain/PatchGrid.h"

HeightMap* theHeightMap = nullptr;
PatchGrid* thePatchGrid = nullptr;

namespace {

// Did the framework start far enough to open the main window? Every failure
// before the default skin is installed leaves no Allegro, no input, no
// graphics mode or no fonts. A failure the installed skin reports (its
// description or data files missing or broken) leaves the framework running
// with the built-in look.
bool frameworkRunning(const Error& started)
{
    if (!started.isFatal())
        return true;
    const Skin* skin = globalSkin();
    return skin && skin->error() == started;
}

// Writes a skin's failure on stderr, after the name of its description.
void reportSkinError(const char* description, const Error& error)
{
    if (error.isFatal())
        std::fprintf(stderr, "%s: %s", description, error.message());
}

// Says on stderr which settings were replaced, and why no window could be
// opened when the display is the cause.
void reportStart(const Error& started)
{
    for (const std::string& line : theSettings.replaced)
        std::fprintf(stderr, "%s\n", line.c_str());
    if (frameworkRunning(started))
        return;
    std::fputs(started.message(), stderr);
    if (started == Error::ALLEGRO_INIT || started == Error::GFX_MODE)
        if (const std::string why = DisplayConnection::whyUnavailable(); !why.empty())
            std::fprintf(stderr, "%s\n", why.c_str());
}

} // namespace

int runVaskur()
{
    HeightMap heightMap;
    PatchGrid patchGrid;
    theHeightMap = &heightMap;
    thePatchGrid = &patchGrid;

    // Every text of the program is Latin-1: one byte, one character. This
    // must be chosen before Allegro starts.
    set_uformat(U_ASCII);

    // A display that goes away ends the program there and then.
    DisplayConnection::endProgramWhenLost(frameworkFailureStatus);
    int status = normalExitStatus;
    Error started = installFramework(settingsFileName, windowInstanceName, windowClassName);
    reportStart(started);
    if (!frameworkRunning(started)) {
        // Without Allegro or a graphics mode no window can open.
        status = frameworkFailureStatus;
    } else {
        // The default skin of the settings failed: its built-in look stands in.
        reportSkinError(theSettings.skinPath.c_str(), started);
        // The program's own skin replaces the default one of the settings.
        Skin* skin = new (std::nothrow) Skin(skinFileName);
        if (skin)
            reportSkinError(skinFileName, skin->error());
        setGlobalSkin(skin);
        {
            MainDialog mainDialog;
            mainDialog.execute(nullptr);
        }
    }

    // The main window is gone; nothing reads the pointers any more. On
    // return the grid (and the model it holds) is destroyed before the map,
    // the reverse of the order they were made in.
    thePatchGrid = nullptr;
    theHeightMap = nullptr;
    return status;
}
