// The skin: colours, fonts, type looks, bitmaps, cursors, sounds and layout
// numbers. The built-in look is painted by gui/SkinLook.cpp.
#pragma once

#include <memory>
#include <string>

#include "gui/Color.h"
#include "gui/Error.h"

class Bitmap;
class Font;
struct SAMPLE;

// A mouse cursor: a bitmap of `frames` frames laid side by side, a focus
// point (hot spot) and a frame duration in milliseconds.
class Cursor {
public:
    Cursor();
    virtual ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    Bitmap& bitmap() { return *bitmap_; }
    const Bitmap& bitmap() const { return *bitmap_; }
    // Releases the bitmap and sets frames 1, duration 20 ms, focus (0, 0).
    void clear();

    int focusX = 0;
    int focusY = 0;
    int frames = 1;
    int frameDuration = 20;  // milliseconds

private:
    std::unique_ptr<Bitmap> bitmap_;
};

// An owned Allegro sample (may be empty: no SAMPLE at all).
class Sample {
public:
    Sample() = default;
    virtual ~Sample();
    Sample(const Sample&) = delete;
    Sample& operator=(const Sample&) = delete;

    SAMPLE* get() const { return sample_; }
    // Takes ownership of `sample` (may be null), freeing the one held.
    void reset(SAMPLE* sample = nullptr);
    // Becomes an empty sample: 8 bit, mono, 11025 Hz, length 0.
    void makeEmpty();

private:
    SAMPLE* sample_ = nullptr;
};

// The ten colours of the section "COLORS".
struct SkinColors {
    Color face = NO_COLOR;
    Color fontface = NO_COLOR;
    Color shad1 = NO_COLOR;
    Color shad2 = NO_COLOR;
    Color disable = NO_COLOR;
    Color select = NO_COLOR;
    Color deselect = NO_COLOR;
    Color focus = NO_COLOR;
    Color sunken = NO_COLOR;
    Color back = NO_COLOR;  // what a backdrop fills its dialog with
};

// Layout numbers and looks read from the element sections of a description.
// The initializers are the built-in values (boxBackColor is `face` then).
struct SkinElements {
    // "BOX": the group box caption
    int boxOffX = 10;
    int boxOffY = 1;
    Color boxBackColor = NO_COLOR;
    int boxAlignment = 0;
    // "WALLPAPER"
    int wallpaperStyle = 3;
    // "BUTTON"
    int buttonDisplacement = 1;
    int buttonAnimationType = 0;
    int buttonAnimationLength = 0;
    // "WINDOW"
    int windowTextX = 10;
    int windowTextY = 8;
    int windowAlignment = 0;
    int windowTextBack = 0;
    int windowExitX = -22;  // negative x counts from the right edge
    int windowExitY = 6;
    int windowMaxX = -40;
    int windowMaxY = 6;
    int windowMinX = -56;
    int windowMinY = 6;
    int windowAnimationType = 0;
    int windowAnimationLength = 0;
    // "COMBOBOX"
    int comboAnimationType = 0;
    int comboAnimationLength = 0;
    // "MENU"
    int menuHeight = 16;
    int menuDelay = 300;  // milliseconds
    int menuAnimationType = 0;
    int menuAnimationLength = 0;
    // "Skin"
    bool dottedRect = true;  // a focused button draws a dotted rectangle
    int focus = 0;           // 0 always, 1 only widgets taking focus, else never
    // "MOUSE": the cursor shadow (drawn only with the setting mouseShadow)
    Color mouseShadowColor = NO_COLOR;
    int mouseShadowSize = 2;
    int mouseShadowOffsetX = 2;
    int mouseShadowOffsetY = 0;
};

// Everything that gives the GUI its look and sound: colours, fonts, per
// widget type text colours and fonts, bitmaps, cursors, samples and layout
// numbers, from a description file (Allegro configuration text naming up to
// three datafiles and eight font files) or painted in a built-in look.
class Skin {
public:
    // Slot counts.
    static constexpr int BITMAP_SLOTS = 1024;
    static constexpr int FONT_SLOTS = 64;
    static constexpr int CURSOR_SLOTS = 64;
    static constexpr int SAMPLE_SLOTS = 1024;

