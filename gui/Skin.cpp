// Loading a skin description and its datafiles, reading its sections, and
// reaching its slots; the global skin.
#include "gui/Skin.h"

#include <allegro.h>

#include <algorithm>
#include <cstring>

#include "gui/Bitmap.h"
#include "gui/ConfigText.h"
#include "gui/DatafileCheck.h"
#include "gui/Font.h"
#include "gui/Mouse.h"
#include "gui/Settings.h"
#include "gui/SkinLook.h"

const char* const Skin::bitmapNames[NAMED_BITMAPS] = {
    "BOX", "BOX_SHADDOW", "BUTTON", "CHECKBOX", "CLEAR_BACK", "COMBO_BUTTON",
    "HSLIDER_BACK", "HSLIDER_GRIP", "ICONEXIT", "ICONMAX", "ICONMIN", "ICONRESTORE",
    "LIST", "MENU_BACK", "MENU_BUTTON", "MENU_ITEM", "PANEL_GROOVE", "PANEL_RAISED",
    "PANEL_RIDGE", "PANEL_SUNKEN", "PROGRESSH", "PROGRESSV", "RADIO", "SCROLL_DOWN",
    "SCROLL_HBACK", "SCROLL_HGRIP", "SCROLL_HGRIPOVERLAY", "SCROLL_LEFT",
    "SCROLL_RIGHT", "SCROLL_UP", "SCROLL_VBACK", "SCROLL_VGRIP",
    "SCROLL_VGRIPOVERLAY", "SEPARATORH", "SEPARATORV", "TAB_BUTTON", "TAB_WINDOW",
    "VSLIDER_BACK", "VSLIDER_GRIP", "WINBOTTOM", "WINDOW", "WINGRIP", "WINLEFT",
    "WINRIGHT", "WINTEXT", "WINTOP",
};

const char* const Skin::cursorNames[NAMED_CURSORS] = {
    "MOUSE_ALTERNATIVE", "MOUSE_CROSSHAIR", "MOUSE_HOURGLASS", "MOUSE_MOVE",
    "MOUSE_NORMAL", "MOUSE_SELECT", "MOUSE_SIZE_DIAGONAL1", "MOUSE_SIZE_DIAGONAL2",
    "MOUSE_SIZE_HORIZONTAL", "MOUSE_SIZE_VERTICAL", "MOUSE_TEXTSELECT",
    "MOUSE_UNAVAILABLE",
};

const char* const Skin::sampleNames[NAMED_SAMPLES] = {
    "SAMPLE_ACTIVATE", "SAMPLE_CLOSE", "SAMPLE_GOTFOCUS", "SAMPLE_KEY",
    "SAMPLE_LOSTFOCUS", "SAMPLE_OPEN", "SAMPLE_SCROLL",
};

namespace {

// ---- reading Allegro's current configuration ----

// Values (file names, numbers, colours) are used as they stand.
std::string readString(const char* section, const char* key, const char* def)
{
    Converted sec(section), name(key), value(def);
    const char* text = get_config_string(sec.get(), name.get(), value.get());
    return text ? std::string(text) : std::string(def);
}

// A key that is absent or empty counts as not given.
std::string readOptionalString(const char* section, const char* key)
{
    Converted sec(section), name(key);
    const char* text = get_config_string(sec.get(), name.get(), nullptr);
    return text ? std::string(text) : std::string();
}

Color readColor(const char* section, const char* key, const char* def)
{
    return colorFromText(readString(section, key, def));
}

// Allegro's current configuration is the given file while this lives; the
// previous one comes back afterwards. Nothing is written: the file is only
// read.
class ConfigFile {
public:
    explicit ConfigFile(const char* fileName)
    {
        push_config_state();
        setConfigFileForReading(fileName);
    }
    ~ConfigFile() { pop_config_state(); }
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;
};

// The directory part of a path, with its separator ("" for none).
std::string directoryOf(const std::string& path)
{
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A file name from a description, relative to the description's directory
// unless it is absolute.
std::string resolve(const std::string& baseDir, const std::string& name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\' ||
        (name.size() > 1 && name[1] == ':'))
        return name;
    return baseDir + name;
}

// ---- datafiles ----

class LoadedDatafile {
public:
    LoadedDatafile() : data_(nullptr) {}
    ~LoadedDatafile() { reset(); }
    LoadedDatafile(const LoadedDatafile&) = delete;
    LoadedDatafile& operator=(const LoadedDatafile&) = delete;

