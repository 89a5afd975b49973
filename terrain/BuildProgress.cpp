#include "terrain/BuildProgress.h"

#include <cstdio>

const char* stageFormat(int32_t stage)
{
    switch (stage) {
    case 1:
        return modelStageFormat;
    case 2:
        return markStageFormat;
    case 3:
        return graphStageFormat;
    default:
        return nullptr;
    }
}

std::string formatProgressLine(const char* format, int32_t done, int32_t total)
{
    char text[256];
    const int length = std::snprintf(text, sizeof text, format, done, total);
    if (length < 0)
        return {};
    return std::string(text, static_cast<std::size_t>(length) < sizeof text ? length : sizeof text - 1);
}
