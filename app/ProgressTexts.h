// The lines the main window prints while a model is built and a route is
// searched: the Estonian progress and status formats and the lines filled
// from the numbers terrain/BuildProgress.h and route/RouteSearch.h report.
// Latin-1 bytes; app/ScreenReporters.cpp prints them.
#pragma once

#include <cstdint>
#include <string>

#include "app/FormatLine.h"
#include "route/RouteSearch.h"

// The three build progress formats (two %d: patches done, patches in all).
// The trailing blanks wipe out the rest of a longer line printed before at
// the same place.
inline constexpr const char modelStageFormat[] =
    "1. etapp - Mudeli koostamine: t\xf6\xf6tlen lappi %d/%d                    ";
inline constexpr const char markStageFormat[] =
    "2. etapp - Graafi tippude m\xe4rkimine: t\xf6\xf6tlen lappi %d/%d                  ";
inline constexpr const char graphStageFormat[] =
    "3. etapp - Graafi koostamine: t\xf6\xf6tlen lappi %d/%d                   ";

// Status formats (one %f, the best length) of the full search (80 characters
// once %f is counted as 2) and of the quick search (88).
inline constexpr const char searchPassFormat[] =
    "L\xe4" "bin tippe. (L\xfchim tee: %f)                                                    ";
inline constexpr const char searchCorrectionFormat[] =
    "Korrigeerin. (L\xfchim tee: %f)                                                    ";
inline constexpr const char quickSearchPassFormat[] =
    "L\xe4" "bin tippe. (L\xfchim tee: %f)                                                            ";
inline constexpr const char quickSearchCorrectionFormat[] =
    "Korrigeerin. (L\xfchim tee: %f)                                                            ";

// The format of stage 1, 2 or 3 (null for any other number).
inline const char* stageFormat(int32_t stage)
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

// The status format of a search kind and phase.
inline const char* searchStatusFormat(SearchKind kind, SearchPhase phase)
{
    if (kind == SearchKind::quick)
        return phase == SearchPhase::pass ? quickSearchPassFormat : quickSearchCorrectionFormat;
    return phase == SearchPhase::pass ? searchPassFormat : searchCorrectionFormat;
}

// The progress line as printed: format filled with the two numbers.
inline std::string formatProgressLine(const char* format, int32_t done, int32_t total)
{
    return formatLine<256>(format, done, total);
}

// The status line as printed: format filled with the length.
inline std::string formatStatusLine(const char* format, double shownLength)
{
    return formatLine<512>(format, shownLength);
}