    DATAFILE* get() const { return data_; }
    void reload(const char* fileName)
    {
        reset();
        data_ = load_datafile(fileName);
    }

    // The object of that name if it has one of the given types.
    DATAFILE* find(const char* name, std::initializer_list<int> types) const
    {
        if (!data_)
            return nullptr;
        Converted converted(name);
        DATAFILE* object = find_datafile_object(data_, converted.get());
        if (!object || !object->dat)
            return nullptr;
        for (int type : types)
            if (object->type == type)
                return object;
        return nullptr;
    }

private:
    void reset()
    {
        if (data_)
            unload_datafile(data_);
        data_ = nullptr;
    }
    DATAFILE* data_;
};

// A numeric object property; `def` when it is absent or not a number.
int numberProperty(const DATAFILE* object, int type, int def)
{
    const char* text = get_datafile_property(object, type);
    if (!text || !*text)
        return def;
    return parseDecimal(text, def);
}

Error checkBeforeLoading(const std::string& fileName, Error missing)
{
    switch (checkDatafile(fileName.c_str())) {
    case DatafileStatus::OK: return Error::NONE;
    case DatafileStatus::MISSING: return missing;
    case DatafileStatus::CORRUPT: break;
    }
    return Error::FILE_LOAD;
}

// Checks a datafile, then loads it into `data` (with colours converted to the
// current depth when asked): `missing` when it is not there, FILE_LOAD when it
// is damaged or cannot be read.
Error openDatafile(const char* fileName, Error missing, bool convertColours, LoadedDatafile& data)
{
    std::string name = fileName ? fileName : "";
    Error check = checkBeforeLoading(name, missing);
    if (check != Error::NONE)
        return check;
    if (convertColours)
        set_color_conversion(COLORCONV_TOTAL);
    data.reload(name.c_str());
    return data.get() ? Error::NONE : Error::FILE_LOAD;
}

// The built-in text colour defaults of the widget type sections.
const char* const typeSections[] = {
    "BUTTON", "CHECKBOX", "RADIO", "LIST", "WINDOW", "MENU", "TEXT", "PROGRESS", "HYPER", "TAB",
};
const char* const defaultTextColors[Skin::STATES] = {"0,0,0", "0,0,0", "128,128,128", "0,0,0"};

Skin* theGlobalSkin = nullptr;

// An owned memory copy of a bitmap object of a loaded datafile (the datafile
// is released after loading); false when there is no memory for it.
bool copyBitmapObject(const DATAFILE* object, Bitmap& copy)
{
    Bitmap source;
    source.wrap(static_cast<BITMAP*>(object->dat));
    return copy.copy(source, true, Bitmap::Memory);
}

}  // namespace

// ---- Cursor and Sample ----

Cursor::Cursor() : bitmap_(std::make_unique<Bitmap>()) {}

Cursor::~Cursor() = default;

void Cursor::clear()
{
    bitmap_->release();
    focusX = 0;
    focusY = 0;
    frames = 1;
    frameDuration = 20;
}

Sample::~Sample()
{
    reset();
}

void Sample::reset(SAMPLE* sample)
{
    if (sample_ && sample_ != sample)
        destroy_sample(sample_);
    sample_ = sample;
}

void Sample::makeEmpty()
{
    reset(create_sample(8, 0, 11025, 0));
}

// ---- Skin ----

Skin::Skin(const char* path)
    : bitmaps_(std::make_unique<Bitmap[]>(BITMAP_SLOTS)),
      fonts_(std::make_unique<Font[]>(FONT_SLOTS)),
      cursors_(std::make_unique<Cursor[]>(CURSOR_SLOTS)),
      samples_(std::make_unique<Sample[]>(SAMPLE_SLOTS))
{
    if (path && *path && std::strcmp(path, "default") != 0) {
        // A description that does not exist leaves a new skin with nothing
        // in it; it takes the built-in look then, and keeps error 10.
        if (load(path) == Error::SKIN_DESCRIPTION_NOT_FOUND)
            resetToDefault();
    } else {
        resetToDefault();
    }
}

Skin::~Skin()
{
    unloadAll();
}

