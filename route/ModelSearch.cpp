// The window's searches of the current model and the write-back of their
// results into the vertices.
#include "route/ModelSearch.h"

#include "route/RouteSearch.h"
#include "terrain/ModelLists.h"
#include "terrain/Vertex.h"

ModelSearch& modelSearch()
{
    static ModelSearch search;
    return search;
}

const SearchGraph& ModelSearch::graph()
{
    if (!graph_ || !graph_->matchesModel()) {
        graph_.reset();
        graph_ = std::make_unique<SearchGraph>(SearchGraph::ofCurrentModel());
        writtenKnown_ = false;
    }
    return *graph_;
}

void ModelSearch::clear()
{
    graph_.reset();
    workspace_ = SearchWorkspace();
    std::vector<uint32_t>().swap(written_);
    writtenKnown_ = false;
}

Route ModelSearch::search(const Vertex* start, const Vertex* target, SearchObserver* observer)
{
    return run(start, target, false, observer);
}

Route ModelSearch::quickSearch(const Vertex* start, const Vertex* target, SearchObserver* observer)
{
    return run(start, target, true, observer);
}

Route ModelSearch::run(const Vertex* start, const Vertex* target, bool quick, SearchObserver* observer)
{
    const SearchGraph& searched = graph();
    RouteSearch routeSearch(searched, workspace_, observer);
    Route route = quick ? routeSearch.quickSearch(start, target) : routeSearch.search(start, target);
    // The same vertex twice, or one outside the graph, is not searched.
    const bool ran = start != target && searched.indexOf(start) != SearchGraph::none
        && searched.indexOf(target) != SearchGraph::none;
    if (ran)
        writeVertexFields();
    return route;
}

// Every vertex gets its cost, estimate and predecessor from the workspace.
// Only the vertices this search or the one before reached are written,
// unless the others may hold something else (a new graph, or fields written
// elsewhere): then all of them, in list order, which is the order the
// vertices lie in memory.
void ModelSearch::writeVertexFields()
{
    const SearchGraph& graph = *graph_;
    auto store = [&](Vertex* vertex, uint32_t i) {
        vertex->cost = workspace_.cost(i);
        vertex->estimate = workspace_.estimate(i);
        const uint32_t previous = workspace_.previous(i);
        vertex->previous = previous == SearchGraph::none ? nullptr : graph.vertex(previous);
    };
    if (writtenKnown_) {
        for (uint32_t i : written_) {
            Vertex* vertex = graph.vertex(i);
            vertex->cost = 0.0f;
            vertex->estimate = 0.0f;
            vertex->previous = nullptr;
        }
        for (uint32_t i : workspace_.reached())
            store(graph.vertex(i), i);
    } else {
        for (Vertex* vertex : vertexList())
            store(vertex, vertex->searchIndex);
        for (uint32_t i = graph.listed(); i < graph.size(); ++i)
            store(graph.vertex(i), i);
    }
    // What this search reached is what the next one clears.
    written_.assign(workspace_.reached().begin(), workspace_.reached().end());
    writtenKnown_ = true;
}
