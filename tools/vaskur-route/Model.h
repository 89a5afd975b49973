// The terrain model and route graph of one height map, built the way the
// main window builds them, with routes found between map points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class HeightMap;
class PatchGrid;
class SearchGraph;
class SearchWorkspace;
class Vertex;

namespace vaskur_route {

struct MapPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct RouteResult {
    MapPoint from;  // the vertex nearest to the first point
    MapPoint to;    // the vertex nearest to the second point
    // Positive: the route's length; 0: both points have the same vertex;
    // -1: no route.
    float length = -1.0f;
    // The route from `from` to `to`; empty unless the length is positive.
    std::vector<MapPoint> path;
    // A route was found but its predecessors did not lead back to the start.
    bool brokenChain = false;
};

class Model {
public:
    // Called after each build stage with its name and the seconds it took.
    using StageTimer = std::function<void(const char* stage, double seconds)>;

    Model();
    ~Model();

    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Loads the map as the main window does; false when it can't be read.
    bool load(const std::string& fileName);

    // Destroys any earlier model and builds the model and graph of the loaded
    // map with buildModelAndGraph (route/ModelBuild.h): grid set-up, patches,
    // stage 1 with `threshold`, stages 2 and 3, timed as "release",
    // "patches", "stage1", "stage2" and "stage3". False when no grid can be
    // laid over the map.
    bool build(int patchSize, int threshold, const StageTimer& timer = {});

    std::int32_t mapColumns() const;
    std::int32_t mapRows() const;
    std::int32_t bitsPerSample() const;
    std::size_t triangleCount() const;
    std::size_t vertexCount() const;
    std::size_t edgeCount() const;

    // The vertex the main window would pick for a map point (which must lie
    // on the map).
    Vertex* nearestVertex(std::int32_t x, std::int32_t y) const;

    // The index form of the built model's graph, for route(); built on the
    // first call after a build.
    const SearchGraph& searchGraph() const;

    // A search between the vertices nearest to the two map points, over
    // `graph` (searchGraph()) in `workspace`. Routes may be searched on
    // several threads at once, each with a workspace of its own.
    RouteResult route(const SearchGraph& graph, SearchWorkspace& workspace, std::int32_t x1, std::int32_t y1,
        std::int32_t x2, std::int32_t y2, bool quick) const;

    const HeightMap& heightMap() const { return *map_; }
    PatchGrid& grid() const { return *grid_; }

private:
    std::unique_ptr<HeightMap> map_;
    std::unique_ptr<PatchGrid> grid_;
};

} // namespace vaskur_route