Error Skin::loadBitmaps(const char* datafile)
{
    LoadedDatafile data;
    if (Error opened = openDatafile(datafile, Error::SKIN_DATAFILE_NOT_FOUND, true, data); opened != Error::NONE)
        return opened;
    // With a palette of its own, the bitmaps are converted with it: select
    // it and load the file again.
    if (DATAFILE* palette = data.find("XTRA_PALETTE", {DAT_PALETTE})) {
        select_palette(static_cast<RGB*>(palette->dat));
        data.reload(datafile);
        if (!data.get())
            return Error::FILE_LOAD;
    }
    for (int slot = 0; slot < NAMED_BITMAPS; ++slot) {
        // Compiled sprites are not bitmaps once loaded: only bitmaps count.
        DATAFILE* object = data.find(bitmapNames[slot], {DAT_BITMAP});
        if (!object)
            continue;
        Bitmap copy;
        if (!copyBitmapObject(object, copy))
            return Error::OUT_OF_MEMORY;
        int tileW = numberProperty(object, DAT_ID('T', 'C', 'K', 'X'), -1);
        int tileH = numberProperty(object, DAT_ID('T', 'C', 'K', 'Y'), -1);
        // A tile must have a size: anything else means a third of the frame.
        copy.setTile(tileW > 0 ? tileW : -1, tileH > 0 ? tileH : -1);
        bitmaps_[slot] = std::move(copy);
    }
    return Error::NONE;
}

Error Skin::loadCursors(const char* datafile)
{
    LoadedDatafile data;
    if (Error opened = openDatafile(datafile, Error::FILE_NOT_FOUND, true, data); opened != Error::NONE)
        return opened;
    for (int slot = 0; slot < NAMED_CURSORS; ++slot) {
        DATAFILE* object = data.find(cursorNames[slot], {DAT_BITMAP});
        if (!object)
            continue;
        Cursor& cursor = cursors_[slot];
        Bitmap copy;
        if (!copyBitmapObject(object, copy))
            return Error::OUT_OF_MEMORY;
        cursor.clear();
        cursor.bitmap() = std::move(copy);
        cursor.focusX = numberProperty(object, DAT_ID('F', 'C', 'S', 'X'), 0);
        cursor.focusY = numberProperty(object, DAT_ID('F', 'C', 'S', 'Y'), 0);
        // Frames are laid side by side: at least one, at most one per column.
        int frames = numberProperty(object, DAT_ID('F', 'R', 'M', 'S'), 1);
        cursor.frames = std::clamp(frames, 1, std::max(1, cursor.bitmap().width()));
        int duration = numberProperty(object, DAT_ID('F', 'D', 'U', 'R'), 20);
        cursor.frameDuration = duration > 0 ? duration : 20;
    }
    return Error::NONE;
}

Error Skin::loadSamples(const char* datafile)
{
    LoadedDatafile data;
    if (Error opened = openDatafile(datafile, Error::FILE_NOT_FOUND, false, data); opened != Error::NONE)
        return opened;
    for (int slot = 0; slot < NAMED_SAMPLES; ++slot) {
        DATAFILE* object = data.find(sampleNames[slot], {DAT_SAMPLE});
        if (!object)
            continue;
        const SAMPLE* source = static_cast<const SAMPLE*>(object->dat);
        SAMPLE* copy = create_sample(source->bits, source->stereo, source->freq, source->len);
        if (!copy)
            return Error::OUT_OF_MEMORY;
        std::size_t bytes = std::size_t(source->len) * (source->bits == 8 ? 1 : 2) *
                            (source->stereo ? 2 : 1);
        if (bytes > 0)
            std::memcpy(copy->data, source->data, bytes);
        copy->priority = source->priority;
        copy->loop_start = source->loop_start;
        copy->loop_end = source->loop_end;
        samples_[slot].reset(copy);
    }
    return Error::NONE;
}

void Skin::resetSamples()
{
    for (int slot = 0; slot < NAMED_SAMPLES; ++slot)
        samples_[slot].makeEmpty();
}

void Skin::resetCursors()
{
    for (int slot = 1; slot < NAMED_CURSORS; ++slot) {
        Cursor& cursor = cursors_[slot];
        cursor.clear();
        int focusX = 0, focusY = 0;
        if (paintBuiltinCursor(cursor.bitmap(), focusX, focusY)) {
            cursor.focusX = focusX;
            cursor.focusY = focusY;
        }
    }
}

