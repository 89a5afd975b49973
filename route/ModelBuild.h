// The whole build of model and graph in one call, its threshold rule and its
// release: what the main window (app/) and vaskur-route (tools/) both run.
#pragma once

#include <cstdint>

class BuildProgress;
class HeightMap;
class PatchGrid;

// The split threshold a build uses for the one a user gives: a negative one
// becomes 5, any other stays.
constexpr int32_t buildThreshold(int32_t requested)
{
    return requested < 0 ? 5 : requested;
}

// The whole build of the terrain model and route graph:
//   1. destroy every triangle and vertex of the old model, empty the edge list;
//   2. set up the grid on `map` with `patchSize`;
//   3. createPatches, prepareModel, stage 1 (buildModel with `threshold`),
//      stage 2 (graph vertex marking), stage 3 (graph building),
// each stage reporting its progress lines to `progress` (null = silent).
// False when no model can be built (empty map, patch size below 2 or larger
// than the map, no memory); the old model is gone and the grid is empty then.
bool buildModelAndGraph(PatchGrid& grid, const HeightMap& map, int32_t patchSize, int32_t threshold,
                        BuildProgress* progress = nullptr);

// Destroys every triangle and vertex (with their edges) of the current model
// through the model lists, empties the grid and the edge list, and frees the
// index form of the graph the searches use.
void releaseModelAndGraph(PatchGrid& grid);
