// How the model build reports its three stages: stage numbers and patch
// counts only. The stages run in terrain/PatchGrid.cpp and route/Graph.cpp;
// the application and the tools turn the numbers into their own lines.
#pragma once

#include <cstdint>

// Receives the progress of the three build stages (1 model, 2 graph vertex
// marking, 3 graph building). After each patch of a stage it is told the
// stage number and two numbers: patches done and patches in all.
class BuildProgress {
public:
    virtual ~BuildProgress() = default;
    // Told once before the first patch of each stage.
    virtual void stageStarting(int32_t /*stage*/) {}
    virtual void stageProgress(int32_t stage, int32_t done, int32_t total) = 0;
};