void Skin::resetFonts()
{
    for (int slot = 0; slot < 8; ++slot)
        fonts_[slot].release();
}

void Skin::resetColors()
{
    colors_.face = makeColor(210, 210, 210);
    colors_.fontface = makeColor(16, 16, 16);
    colors_.shad1 = makeColor(255, 255, 255);
    colors_.shad2 = makeColor(80, 80, 80);
    colors_.disable = makeColor(128, 128, 128);
    colors_.select = makeColor(128, 192, 128);
    colors_.deselect = makeColor(224, 224, 224);
    colors_.focus = makeColor(128, 192, 128);
    colors_.sunken = makeColor(232, 232, 232);
    colors_.back = makeColor(180, 180, 180);
    for (int type = 0; type < TYPE_BOX; ++type) {
        for (int state = 0; state < STATES; ++state) {
            TypeLook& look = looks_[type][state];
            look.font = 0;
            look.text = state == STATE_DISABLED ? colors_.disable : colors_.fontface;
            look.shadow = state == STATE_DISABLED ? colors_.shad1 : NO_COLOR;
        }
    }
}

void Skin::resetSettings()
{
    elements_ = SkinElements{};
    elements_.boxBackColor = colors_.face;
    elements_.mouseShadowColor = makeColor(96, 96, 96);
    Color boxText[2] = {makeColor(32, 32, 32), makeColor(128, 128, 128)};
    Color boxShadow[2] = {NO_COLOR, makeColor(255, 255, 255)};
    for (int state = 0; state < STATES; ++state) {
        int i = state == STATE_DISABLED ? 1 : 0;
        looks_[TYPE_BOX][state] = TypeLook{0, boxText[i], boxShadow[i]};
    }
    for (int slot = 0; slot < NAMED_BITMAPS; ++slot)
        bitmaps_[slot].setTile(-1, -1);
}

Error Skin::load(const char* descriptionFile)
{
    if (!descriptionFile || !*descriptionFile || !file_exists(descriptionFile, FA_ALL, nullptr)) {
        error_ = Error::SKIN_DESCRIPTION_NOT_FOUND;
        return error_;
    }
    std::string file = descriptionFile;  // the argument may be our own name
    ConfigFile config(file.c_str());
    resetToDefault();
    fileName_ = file;
    std::string baseDir = directoryOf(file);

    std::string mainData = readOptionalString("Skin", "main_data");
    if (!mainData.empty()) {
        Error e = loadBitmaps(resolve(baseDir, mainData).c_str());
        if (e.isFatal())
            return error_ = e;
    }
    readColors();
    if (mainData.empty())
        generateDefaultBitmaps();

    std::string cursors = readOptionalString("Skin", "cursors");
    if (!cursors.empty()) {
        Error e = loadCursors(resolve(baseDir, cursors).c_str());
        if (e.isFatal())
            return error_ = e;
        readMouse();
    }
    std::string sounds = readOptionalString("Skin", "sounds");
    if (!sounds.empty()) {
        Error e = loadSamples(resolve(baseDir, sounds).c_str());
        if (e.isFatal())
            return error_ = e;
    }

    readFonts(baseDir);
    readTypeLooks();
    readElements();
    return error_ = Error::NONE;
}

void Skin::readColors()
{
    const char* s = "COLORS";
    colors_.face = readColor(s, "face", "210,210,210");
    colors_.fontface = readColor(s, "fontface", " 16, 16, 16");
    colors_.shad1 = readColor(s, "shad1", "255,255,255");
    colors_.shad2 = readColor(s, "shad2", " 80, 80, 80");
    colors_.disable = readColor(s, "disable", "128,128,128");
    colors_.select = readColor(s, "select", "128,192,128");
    colors_.deselect = readColor(s, "deselect", "224,224,224");
    colors_.focus = readColor(s, "focus", "128,192,128");
    colors_.sunken = readColor(s, "sunken", "232,232,232");
    colors_.back = readColor(s, "back", "180,180,180");
}

void Skin::readFonts(const std::string& baseDir)
{
    for (int slot = 0; slot < 8; ++slot) {
        char section[8] = "FONT0";
        section[4] = static_cast<char>('0' + slot);
        int size = readConfigInt(section, "size", 10);
        std::string file = readString(section, "file", "none");
        if (file.empty() || file == "none")
            continue;
        // A font that cannot be found or read keeps the built-in font; that
        // is not an error of the skin.
        Font& font = fonts_[slot];
        font.setSize(size);
        font.load(resolve(baseDir, file).c_str());
        font.setSize(size);
    }
}

