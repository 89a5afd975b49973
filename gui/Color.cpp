// Reading colour texts ("r,g,b", missing parts 0, clamped) and making
// pixel values of the current depth from them.
#include "gui/Color.h"

#include <allegro.h>

#include <algorithm>

namespace {

bool isSeparator(char c)
{
    return c == ',' || c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads an optionally signed decimal number at text[pos]; false when there is
// none. Long digit strings saturate instead of overflowing.
bool readNumber(std::string_view text, std::size_t& pos, long& value)
{
    std::size_t p = pos;
    bool negative = false;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || text[p] < '0' || text[p] > '9')
        return false;
    long v = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        v = std::min(v * 10 + (text[p] - '0'), 1000000L);
        ++p;
    }
    value = negative ? -v : v;
    pos = p;
    return true;
}

}  // namespace

ColorRgb parseColorText(std::string_view text)
{
    ColorRgb rgb;
    int parts[3] = {0, 0, 0};
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        while (pos < text.size() && isSeparator(text[pos]))
            ++pos;
        long value = 0;
        if (!readNumber(text, pos, value))
            break;
        if (i == 0 && value == -1) {
            rgb.none = true;
            return rgb;
        }
        parts[i] = static_cast<int>(std::clamp(value, 0L, 255L));
    }
    rgb.r = parts[0];
    rgb.g = parts[1];
    rgb.b = parts[2];
    return rgb;
}

Color makeColor(int r, int g, int b)
{
    return makecol(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
}

Color makeColor(const ColorRgb& rgb)
{
    return rgb.none ? NO_COLOR : makeColor(rgb.r, rgb.g, rgb.b);
}

Color colorFromText(std::string_view text)
{
    return makeColor(parseColorText(text));
}
