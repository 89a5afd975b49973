// The framework's settings record and its loading, and safe reading of
// Allegro configuration files (also used for skins, gui/Skin.cpp).
#pragma once

#include <string>
#include <utility>
#include <vector>

// The framework's process-wide settings, read once at start-up from the
// section "VERudeV" of an Allegro configuration file. Each field is named
// after its key; the initializers are the values before any file is read.
struct Settings {
    std::string skinPath = "default";  // at most 255 bytes
    int screenWidth = 640;
    int screenHeight = 480;
    int refreshRate = 60;
    int colorDepth = 16;               // < 1: the desktop's depth
    int gfxMode = 0;                   // Allegro driver id; <= 2 defers to fullscreen
    bool fullscreen = true;
    bool useVideoMemory = false;
    bool fullResize = true;
    bool fullDrag = true;
    int logicFrameRate = 50;
    bool unlimitedFrameRate = false;
    bool showFrameRate = false;
    bool antialiasing = true;
    bool guiSound = true;
    int soundVolume = 255;
    int soundDriver = -1;              // Allegro driver id, -1 autodetect
    int midiDriver = -1;               // Allegro driver id, -1 autodetect
    bool showMouse = true;
    bool mouseShadow = true;           // forced off at 8 bits per pixel
    int doubleClickDelay = 200;
    int mouseSpeed = 2;
    bool useKeyboard = true;
    int keyDelay = 160;                // -1 leaves Allegro's repeat rate alone
    int keyRepeat = 80;                // -1 leaves Allegro's repeat rate alone
    bool useJoystick = false;
    int screenUpdateMethod = 3;
    bool vsync = false;
    bool yield = true;
    bool runInBackground = true;
    int maxFrameSkip = 5;

    // Name of the settings file last given to load.
    std::string fileName = "allegro.cfg";

    // Integer keys whose value in the file starts with no number, each with
    // the text given; load reads them as 0, checkValues puts them right.
    std::vector<std::pair<std::string, std::string>> notNumbers;
    // One line for every value checkValues replaced, naming the file, the
    // key and the value used instead.
    std::vector<std::string> replaced;

    // The smallest window the framework accepts from a settings file.
    static constexpr int smallestWidth = 640;
    static constexpr int smallestHeight = 480;

    virtual ~Settings() = default;

    // Reads every key from the section "VERudeV" of the file, each with the
    // current value as its default, so missing keys (or a missing file or
    // section) keep what the record holds. A null name does nothing. The file
    // is only read: Allegro's current configuration is restored afterwards
    // and nothing is ever written.
    void load(const char* settingsFileName);

    // Reads the keys from Allegro's current configuration (the same as load
    // without changing the configuration file).
    void readCurrentConfig();

    // Puts every integer setting that the file gave no number for, or a
    // number it cannot work with, back to its initial value, and notes it
    // in `replaced`: a size below the smallest window or above the screen
    // (`screenW` x `screenH`; 0 when unknown), a colour depth other than
    // 8, 15, 16, 24, 32 or the desktop's (below 1), a negative rate, delay,
    // speed, frame skip or volume (-1 is kept for the keyboard repeat), a
    // logic rate of 0, a volume above 255. (gui/SettingsCheck.cpp)
    void checkValues(int screenW, int screenH);
};

// The global settings record.
extern Settings theSettings;

// Makes a file Allegro's current configuration for reading, like
// set_config_file. Allegro reads configuration text as UTF-8 and converts it
// to the current text format; byte sequences that are not UTF-8 are read as
// '?' (Allegro's parser can loop forever on some of them). In UTF-8 mode the
// characters of more than one byte on lines longer than 200 bytes are read
// as '?' too (Allegro's parser overruns its line buffer on them).
void setConfigFileForReading(const char* fileName);