    // Named bitmaps (slots 0 to 45).
    enum BitmapSlot {
        BOX = 0, BOX_SHADDOW, BUTTON, CHECKBOX, CLEAR_BACK, COMBO_BUTTON,
        HSLIDER_BACK, HSLIDER_GRIP, ICONEXIT, ICONMAX, ICONMIN, ICONRESTORE,
        LIST, MENU_BACK, MENU_BUTTON, MENU_ITEM, PANEL_GROOVE, PANEL_RAISED,
        PANEL_RIDGE, PANEL_SUNKEN, PROGRESSH, PROGRESSV, RADIO, SCROLL_DOWN,
        SCROLL_HBACK, SCROLL_HGRIP, SCROLL_HGRIPOVERLAY, SCROLL_LEFT,
        SCROLL_RIGHT, SCROLL_UP, SCROLL_VBACK, SCROLL_VGRIP,
        SCROLL_VGRIPOVERLAY, SEPARATORH, SEPARATORV, TAB_BUTTON, TAB_WINDOW,
        VSLIDER_BACK, VSLIDER_GRIP, WINBOTTOM, WINDOW, WINGRIP, WINLEFT,
        WINRIGHT, WINTEXT, WINTOP,
        NAMED_BITMAPS  // 46
    };

    // Named cursors (slots 0 to 11).
    enum CursorSlot {
        MOUSE_ALTERNATIVE = 0, MOUSE_CROSSHAIR, MOUSE_HOURGLASS, MOUSE_MOVE,
        MOUSE_NORMAL, MOUSE_SELECT, MOUSE_SIZE_DIAGONAL1, MOUSE_SIZE_DIAGONAL2,
        MOUSE_SIZE_HORIZONTAL, MOUSE_SIZE_VERTICAL, MOUSE_TEXTSELECT,
        MOUSE_UNAVAILABLE,
        NAMED_CURSORS  // 12
    };

    // Named samples (slots 0 to 6), also the GUI sound events of widgets.
    enum SampleSlot {
        SAMPLE_ACTIVATE = 0, SAMPLE_CLOSE, SAMPLE_GOTFOCUS, SAMPLE_KEY,
        SAMPLE_LOSTFOCUS, SAMPLE_OPEN, SAMPLE_SCROLL,
        NAMED_SAMPLES  // 7
    };

    // Widget types with their own fonts and text colours. TYPE_BOX (the
    // group box caption) has the states NORMAL and DISABLED; asking it for
    // SELECTED gives NORMAL's values, FOCUSED too.
    enum WidgetType {
        TYPE_BUTTON = 0, TYPE_CHECKBOX, TYPE_RADIO, TYPE_LIST, TYPE_WINDOW,
        TYPE_MENU, TYPE_TEXT, TYPE_PROGRESS, TYPE_HYPER, TYPE_TAB, TYPE_BOX,
        WIDGET_TYPES  // 11
    };
    enum State { STATE_NORMAL = 0, STATE_SELECTED, STATE_DISABLED, STATE_FOCUSED, STATES };

    // Names used in datafiles and descriptions.
    static const char* const bitmapNames[NAMED_BITMAPS];
    static const char* const cursorNames[NAMED_CURSORS];
    static const char* const sampleNames[NAMED_SAMPLES];

    // Creates all slots empty, then loads `path`, or builds the built-in look
    // when `path` is null, empty or exactly "default". A description that does
    // not exist gives the built-in look too, with error 10.
    explicit Skin(const char* path = "default");
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;