void Skin::readTypeLooks()
{
    for (int state = 0; state < STATES; ++state) {
        char fontKey[] = "font1", textKey[] = "f_col1", shadowKey[] = "s_col1";
        fontKey[4] = textKey[5] = shadowKey[5] = static_cast<char>('1' + state);
        for (int type = 0; type < TYPE_BOX; ++type)
            looks_[type][state].font = readConfigInt(typeSections[type], fontKey, 0);
        for (int type = 0; type < TYPE_BOX; ++type)
            looks_[type][state].text = readColor(typeSections[type], textKey, defaultTextColors[state]);
        for (int type = 0; type < TYPE_BOX; ++type)
            looks_[type][state].shadow = readColor(typeSections[type], shadowKey, "-1");
    }
}

void Skin::readElements()
{
    // The group box caption: its font slot, then its colours.
    int boxFont = readConfigInt("BOX", "font1", 0);
    Color boxText[2] = {readColor("BOX", "f_col1", "32,32,32"), readColor("BOX", "f_col2", "128,128,128")};
    Color boxShadow[2] = {readColor("BOX", "s_col1", "-1"), readColor("BOX", "s_col2", "255,255,255")};
    for (int state = 0; state < STATES; ++state) {
        int i = state == STATE_DISABLED ? 1 : 0;
        looks_[TYPE_BOX][state] = TypeLook{boxFont, boxText[i], boxShadow[i]};
    }
    SkinElements& e = elements_;
    e.boxOffX = readConfigInt("BOX", "offX", 6);
    e.boxOffY = readConfigInt("BOX", "offY", 1);
    e.boxBackColor = readColor("BOX", "backColor", "222,222,222");
    e.boxAlignment = readConfigInt("BOX", "alignment", 0);
    e.wallpaperStyle = readConfigInt("WALLPAPER", "style", 3);
    e.buttonDisplacement = readConfigInt("BUTTON", "displacement", 1);
    e.buttonAnimationType = readConfigInt("BUTTON", "animationType", 0);
    e.buttonAnimationLength = readConfigInt("BUTTON", "animationLength", 0);
    e.windowTextX = readConfigInt("WINDOW", "textX", 10);
    e.windowTextY = readConfigInt("WINDOW", "textY", 8);
    e.windowAlignment = readConfigInt("WINDOW", "alignment", 0);
    e.windowTextBack = readConfigInt("WINDOW", "textBack", 0);
    e.windowExitX = readConfigInt("WINDOW", "exitX", -22);
    e.windowExitY = readConfigInt("WINDOW", "exitY", 6);
    e.windowMaxX = readConfigInt("WINDOW", "maxX", -40);
    e.windowMaxY = readConfigInt("WINDOW", "maxY", 6);
    e.windowMinX = readConfigInt("WINDOW", "minX", -56);
    e.windowMinY = readConfigInt("WINDOW", "minY", 6);
    e.windowAnimationType = readConfigInt("WINDOW", "animationType", 0);
    e.windowAnimationLength = readConfigInt("WINDOW", "animationLength", 0);
    e.comboAnimationType = readConfigInt("COMBOBOX", "animationType", 0);
    e.comboAnimationLength = readConfigInt("COMBOBOX", "animationLength", 0);
    e.menuHeight = readConfigInt("MENU", "height", 16);
    e.menuDelay = readConfigInt("MENU", "delay", 300);
    e.menuAnimationType = readConfigInt("MENU", "animationType", 0);
    e.menuAnimationLength = readConfigInt("MENU", "animationLength", 0);
    e.dottedRect = readConfigInt("Skin", "dottedRect", 0) != 0;
    e.focus = readConfigInt("Skin", "focus", 1);
}

void Skin::readMouse()
{
    elements_.mouseShadowColor = readColor("MOUSE", "shadowColor", "96,96,96");
    elements_.mouseShadowSize = readConfigInt("MOUSE", "shadowSize", 2);
    elements_.mouseShadowOffsetX = readConfigInt("MOUSE", "shadowOffsetX", 2);
    elements_.mouseShadowOffsetY = readConfigInt("MOUSE", "shadowOffsetY", 0);
}

