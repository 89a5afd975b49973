// The grid of patches over the height map and the loop every build stage
// runs in; the whole build is route/ModelBuild.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "terrain/Patch.h"

class BuildProgress;
class HeightMap;
class Vertex;

// The grid of square patches laid over the height map. Patch (i, j) starts
// at sample (i * patchSize, j * patchSize); neighbouring patches share their
// border samples. The grid owns its patch array; the triangles and vertices
// belong to the model lists (terrain/ModelLists.h).
//
// A whole build (old model released, stages 1-3) is done by
// buildModelAndGraph in route/ModelBuild.h; the steps are, in order:
//   releaseModel(); setup(map, patchSize); createPatches(); prepareModel();
//   buildModel(threshold); then graph marking and graph building (route).
class PatchGrid {
public:
    PatchGrid();
    // Releases the model this grid built (every triangle and vertex).
    virtual ~PatchGrid();

    PatchGrid(const PatchGrid&) = delete;
    PatchGrid& operator=(const PatchGrid&) = delete;

    // Drops the patch array and destroys every triangle and vertex of the
    // current model through the model lists. The grid is empty afterwards.
    void releaseModel();

    // Chooses the map and patch size: columns = map columns / patchSize,
    // rows = map rows / patchSize. False (and an empty grid) when the map is
    // empty or patchSize is below 2 or leaves no whole patch.
    bool setup(const HeightMap& map, int32_t patchSize);

    // Replaces the patch array by columns x rows new patches and gives each
    // its geometry and corner vertices (column outer, row inner). False when
    // memory ran out; the grid is then empty.
    bool createPatches();

    // Resets every patch to four leaves and links the leaves along patch
    // borders (and re-points the origin root corners to the shared ones).
    void prepareModel();

    // Stage 1 over all patches, reporting its progress after each patch.
    void buildModel(int32_t threshold, BuildProgress* progress = nullptr);

    // Runs one stage: `operation` on every patch (column outer, row inner),
    // telling `progress` the stage is starting, then reporting after each
    // patch the stage number, patches done and total. Stages 2 and 3
    // (route library) use this loop.
    void runStage(int32_t stage, const std::function<void(Patch&)>& operation, BuildProgress* progress);

    // The vertex nearest to the map point (px, py) within the one patch that
    // contains it: column min(px / patchSize, columns - 1), row likewise, so a
    // point on the map's last sample column or row is answered by the last
    // patch. Null when the grid is empty or a coordinate is negative.
    Vertex* nearestVertex(int32_t px, int32_t py) const;

    // Element column + row * columns; no bounds check.
    Patch& patchAt(int32_t column, int32_t row) { return *patches_[column + static_cast<std::size_t>(row) * columns_]; }
    const Patch& patchAt(int32_t column, int32_t row) const { return *patches_[column + static_cast<std::size_t>(row) * columns_]; }

    int32_t patchSize() const { return patchSize_; }
    int32_t columns() const { return columns_; }
    int32_t rows() const { return rows_; }
    const HeightMap* heightMap() const { return heightMap_; }
    bool empty() const { return patches_.empty(); }

private:
    std::vector<std::unique_ptr<Patch>> patches_;
    int32_t patchSize_ = 0;
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    const HeightMap* heightMap_ = nullptr;
};
