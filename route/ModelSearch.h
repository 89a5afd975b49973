// The searches of the current model as the program runs them in its window:
// the index form of the model's graph, built on the first search and again
// after the model changed, one workspace, and every vertex's `cost`,
// `estimate` and `previous` written after each search, which is where the
// map view and the program's behaviour expect the last search's result.
// Single-threaded: searches on other threads take graph() once and run
// RouteSearch with workspaces of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "route/Route.h"
#include "route/SearchGraph.h"
#include "route/SearchWorkspace.h"

class SearchObserver;
class Vertex;

class ModelSearch {
public:
    // The index form of the current model's graph, built anew when the
    // model has changed since (or was never built).
    const SearchGraph& graph();

    // A full or quick search (RouteSearch) between two vertices of the current
    // model; afterwards every vertex holds the cost, estimate and predecessor
    // the search gave it (0, 0 and null when it was not reached). A search of
    // the same vertex twice, or of a vertex outside the graph, writes nothing.
    Route search(const Vertex* start, const Vertex* target, SearchObserver* observer = nullptr);
    Route quickSearch(const Vertex* start, const Vertex* target, SearchObserver* observer = nullptr);

    // Code other than the searches that writes cost, estimate or previous of
    // the vertices calls this, so that the next search writes all of them.
    void vertexFieldsChanged() { writtenKnown_ = false; }

    // Frees the graph and the working state (the model is going away).
    void clear();

private:
    Route run(const Vertex* start, const Vertex* target, bool quick, SearchObserver* observer);
    void writeVertexFields();

    std::unique_ptr<SearchGraph> graph_;
    SearchWorkspace workspace_;
    // The vertices whose fields the last search set (those it reached);
    // every other vertex has held 0, 0 and null since then, so the next
    // search writes only these and its own. Not known after a build, nor
    // once other code has written those fields.
    std::vector<uint32_t> written_;
    bool writtenKnown_ = false;
};

// The process-wide searches of the current model (route/ModelBuild.h
// releases them with the model).
ModelSearch& modelSearch();
