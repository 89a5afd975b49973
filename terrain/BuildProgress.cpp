// The stage format by number and the filled progress line (the printing
// helper is terrain/FormatLine.h).
#include "terrain/BuildProgress.h"

#include "terrain/FormatLine.h"

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
    return formatLine<256>(format, done, total);
}
