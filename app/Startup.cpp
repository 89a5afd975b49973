// runVaskur: the terrain objects, the framework and its skin, the main
// window's run, and taking everything down again.
#include "app/Startup.h"

#include <allegro.h>

#include <cstdio>
#include <new>

#include "app/MainDialog.h"
#include "gui/Error.h"
#include "gui/Framework.h"
#include "gui/Skin.h"
#include "terrain/HeightMap.h"
#include "terrain/PatchGrid.h"

HeightMap* theHeightMap = nullptr;
PatchGrid* thePatchGrid = nullptr;

int runVaskur()
{
    HeightMap heightMap;
    PatchGrid patchGrid;
    theHeightMap = &heightMap;
    thePatchGrid = &patchGrid;

    // Every text of the program is Latin-1: one byte, one character. This
    // must be chosen before Allegro starts.
    set_uformat(U_ASCII);

    int status = normalExitStatus;
    Error started = installFramework(settingsFileName);
    if (started.isFatal()) {
        // Without Allegro or a graphics mode no window can open: say why.
        std::fputs(started.message(), stderr);
        status = frameworkFailureStatus;
    } else {
        // The program's own skin replaces the default one of the settings.
        setGlobalSkin(new (std::nothrow) Skin(skinFileName));
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
