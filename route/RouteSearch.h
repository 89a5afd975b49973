// The route search: its observer, its status texts and the search itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "route/OpenList.h"

class SearchGraph;

struct Edge;
class Vertex;

// Receives what a search shows while it runs: the status line (a printf
// format with one %f, Latin-1 bytes, trailing blanks included, and the length
// to put in it) and every edge it examines (drawn as a grey line from
// (from.x + 10, from.y + 10) to (to.x + 10, to.y + 10)).
class SearchObserver {
public:
    virtual ~SearchObserver() = default;
    virtual void statusLine(const char* format, double shownLength) = 0;
    virtual void examinedEdge(const Edge& edge) = 0;
};

// Status formats of the full search (80 characters once %f is counted as 2)
// and of the quick search (88).
inline constexpr const char searchPassFormat[] =
    "L\xe4" "bin tippe. (L\xfchim tee: %f)                                                    ";
inline constexpr const char searchCorrectionFormat[] =
    "Korrigeerin. (L\xfchim tee: %f)                                                    ";
inline constexpr const char quickSearchPassFormat[] =
    "L\xe4" "bin tippe. (L\xfchim tee: %f)                                                            ";
inline constexpr const char quickSearchCorrectionFormat[] =
    "Korrigeerin. (L\xfchim tee: %f)                                                            ";

// The status line as printed: format filled with the length.
std::string formatStatusLine(const char* format, double shownLength);

// (b.x - a.x)^2 + (b.y - a.y)^2 + (b.height - a.height)^2, exact, as float.
float squaredDistance(const Vertex& a, const Vertex& b);

// One route search over the graph of the current model. It runs over the
// index form of the graph (route/SearchGraph.h), built on the first search of
// a model; when it ends, `cost`, `estimate` and `previous` of every vertex
// are written back, so following `previous` from the target leads back to
// the start. Use a fresh object for every search.
//
// Ties: every time a vertex enters the open list it gets the next number of
// the search's entry sequence (the start first; a vertex dropped by pruning
// that comes back gets a new one). Among vertices of equal cost plus
// estimate (summed in double), the one with the larger number comes first; a
// correction that changes an open vertex's total keeps its number.
class RouteSearch {
public:
    explicit RouteSearch(SearchObserver* observer = nullptr);
    virtual ~RouteSearch();

    RouteSearch(const RouteSearch&) = delete;
    RouteSearch& operator=(const RouteSearch&) = delete;

    // Best-first search that goes on until the open list is empty, pruning
    // by the best length found and correcting cheaper ways to seen vertices.
    // 0: start and target are the same vertex (nothing is touched);
    // positive: the route length; -1: no route (also for a null vertex or
    // one that is not in the vertex list nor reached by an edge of it).
    float search(Vertex* start, Vertex* target);

    // The same search, ending as soon as the target is taken from the open list.
    float quickSearch(Vertex* start, Vertex* target);

    float bestLength() const { return bestLength_; }
    Vertex* target() const { return target_; }

    // Work done so far: vertices taken from the open list, corrections, and
    // edges looked at inside corrections.
    struct Work {
        long long passes = 0;
        long long corrections = 0;
        long long correctionEdges = 0;
    };
    const Work& work() const { return work_; }

private:
    struct Frame {
        uint32_t vertex;
        float cost;
        uint32_t nextArc;
        uint32_t endArc;
    };

    float run(Vertex* start, Vertex* target, bool quick);
    void expand(uint32_t current, const char* passFormat, const char* correctionFormat);
    void propagate(uint32_t vertex, float newCost);
    void enterCost(uint32_t vertex, float newCost);
    void enterOpen(uint32_t vertex);
    void startCorrection();
    void status(const char* format);
    double shownLength() const;
    void writeBack();

    SearchObserver* observer_;
    float bestLength_ = 0.0f;
    Vertex* target_ = nullptr;
    Work work_;

    SearchGraph* graph_ = nullptr;
    uint32_t targetIndex_ = 0;
    SearchVertex* vertices_ = nullptr;  // by vertex number (the graph's working arrays)
    float* estimates_ = nullptr;        // by vertex number
    std::vector<uint32_t> reached_;     // every vertex given a cost, to clean up after
    OpenList open_;
    std::vector<Frame> stack_;  // explicit stack of propagate
    uint32_t sequence_ = 0;     // entry numbers handed out so far
    uint32_t correction_ = 0;   // number of the running correction
};
