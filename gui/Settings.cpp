#include "gui/Settings.h"

#include <allegro.h>

#include <climits>
#include <cstdlib>
#include <cstring>

Settings theSettings;

namespace {

const char* const section = "VERudeV";

// Texts handed to Allegro's configuration routines are first converted from
// ASCII to Allegro's current text format.
class Converted {
public:
    explicit Converted(const char* ascii)
        : text_(uconvert(ascii, U_ASCII, buffer_, U_CURRENT, sizeof buffer_))
    {
    }
    const char* get() const { return text_; }

private:
    char buffer_[256];
    const char* text_;  // buffer_, or the input when nothing was converted
};

// Back from Allegro's text format to ASCII, at most 255 bytes.
std::string toAscii(const char* text)
{
    char buffer[256];
    std::string out(uconvert(text, U_CURRENT, buffer, U_ASCII, sizeof buffer));
    if (out.size() > 255)
        out.resize(255);
    return out;
}

int readInt(const char* key, int current)
{
    Converted sec(section), name(key);
    const char* text = get_config_string(sec.get(), name.get(), nullptr);
    if (!text)
        return current;
    std::string ascii = toAscii(text);
    long value = std::strtol(ascii.c_str(), nullptr, 10);
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<int>(value);
}

bool readBool(const char* key, bool current)
{
    return readInt(key, current ? 1 : 0) != 0;
}

int readId(const char* key, int current)
{
    Converted sec(section), name(key);
    return get_config_id(sec.get(), name.get(), current);
}

std::string readText(const char* key, const std::string& current)
{
    Converted sec(section), name(key);
    std::string def = current.substr(0, 255);
    Converted defConverted(def.c_str());
    const char* text = get_config_string(sec.get(), name.get(), defConverted.get());
    if (!text)
        return current;
    return toAscii(text);
}

}  // namespace

void Settings::load(const char* settingsFileName)
{
    if (!settingsFileName)
        return;
    fileName = settingsFileName;
    // The file is only read: Allegro's current configuration is put back
    // afterwards, and nothing in it was changed, so nothing is written.
    push_config_state();
    set_config_file(settingsFileName);
    readCurrentConfig();
    pop_config_state();
}

void Settings::readCurrentConfig()
{
    skinPath = readText("skinPath", skinPath);
    screenWidth = readInt("screenWidth", screenWidth);
    screenHeight = readInt("screenHeight", screenHeight);
    refreshRate = readInt("refreshRate", refreshRate);
    colorDepth = readInt("colorDepth", colorDepth);
    gfxMode = readId("gfxMode", gfxMode);
    fullscreen = readBool("fullscreen", fullscreen);
    useVideoMemory = readBool("useVideoMemory", useVideoMemory);
    fullResize = readBool("fullResize", fullResize);
    fullDrag = readBool("fullDrag", fullDrag);
    logicFrameRate = readInt("logicFrameRate", logicFrameRate);
    unlimitedFrameRate = readBool("unlimitedFrameRate", unlimitedFrameRate);
    showFrameRate = readBool("showFrameRate", showFrameRate);
    antialiasing = readBool("antialiasing", antialiasing);
    guiSound = readBool("guiSound", guiSound);
    soundVolume = readInt("soundVolume", soundVolume);
    soundDriver = readId("soundDriver", soundDriver);
    midiDriver = readId("midiDriver", midiDriver);
    showMouse = readBool("showMouse", showMouse);
    mouseShadow = readBool("mouseShadow", mouseShadow);
    doubleClickDelay = readInt("doubleClickDelay", doubleClickDelay);
    mouseSpeed = readInt("mouseSpeed", mouseSpeed);
    useKeyboard = readBool("useKeyboard", useKeyboard);
    keyDelay = readInt("keyDelay", keyDelay);
    keyRepeat = readInt("keyRepeat", keyRepeat);
    useJoystick = readBool("useJoystick", useJoystick);
    screenUpdateMethod = readInt("screenUpdateMethod", screenUpdateMethod);
    vsync = readBool("vsync", vsync);
    yield = readBool("yield", yield);
    runInBackground = readBool("runInBackground", runInBackground);
    maxFrameSkip = readInt("maxFrameSkip", maxFrameSkip);
}
