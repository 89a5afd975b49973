// Reading the settings keys, and repairing configuration text Allegro's
// parser cannot read safely. Shared key readers are gui/ConfigText.h.
#include "gui/Settings.h"

#include <allegro.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "gui/ConfigText.h"

Settings theSettings;

namespace {

const char* const section = "VERudeV";

// Values are used as they stand, at most this many bytes; a number too is
// read from its first bytes only.
constexpr std::size_t valueLimit = 255;

std::string valueText(const char* text)
{
    std::string out(text);
    if (out.size() > valueLimit)
        out.resize(valueLimit);
    return out;
}

int readInt(const char* key, int current)
{
    return readConfigInt(section, key, current, valueLimit);
}

bool readBool(const char* key, bool current)
{
    return readInt(key, current ? 1 : 0) != 0;
}

// The key's value in the file when there is one that starts with no number.
bool notANumber(const char* key, std::string& text)
{
    Converted sec(section), name(key);
    const char* value = get_config_string(sec.get(), name.get(), nullptr);
    if (!value)
        return false;
    const std::string given = valueText(value);
    char* end = nullptr;
    std::strtol(given.c_str(), &end, 10);
    if (end != given.c_str())
        return false;
    text = given;
    return true;
}

int readId(const char* key, int current)
{
    Converted sec(section), name(key);
    return get_config_id(sec.get(), name.get(), current);
}

std::string readText(const char* key, const std::string& current)
{
    Converted sec(section), name(key);
    std::string def = current.substr(0, valueLimit);
    Converted defConverted(def.c_str());
    const char* text = get_config_string(sec.get(), name.get(), defConverted.get());
    if (!text)
        return current;
    return valueText(text);
}

// Replaces every byte that does not belong to a well-formed UTF-8 sequence
// (at most four bytes, no overlong forms, no surrogates, at most U+10FFFF)
// by '?'. True when something was replaced.
bool repairUtf8(std::string& text)
{
    bool changed = false;
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int length = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3
                   : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
        bool ok = length > 0 && i + length <= text.size();
        for (int k = 1; ok && k < length; ++k)
            ok = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (ok && length >= 3) {
            unsigned char d = static_cast<unsigned char>(text[i + 1]);
            if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d > 0x9F) || (c == 0xF0 && d < 0x90) ||
                (c == 0xF4 && d > 0x8F))
                ok = false;
        }
        if (ok) {
            i += length;
        } else {
            text[i++] = '?';
            changed = true;
        }
    }
    return changed;
}

// Allegro's parser writes past its line buffer when a character of more than
// one byte crosses the buffer's end in UTF-8 mode: long lines keep their
// ASCII characters only, each other character becomes '?'. True when
// something was replaced.
bool shortenLongLines(std::string& text)
{
    constexpr std::size_t safeLength = 200;
    bool changed = false;
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string_view line(text.data() + start, end - start);
        bool wide = false;
        for (char c : line)
            wide = wide || static_cast<unsigned char>(c) >= 0x80;
        if (line.size() > safeLength && wide) {
            for (char c : line) {
                unsigned char u = static_cast<unsigned char>(c);
                if (u < 0x80)
                    out.push_back(c);
                else if (u >= 0xC0)
                    out.push_back('?');  // lead byte; continuation bytes are dropped
            }
            changed = true;
        } else {
            out.append(line);
        }
        start = end;
    }
    if (changed)
        text.swap(out);
    return changed;
}

}  // namespace

void setConfigFileForReading(const char* fileName)
{
    if (!fileName) {
        set_config_file(fileName);
        return;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) {
        // A folder or a device holds no settings; a missing file is Allegro's
        // empty configuration.
        if (std::filesystem::exists(fileName, ec))
            set_config_data("", 0);
        else
            set_config_file(fileName);
        return;
    }
    std::string text;
    if (std::FILE* f = std::fopen(fileName, "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    bool repaired = repairUtf8(text);
    if (get_uformat() == U_UTF8)
        repaired = shortenLongLines(text) || repaired;
    if (repaired)
        set_config_data(text.data(), static_cast<int>(text.size()));
    else
        set_config_file(fileName);
}

void Settings::load(const char* settingsFileName)
{
    if (!settingsFileName)
        return;
    fileName = settingsFileName;
    // The file is only read: Allegro's current configuration is put back
    // afterwards, and nothing in it was changed, so nothing is written.
    push_config_state();
    setConfigFileForReading(settingsFileName);
    readCurrentConfig();
    pop_config_state();
}

void Settings::readCurrentConfig()
{
    notNumbers.clear();
    for (const char* key : {"screenWidth", "screenHeight", "refreshRate", "colorDepth", "logicFrameRate",
                            "soundVolume", "doubleClickDelay", "mouseSpeed", "keyDelay", "keyRepeat",
                            "screenUpdateMethod", "maxFrameSkip"})
        if (std::string text; notANumber(key, text))
            notNumbers.emplace_back(key, std::move(text));

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
