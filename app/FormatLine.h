// The one helper that fills a printf format for a line on the screen: the
// build progress and search status lines (app/ProgressTexts.h) and their
// printing (app/ScreenReporters.cpp).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>

// The format filled with the values as a buffer of `Size` bytes holds it:
// cut to Size - 1 bytes. Empty when the format cannot be used.
template <std::size_t Size, class... Values>
std::string formatLine(const char* format, Values... values)
{
    char text[Size];
    const int length = std::snprintf(text, Size, format, values...);
    if (length < 0)
        return {};
    return std::string(text, std::min(static_cast<std::size_t>(length), Size - 1));
}
