// Font files of every kind a skin can name, loaded as the skin loads them
// and then measured and drawn with.
#include "fuzz/Harness.h"

#include "gui/Error.h"
#include "gui/Font.h"
#include "gui/Settings.h"

#include <allegro.h>

#include <cstring>
#include <string>

namespace fuzz {

namespace {

// A line of the program's own text and every other Latin-1 character.
const std::string& sampleText()
{
    static const std::string text = [] {
        std::string s = "Leitud tee pikkus: 1234.5 m. K\xf5rguskaart \xd5\xc4\xd6\xdc \xf5\xe4\xf6\xfc ";
        for (int c = 1; c < 256; ++c)
            s += static_cast<char>(c);
        return s;
    }();
    return text;
}

// Measures and draws a loaded font as widgets do: plain, on a background,
// with a shadow and as a caption with a shortcut, partly off the bitmap.
void exercise(const Font& font)
{
    require(font.textHeight() >= 0, "a font's height is not negative");
    require(font.textLength(sampleText().c_str()) >= 0, "a text's length is not negative");
    BITMAP* bmp = create_bitmap(96, 32);
    require(bmp != nullptr, "room for a small bitmap");
    clear_to_color(bmp, makecol(255, 255, 255));
    const int black = makecol(0, 0, 0), grey = makecol(128, 128, 128);
    font.draw(bmp, sampleText().c_str(), -7, 2, black, -1, Font::Left);
    font.drawShadowed(bmp, "Teed ei leitud!", 95, 10, black, grey, makecol(210, 210, 210), Font::Right);
    font.drawCaption(bmp, "&Loe kaart&&", 48, 20, black, -1, -1, Font::Centre);
    destroy_bitmap(bmp);
}

// Loads the bytes as a font file of that name in the scratch folder.
int loadFont(const char* name, const std::uint8_t* data, std::size_t size, int fontSize = Font::defaultSize)
{
    const std::string file = writeScratch(name, data, size);
    Font font;
    font.setSize(fontSize);
    const Error e = font.load(file);
    require(e == Error::NONE || e == Error::FILE_LOAD, "a font load is 0 or 13");
    require(e == Error::NONE || font.isBuiltIn(), "a font that cannot be read is the built-in one");
    exercise(font);
    return 0;
}

} // namespace

// GRX and BIOS fonts share the extension "fnt"; the first four bytes decide.
int fontFnt(const std::uint8_t* data, std::size_t size) { return loadFont("font.fnt", data, size); }

int fontItf(const std::uint8_t* data, std::size_t size) { return loadFont("font.itf", data, size); }

// A font script next to a GRX font "small.fnt", a raw font "raw.itf" and a
// font image "glyphs.bmp" that its lines may name.
int fontScript(const std::uint8_t* data, std::size_t size) { return loadFont("font.txt", data, size); }

// A font grabbed from an image. The image kind follows from the bytes the
// way a user would have named the file: "BM" is a BMP, "FORM" an IFF
// picture, a first byte of 10 a PCX, anything else a TGA.
int fontImage(const std::uint8_t* data, std::size_t size)
{
    const char* name = "font.tga";
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        name = "font.bmp";
    else if (size >= 4 && std::memcmp(data, "FORM", 4) == 0)
        name = "font.lbm";
    else if (size >= 1 && data[0] == 10)
        name = "font.pcx";
    return loadFont(name, data, size);
}

// A font of the scalable-font layer over FreeType (TrueType and whatever
// else FreeType reads), at the size the skin gives its fonts, drawn plain
// and anti-aliased.
int fontScalable(const std::uint8_t* data, std::size_t size)
{
    const bool saved = theSettings.antialiasing;
    for (const bool smooth : {true, false}) {
        theSettings.antialiasing = smooth;
        loadFont("font.ttf", data, size, 13);
    }
    theSettings.antialiasing = saved;
    return 0;
}

} // namespace fuzz
