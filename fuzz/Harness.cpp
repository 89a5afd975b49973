// Headless start-up, the scratch folder and the table of targets.
#include "fuzz/Harness.h"

#include "gui/Settings.h"
#include "gui/Skin.h"
#include "gui/alfont/alfont.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzz {

const Target targets[] = {
    {"heightmap", heightMap},
    {"settings", settings},
    {"skin", skin},
    {"datafile", datafile},
    {"image_bmp", imageBmp},
    {"image_pcx", imagePcx},
    {"image_tga", imageTga},
    {"image_lbm", imageLbm},
    {"font_fnt", fontFnt},
    {"font_itf", fontItf},
    {"font_script", fontScript},
    {"font_image", fontImage},
    {"font_scalable", fontScalable},
    {"filenames", fileNames},
    {"route_args", routeArguments},
    {"sidecar", sidecar},
    {"route_points", routePoints},
    {"import_args", importArguments},
    {nullptr, nullptr},
};

const Target* findTarget(std::string_view name)
{
    for (const Target* t = targets; t->name != nullptr; ++t)
        if (name == t->name)
            return t;
    return nullptr;
}

namespace {

std::string folder;

void removeScratch()
{
    std::error_code ignored;
    if (!folder.empty())
        std::filesystem::remove_all(folder, ignored);
}

} // namespace

void startHeadless()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    // The program reads and draws 8-bit Latin-1 text.
    set_uformat(U_ASCII);
    require(install_allegro(SYSTEM_NONE, &errno, atexit) == 0, "Allegro without a display");
    set_color_depth(32);
    require(alfont_init() == 0, "the scalable-font layer");
    theSettings.guiSound = false;
    setGlobalSkin(new Skin("default"));

    std::string pattern = (std::filesystem::temp_directory_path() / "vaskur-fuzz-XXXXXX").string();
    require(mkdtemp(pattern.data()) != nullptr, "a scratch folder");
    folder = pattern + "/";
    std::atexit(removeScratch);
    // Files the fuzzed descriptions and scripts may name: small datafiles
    // and fonts, next to the fuzzed file as a skin's own files would be.
    std::error_code error;
    std::filesystem::copy(VASKUR_FUZZ_FILES, folder, error);
    require(!error, "the files next to the fuzzed ones");
}

const std::string& scratchFolder()
{
    return folder;
}

std::string writeScratch(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string path = folder + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

void require(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz harness: broken promise: %s\n", what);
    std::abort();
}

} // namespace fuzz