    // Loads the named bitmaps from a datafile (11 missing, 13 unreadable).
    virtual Error loadBitmaps(const char* datafile);
    // Loads the named cursors from a datafile (12 missing, 13 unreadable).
    virtual Error loadCursors(const char* datafile);
    // Loads the named samples from a datafile (12 missing, 13 unreadable).
    virtual Error loadSamples(const char* datafile);
    // Paints all 46 named bitmaps in the built-in look from the colours.
    virtual void generateDefaultBitmaps();
    // Paints one named bitmap in the built-in look.
    virtual void generateDefaultBitmap(int slot);
    // Every named sample becomes an empty sample.
    virtual void resetSamples();
    // Cursors 1 to 11 become the standard arrow, one frame.
    virtual void resetCursors();
    // Fonts 0 to 7 become Allegro's built-in font.
    virtual void resetFonts();
    // The built-in colours and per-type text colours, fonts and shadows.
    virtual void resetColors();
    // The built-in element settings; tile sizes -1 for the named bitmaps.
    virtual void resetSettings();
    virtual ~Skin();
    // Loads a description file: 10 if there is none (nothing changes then);
    // otherwise the built-in look first, then the bitmap datafile (11, 13),
    // the colours, the cursor and sample datafiles (12, 13), the fonts, the
    // widget type sections and the element settings. A datafile error ends
    // the load and is kept as error().
    virtual Error load(const char* descriptionFile);
    // Loads the description again, or resets to the built-in look when the
    // skin has none.
    virtual void reload();
    // Releases every bitmap, cursor, sample and font.
    virtual void unloadAll();
    // unloadAll, resetColors, resetSettings, resetFonts, resetCursors,
    // resetSamples, generateDefaultBitmaps.
    virtual void resetToDefault();

    // Stops the sample if it plays, then plays it once at the setting
    // soundVolume, centre pan, normal frequency. Empty or invalid slots are
    // ignored.
    void playSample(int slot);

    // The error of the last load and the description file loaded ("" for
    // the built-in look).
    const Error& error() const { return error_; }
    const std::string& fileName() const { return fileName_; }

    // Slot accessors. An index out of range gives slot 0 of its kind (never
    // memory outside the slots); the *_SLOTS constants give the counts.
    Bitmap& bitmap(int slot);
    const Bitmap& bitmap(int slot) const;
    Font& font(int slot);
    const Font& font(int slot) const;
    Cursor& cursor(int slot);
    const Cursor& cursor(int slot) const;
    Sample& sample(int slot);
    const Sample& sample(int slot) const;

    // Colours of section "COLORS".
    const SkinColors& colors() const { return colors_; }
    SkinColors& colors() { return colors_; }

    // Per widget type and state (out-of-range values are clamped).
    int fontIndex(int type, int state) const;
    Color textColor(int type, int state) const;
    Color shadowColor(int type, int state) const;
    // The font slot of fontIndex(type, state).
    Font& typeFont(int type, int state);
    void setFontIndex(int type, int state, int fontSlot);
    void setTextColor(int type, int state, Color color);
    void setShadowColor(int type, int state, Color color);

    // Element settings.
    const SkinElements& elements() const { return elements_; }
    SkinElements& elements() { return elements_; }

private:
    struct TypeLook {
        int font = 0;
        Color text = NO_COLOR;
        Color shadow = NO_COLOR;
    };

    void readColors();
    void readFonts(const std::string& baseDir);
    void readTypeLooks();
    void readElements();
    void readMouse();

    Error error_;
    std::string fileName_;
    std::unique_ptr<Bitmap[]> bitmaps_;
    std::unique_ptr<Font[]> fonts_;
    std::unique_ptr<Cursor[]> cursors_;
    std::unique_ptr<Sample[]> samples_;
    SkinColors colors_;
    TypeLook looks_[WIDGET_TYPES][STATES];
    SkinElements elements_;
};

// The global skin: created by installFramework, replaced by the program.
// setGlobalSkin takes ownership and destroys the previous global skin (unless
// it is the same one). Null before the framework is installed.
Skin* globalSkin();
void setGlobalSkin(Skin* skin);
