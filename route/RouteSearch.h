#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// One route search over the graph of the current model. Results stay in the
// vertices (`cost`, `previous`): following `previous` from the target leads
// back to the start. Use a fresh object for every search.
class RouteSearch {
public:
    explicit RouteSearch(SearchObserver* observer = nullptr);
    virtual ~RouteSearch();

    RouteSearch(const RouteSearch&) = delete;
    RouteSearch& operator=(const RouteSearch&) = delete;

    // Best-first search that goes on until the open list is empty, pruning
    // by the best length found and correcting cheaper ways to seen vertices.
    // 0: start and target are the same vertex (nothing is touched);
    // positive: the route length; -1: no route (also for a null vertex).
    float search(Vertex* start, Vertex* target);

    // The same search, ending as soon as the target is taken from the open list.
    float quickSearch(Vertex* start, Vertex* target);

    float bestLength() const { return bestLength_; }
    Vertex* target() const { return target_; }

private:
    struct OpenEntry {
        double total;
        Vertex* vertex;
        uint32_t version;
    };
    struct Frame {
        Vertex* vertex;
        float cost;
        std::size_t nextEdge;
    };

    float run(Vertex* start, Vertex* target, bool quick);
    void propagate(Vertex* vertex, float newCost);
    void enterCost(Vertex* vertex, float newCost);
    void pushOpen(Vertex* vertex);
    Vertex* openFront();
    void popOpenFront();
    void status(const char* format);
    double shownLength() const;
    void startCorrection();

    SearchObserver* observer_;
    float bestLength_ = 0.0f;
    Vertex* target_ = nullptr;
    std::vector<OpenEntry> open_;  // binary heap with stale entries skipped
    std::size_t openCount_ = 0;    // vertices currently in the open list
    std::vector<Frame> stack_;     // explicit stack of propagate
    uint32_t correction_ = 0;      // mark of the running correction
};
