// The settings file, skin descriptions and skin datafiles.
#include "fuzz/Harness.h"

#include "gui/Bitmap.h"
#include "gui/DatafileCheck.h"
#include "gui/Font.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

namespace fuzz {

namespace {

// One skin for every run, as the program keeps its global skin and loads
// into it again.
Skin& sharedSkin()
{
    static Skin* skin = new Skin("default");
    return *skin;
}

bool usable(const Skin& skin)
{
    for (int slot = 0; slot < Skin::NAMED_BITMAPS; ++slot)
        if (skin.bitmap(slot).empty())
            return false;
    return true;
}

bool isLoadError(const Error& e)
{
    return e == Error::NONE || e == Error::SKIN_DATAFILE_NOT_FOUND || e == Error::FILE_NOT_FOUND ||
           e == Error::FILE_LOAD;
}

} // namespace

// The bytes are "gui.cfg", read as start-up reads it.
int settings(const std::uint8_t* data, std::size_t size)
{
    const std::string file = writeScratch("gui.cfg", data, size);
    Settings read;
    read.load(file.c_str());
    require(read.skinPath.size() <= 255, "the skin path holds at most 255 bytes");
    return 0;
}

// The bytes are a skin description "kujundus.ini" in the scratch folder;
// the files it names are looked for next to it.
int skin(const std::uint8_t* data, std::size_t size)
{
    const std::string file = writeScratch("kujundus.ini", data, size);
    Skin& skin = sharedSkin();
    const Error e = skin.load(file.c_str());
    require(isLoadError(e), "a skin load ends with one of its own errors");
    require(usable(skin), "every named bitmap is there after a load");
    for (int type = 0; type < Skin::WIDGET_TYPES; ++type)
        for (int state = 0; state < Skin::STATES; ++state)
            (void)skin.typeFont(type, state).textLength("Kõrguskaart");
    return 0;
}

// The bytes are a datafile: the check, then the three loads it guards, as
// a description naming it as bitmaps, cursors or sounds would have them.
int datafile(const std::uint8_t* data, std::size_t size)
{
    const std::string file = writeScratch("skin.dat", data, size);
    const bool sound = checkDatafile(file.c_str()) == DatafileStatus::OK;
    Skin& skin = sharedSkin();
    for (const Error& e : {skin.loadBitmaps(file.c_str()), skin.loadCursors(file.c_str()),
                          skin.loadSamples(file.c_str())}) {
        require(sound || e == Error::FILE_LOAD, "a datafile the check refuses is never loaded");
        require(e == Error::NONE || e == Error::FILE_LOAD || e == Error::OUT_OF_MEMORY,
                "a datafile load ends with one of its own errors");
    }
    require(usable(skin), "every named bitmap is there after a load");
    return 0;
}

} // namespace fuzz
