// The shared configuration helpers declared in gui/ConfigText.h; the keys
// themselves are read in gui/Settings.cpp and gui/Skin.cpp.
#include "gui/ConfigText.h"

#include <allegro.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

Converted::Converted(const char* ascii) : text_(uconvert(ascii, U_ASCII, buffer_, U_CURRENT, sizeof buffer_)) {}

int parseDecimal(const char* text, int def)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text)
        return def;
    return static_cast<int>(std::clamp(value, long(INT_MIN), long(INT_MAX)));
}

int readConfigInt(const char* section, const char* key, int def, std::size_t maxBytes)
{
    Converted sec(section), name(key);
    const char* text = get_config_string(sec.get(), name.get(), nullptr);
    if (!text)
        return def;
    const std::string value(text, std::min(std::strlen(text), maxBytes));
    return parseDecimal(value.c_str(), 0);
}
