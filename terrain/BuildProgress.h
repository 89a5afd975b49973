// How the model build reports its three stages, and their progress texts.
// The stages run in terrain/PatchGrid.cpp and route/Graph.cpp.
#pragma once

#include <cstdint>
#include <string>

// Receives the progress of the three build stages. After each patch of a
// stage it is told the stage number (1-3), the stage's printf format (Latin-1
// bytes, trailing blanks included, two %d) and the two numbers: patches done
// and patches in all. The application prints the line at (30, 550).
class BuildProgress {
public:
    virtual ~BuildProgress() = default;
    // Told once before the first patch of each stage (for timing; the
    // screen shows nothing then).
    virtual void stageStarting(int32_t /*stage*/) {}
    virtual void stageProgress(int32_t stage, const char* format, int32_t done, int32_t total) = 0;
};

// The three progress formats. The trailing blanks wipe out the rest of a
// longer line printed before at the same place.
inline constexpr const char modelStageFormat[] =
    "1. etapp - Mudeli koostamine: t\xf6\xf6tlen lappi %d/%d                    ";
inline constexpr const char markStageFormat[] =
    "2. etapp - Graafi tippude m\xe4rkimine: t\xf6\xf6tlen lappi %d/%d                  ";
inline constexpr const char graphStageFormat[] =
    "3. etapp - Graafi koostamine: t\xf6\xf6tlen lappi %d/%d                   ";

// The format of stage 1, 2 or 3 (null for any other number).
const char* stageFormat(int32_t stage);

// The progress line as printed: format filled with the two numbers.
std::string formatProgressLine(const char* format, int32_t done, int32_t total);
