// Reading Allegro's current configuration, shared by the settings
// (gui/Settings.cpp) and the skin description (gui/Skin.cpp): ASCII names
// converted to Allegro's text format, and the one integer reader.
#pragma once

#include <cstddef>
#include <limits>

// An ASCII text (a section, key or default) converted to Allegro's current
// text format before it is handed to Allegro's configuration routines.
class Converted {
public:
    explicit Converted(const char* ascii);
    const char* get() const { return text_; }

private:
    char buffer_[256];
    const char* text_;  // buffer_, or the input when nothing was converted
};

// The decimal number the text starts with (after blanks, clamped to int),
// or `def` when it starts with none.
int parseDecimal(const char* text, int def);

// The integer value of a key of Allegro's current configuration: `def` when
// the key is absent, 0 when its value starts with no number. Only the first
// `maxBytes` bytes of the value are read: the settings read 255, the skin
// description reads all of it.
int readConfigInt(const char* section, const char* key, int def,
                  std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