void Skin::reload()
{
    if (!fileName_.empty() && fileName_ != "default") {
        std::string file = fileName_;
        load(file.c_str());
    } else {
        resetToDefault();
    }
}

void Skin::unloadAll()
{
    for (int i = 0; i < BITMAP_SLOTS; ++i)
        bitmaps_[i].release();
    for (int i = 0; i < CURSOR_SLOTS; ++i)
        cursors_[i].clear();
    for (int i = 0; i < SAMPLE_SLOTS; ++i)
        samples_[i].reset();
    for (int i = 0; i < FONT_SLOTS; ++i)
        fonts_[i].release();
}

void Skin::resetToDefault()
{
    unloadAll();
    resetColors();
    resetSettings();
    resetFonts();
    resetCursors();
    resetSamples();
    generateDefaultBitmaps();
}

void Skin::playSample(int slot)
{
    if (slot < 0 || slot >= SAMPLE_SLOTS)
        return;
    SAMPLE* s = samples_[slot].get();
    if (!s || s->len == 0)
        return;
    stop_sample(s);
    play_sample(s, std::clamp(theSettings.soundVolume, 0, 255), 127, 1000, 0);
}

// ---- accessors ----

namespace {
int slotIndex(int slot, int count)
{
    return slot >= 0 && slot < count ? slot : 0;
}
}  // namespace

Bitmap& Skin::bitmap(int slot) { return bitmaps_[slotIndex(slot, BITMAP_SLOTS)]; }
const Bitmap& Skin::bitmap(int slot) const { return bitmaps_[slotIndex(slot, BITMAP_SLOTS)]; }
Font& Skin::font(int slot) { return fonts_[slotIndex(slot, FONT_SLOTS)]; }
const Font& Skin::font(int slot) const { return fonts_[slotIndex(slot, FONT_SLOTS)]; }
Cursor& Skin::cursor(int slot) { return cursors_[slotIndex(slot, CURSOR_SLOTS)]; }
const Cursor& Skin::cursor(int slot) const { return cursors_[slotIndex(slot, CURSOR_SLOTS)]; }
Sample& Skin::sample(int slot) { return samples_[slotIndex(slot, SAMPLE_SLOTS)]; }
const Sample& Skin::sample(int slot) const { return samples_[slotIndex(slot, SAMPLE_SLOTS)]; }

int Skin::fontIndex(int type, int state) const
{
    return looks_[std::clamp(type, 0, WIDGET_TYPES - 1)][std::clamp(state, 0, STATES - 1)].font;
}

Color Skin::textColor(int type, int state) const
{
    return looks_[std::clamp(type, 0, WIDGET_TYPES - 1)][std::clamp(state, 0, STATES - 1)].text;
}

Color Skin::shadowColor(int type, int state) const
{
    return looks_[std::clamp(type, 0, WIDGET_TYPES - 1)][std::clamp(state, 0, STATES - 1)].shadow;
}

Font& Skin::typeFont(int type, int state)
{
    return font(fontIndex(type, state));
}

void Skin::setFontIndex(int type, int state, int fontSlot)
{
    looks_[std::clamp(type, 0, WIDGET_TYPES - 1)][std::clamp(state, 0, STATES - 1)].font = fontSlot;
}

void Skin::setTextColor(int type, int state, Color color)
{
    looks_[std::clamp(type, 0, WIDGET_TYPES - 1)][std::clamp(state, 0, STATES - 1)].text = color;
}

void Skin::setShadowColor(int type, int state, Color color)
{
    looks_[std::clamp(type, 0, WIDGET_TYPES - 1)][std::clamp(state, 0, STATES - 1)].shadow = color;
}

// ---- the global skin ----

Skin* globalSkin()
{
    return theGlobalSkin;
}

void setGlobalSkin(Skin* skin)
{
    if (skin == theGlobalSkin)
        return;
    Skin* old = theGlobalSkin;
    theGlobalSkin = skin;
    // Widgets that use the global skin ask for it each time; the running
    // mouse holds a cursor of it and takes the new skin's normal one.
    Mouse* m = mouse();
    if (m && old && m->cursor()) {
        for (int slot = 0; slot < Skin::CURSOR_SLOTS; ++slot) {
            if (&old->cursor(slot) == m->cursor()) {
                m->setCursor(nullptr);
                m->setCursor(skin, Skin::MOUSE_NORMAL);
                break;
            }
        }
    }
    delete old;
}
