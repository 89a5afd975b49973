// vaskur-route's model: loading, building through route/ModelBuild.h with
// stage timing, counts, and routes with their paths.
#include "tools/vaskur-route/Model.h"

#include "route/Graph.h"
#include "route/ModelBuild.h"
#include "route/ModelSearch.h"
#include "route/RouteSearch.h"
#include "terrain/BuildProgress.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "terrain/Vertex.h"

#include <chrono>

namespace vaskur_route {

Model::Model() : map_(std::make_unique<HeightMap>()), grid_(std::make_unique<PatchGrid>()) {}

Model::~Model()
{
    releaseModelAndGraph(*grid_);
}

bool Model::load(const std::string& fileName)
{
    return map_->load(fileName);
}

namespace {

// Times the build through its progress reports: the set-up ends where stage 1
// starts, and each stage ends with the report of its last patch.
class StageClock : public BuildProgress {
public:
    explicit StageClock(const Model::StageTimer& timer) : timer_(timer) {}

    // The time since the last lap (or since construction) goes to `stage`.
    void lap(const char* stage)
    {
        const auto now = Clock::now();
        if (timer_)
            timer_(stage, std::chrono::duration<double>(now - start_).count());
        start_ = now;
    }

    void stageStarting(int32_t stage) override
    {
        if (stage == 1)
            lap("patches");
    }

    void stageProgress(int32_t stage, int32_t done, int32_t total) override
    {
        static const char* const names[] = {"stage1", "stage2", "stage3"};
        if (done == total && stage >= 1 && stage <= 3)
            lap(names[stage - 1]);
    }

private:
    using Clock = std::chrono::steady_clock;
    const Model::StageTimer& timer_;
    Clock::time_point start_ = Clock::now();
};

} // namespace

bool Model::build(int patchSize, int threshold, const StageTimer& timer)
{
    StageClock clock(timer);
    // The old model goes first, timed on its own; buildModelAndGraph then
    // finds nothing left to release.
    releaseModelAndGraph(*grid_);
    clock.lap("release");
    return buildModelAndGraph(*grid_, *map_, patchSize, threshold, &clock);
}

std::int32_t Model::mapColumns() const { return map_->columns(); }
std::int32_t Model::mapRows() const { return map_->rows(); }
std::int32_t Model::bitsPerSample() const { return map_->bitsPerSample(); }
std::size_t Model::triangleCount() const { return triangleList().size(); }
std::size_t Model::vertexCount() const { return vertexList().size(); }
std::size_t Model::edgeCount() const { return edgeList().size(); }

Vertex* Model::nearestVertex(std::int32_t x, std::int32_t y) const
{
    return grid_->nearestVertex(x, y);
}

const SearchGraph& Model::searchGraph() const
{
    return modelSearch().graph();
}

RouteResult Model::route(const SearchGraph& graph, SearchWorkspace& workspace, std::int32_t x1, std::int32_t y1,
    std::int32_t x2, std::int32_t y2, bool quick) const
{
    RouteResult result;
    Vertex* start = nearestVertex(x1, y1);
    Vertex* target = nearestVertex(x2, y2);
    if (!start || !target)
        return result;
    result.from = {start->x, start->y};
    result.to = {target->x, target->y};
    RouteSearch search(graph, workspace);
    const Route route = quick ? search.quickSearch(start, target) : search.search(start, target);
    if (route.outcome == Route::Outcome::sameVertex)
        result.length = 0.0f;
    if (!route.found())
        return result;
    result.length = route.length;
    for (const uint32_t index : route.path) {
        const Vertex* vertex = graph.vertex(index);
        result.path.push_back({vertex->x, vertex->y});
    }
    result.brokenChain = result.path.empty();
    return result;
}

} // namespace vaskur_route
