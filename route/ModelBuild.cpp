// The build in order: release, grid set-up, patches, stage 1 (terrain/), then
// stages 2 and 3 (route/Graph.cpp) over every patch.
#include "route/ModelBuild.h"

#include "route/Graph.h"
#include "route/ModelSearch.h"
#include "terrain/PatchGrid.h"

bool buildModelAndGraph(PatchGrid& grid, const HeightMap& map, int32_t patchSize, int32_t threshold,
                        BuildProgress* progress)
{
    // The old model goes first, whatever follows.
    releaseModelAndGraph(grid);

    if (!grid.setup(map, patchSize))
        return false;
    if (!grid.createPatches()) {
        releaseModelAndGraph(grid);
        return false;
    }
    grid.prepareModel();
    grid.buildModel(threshold, progress);
    // Stage 3 links inner vertices across patch borders, so stage 2 must be
    // done on every patch before stage 3 starts on any.
    markGraphVertices(grid, progress);
    buildGraph(grid, progress);
    return true;
}

void releaseModelAndGraph(PatchGrid& grid)
{
    modelSearch().clear();
    grid.releaseModel();
    edgeList().clear();
}
