// Cross-checks of the route searches on the very graph the model build
// produced, over generated maps, several patch sizes and thresholds and many
// random point pairs: against Boost Graph's Dijkstra (lengths and routes) and
// against the plain-list search (everything the search shows and leaves).
#include "app/ProgressTexts.h"
#include "route/Graph.h"
#include "route/ModelBuild.h"
#include "route/ModelSearch.h"
#include "route/RouteSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "terrain/Vertex.h"
#include "tools/vaskur-mapgen/MapGen.h"
#include "tests/support/LiteralSearch.h"
#include "tests/support/temp_files.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

struct Config {
    const char* name;
    int side;
    int bits;
    std::uint64_t seed;
    double steepPercent;
    int patchSize;
    int threshold;
    bool walled;  // a raised disc whose rim can't be climbed: inside and outside are cut apart
};

void PrintTo(const Config& c, std::ostream* os) { *os << c.name; }

const Config configs[] = {
    {"hills257_8bit_patch16_t1", 257, 8, 21, 2.0, 16, 1, false},
    {"hills257_16bit_patch32_t3", 257, 16, 22, 2.0, 32, 3, false},
    {"crags257_16bit_patch64_t1", 257, 16, 23, 15.0, 64, 1, false},
    {"crags257_8bit_patch16_t2", 257, 8, 24, 25.0, 16, 2, false},
    {"walled257_16bit_patch32_t2", 257, 16, 25, 2.0, 32, 2, true},
    {"hills257_8bit_patch256_t25", 257, 8, 26, 2.0, 256, 25, false},
    {"walled257_8bit_patch128_t2", 257, 8, 27, 5.0, 128, 2, true},
};

// A generated map, loaded and built into model and graph; everything is
// released after the test.
class BuiltMap : public ::testing::Test {
protected:
    void TearDown() override { releaseModelAndGraph(grid); }

    // Makes the map file (with a raised disc whose rim can't be climbed when
    // `walled`), loads it and builds the model and graph.
    void loadBuilt(const mapgen::Options& o, bool walled, const char* name, int patchSize, int threshold)
    {
        std::vector<std::uint16_t> heights = mapgen::generate(o);
        ASSERT_FALSE(heights.empty());
        if (walled) {
            const int r = o.side / 5, cx = o.side / 2, cy = o.side / 3;
            for (int y = 0; y < o.side; ++y)
                for (int x = 0; x < o.side; ++x)
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                        heights[static_cast<std::size_t>(y) * o.side + x] += 6;
        }
        const testkit::TempDir dir("vaskur-crosscheck");
        const std::string path = dir.file(std::string(name) + ".raw");
        ASSERT_TRUE(writeRaw(path, heights, o.side, o.bits));
        ASSERT_TRUE(map.load(path));
        ASSERT_EQ(map.columns(), o.side);
        ASSERT_TRUE(buildModelAndGraph(grid, map, patchSize, threshold));
    }

    HeightMap map;
    PatchGrid grid;
};

// A built map and a copy of its graph for Boost.
class CrossCheck : public BuiltMap, public ::testing::WithParamInterface<Config> {
protected:
    void SetUp() override
    {
        const Config& c = GetParam();
        mapgen::Options o;
        o.side = c.side;
        o.bits = c.bits;
        o.seed = c.seed;
        o.steepPercent = c.steepPercent;
        ASSERT_NO_FATAL_FAILURE(loadBuilt(o, c.walled, c.name, c.patchSize, c.threshold));
        snapshot();
    }

    // Index every vertex and copy the edges held by the vertices into a
    // compressed graph for Boost.
    void snapshot()
    {
        const VertexList& list = vertexList();
        vertices.assign(list.begin(), list.end());
        for (std::size_t i = 0; i < vertices.size(); ++i)
            index.emplace(vertices[i], static_cast<int>(i));
        std::vector<std::pair<int, int>> pairs;
        weights.clear();
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            for (const Edge& e : vertices[i]->edges) {
                ASSERT_EQ(e.from, vertices[i]);
                ASSERT_GT(e.weight, 0);
                const auto to = index.find(e.to);
                ASSERT_NE(to, index.end()) << "edge to a vertex missing from the vertex list";
                pairs.emplace_back(static_cast<int>(i), to->second);
                weights.push_back(EdgeWeight{e.weight});
            }
        }
        ASSERT_EQ(pairs.size(), edgeList().size()) << "edge count differs from the edges held by the vertices";
        graph = Graph(boost::edges_are_unsorted_multi_pass, pairs.begin(), pairs.end(), weights.begin(),
            vertices.size());
    }

    // Shortest distances from `source` to every vertex (infinity: unreachable).
    std::vector<double> dijkstra(const Vertex* source) const
    {
        std::vector<double> dist(vertices.size());
        boost::dijkstra_shortest_paths(graph, static_cast<std::size_t>(index.at(source)),
            boost::weight_map(boost::get(&EdgeWeight::weight, graph))
                .distance_map(boost::make_iterator_property_map(dist.begin(), boost::get(boost::vertex_index, graph)))
                .distance_inf(std::numeric_limits<double>::infinity()));
        return dist;
    }

    // The cheapest edge from `a` to `b`, 0 when there is none.
    static int edgeWeight(const Vertex* a, const Vertex* b)
    {
        int best = 0;
        for (const Edge& e : a->edges)
            if (e.to == b && (best == 0 || e.weight < best))
                best = e.weight;
        return best;
    }

    // Follows `previous` from the target and checks the route it spells:
    // it reaches the start, every step is an edge, and the weights add up
    // to the length.
    void checkRoute(const Vertex* start, const Vertex* target, float length, const char* what) const
    {
        ASSERT_EQ(start->previous, nullptr) << what;
        double sum = 0;
        std::size_t steps = 0;
        const Vertex* v = target;
        while (v != start) {
            ASSERT_NE(v, nullptr) << what << ": previous links end before the start";
            ASSERT_LE(++steps, vertices.size()) << what << ": previous links form a loop";
            const Vertex* p = v->previous;
            ASSERT_NE(p, nullptr) << what << ": previous links end before the start";
            const int w = edgeWeight(p, v);
            ASSERT_GT(w, 0) << what << ": no edge from (" << p->x << "," << p->y << ") to (" << v->x << ","
                            << v->y << ")";
            sum += w;
            v = p;
        }
        EXPECT_EQ(sum, static_cast<double>(length)) << what << ": edge weights along the route";
        EXPECT_EQ(target->cost, length) << what << ": target cost";
    }

    struct EdgeWeight {
        int weight;
    };
    using Graph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, EdgeWeight>;

    std::vector<Vertex*> vertices;
    std::unordered_map<const Vertex*, int> index;
    std::vector<EdgeWeight> weights;
    Graph graph;
};

TEST_P(CrossCheck, SearchesAgreeWithDijkstra)
{
    const Config& c = GetParam();
    mapgen::Random rnd(c.seed * 7919);
    auto randomPoint = [&]() {
        const auto x = static_cast<std::int32_t>(rnd.next() % static_cast<std::uint64_t>(c.side));
        const auto y = static_cast<std::int32_t>(rnd.next() % static_cast<std::uint64_t>(c.side));
        return std::pair{x, y};
    };
    int found = 0, missing = 0, longer = 0;
    double ratioSum = 0.0;
    constexpr int starts = 6, targetsPerStart = 6;
    for (int s = 0; s < starts; ++s) {
        const auto [sx, sy] = randomPoint();
        Vertex* start = grid.nearestVertex(sx, sy);
        ASSERT_NE(start, nullptr);
        const std::vector<double> dist = dijkstra(start);
        for (int t = 0; t < targetsPerStart; ++t) {
            // Now and then the start point itself, to cover the same-vertex case.
            const auto [tx, ty] = t == 0 && s == 0 ? std::pair{sx, sy} : randomPoint();
            Vertex* target = grid.nearestVertex(tx, ty);
            ASSERT_NE(target, nullptr);
            SCOPED_TRACE("from (" + std::to_string(start->x) + "," + std::to_string(start->y) + ") to ("
                + std::to_string(target->x) + "," + std::to_string(target->y) + ")");
            const double shortest = dist[static_cast<std::size_t>(index.at(target))];

            const Route fullRoute = modelSearch().search(start, target);
            const float full = fullRoute.length;
            if (start == target) {
                EXPECT_EQ(fullRoute.outcome, Route::Outcome::sameVertex);
                EXPECT_EQ(modelSearch().quickSearch(start, target).outcome, Route::Outcome::sameVertex);
                continue;
            }
            if (std::isinf(shortest)) {
                ++missing;
                EXPECT_EQ(fullRoute.outcome, Route::Outcome::noRoute) << "a route that Dijkstra can't find";
                EXPECT_EQ(target->previous, nullptr);
                EXPECT_EQ(modelSearch().quickSearch(start, target).outcome, Route::Outcome::noRoute);
                continue;
            }
            ++found;
            ASSERT_TRUE(fullRoute.found()) << "no route although Dijkstra finds one of " << shortest;
            EXPECT_GE(static_cast<double>(full), shortest);
            if (static_cast<double>(full) > shortest)
                ++longer;
            ratioSum += static_cast<double>(full) / shortest;
            checkRoute(start, target, full, "full search");

            const Route quickRoute = modelSearch().quickSearch(start, target);
            const float quick = quickRoute.length;
            ASSERT_TRUE(quickRoute.found()) << "quick search found no route";
            EXPECT_GE(quick, full) << "quick search shorter than the full one";
            checkRoute(start, target, quick, "quick search");
        }
    }
    // Every map is meant to give routes; the walled ones also pairs without.
    EXPECT_GT(found, 0);
    if (c.walled) {
        EXPECT_GT(missing, 0) << "the wall cut nothing apart";
    }
    RecordProperty("routes", found);
    RecordProperty("unreachable", missing);
    RecordProperty("longerThanShortest", longer);
    std::printf("%s: %zu vertices, %zu edges, %d routes (%d longer than the shortest, %.1f%% longer on "
                "average), %d unreachable\n",
        c.name, vertices.size(), edgeList().size(), found, longer, found ? 100.0 * (ratioSum / found - 1.0) : 0.0,
        missing);
}

// A search leaves nothing behind that changes the next one: repeating the
// same pairs in another order gives the same lengths.
TEST_P(CrossCheck, RepeatedSearchesGiveTheSameLengths)
{
    const Config& c = GetParam();
    mapgen::Random rnd(c.seed * 104729);
    std::vector<std::pair<Vertex*, Vertex*>> pairs;
    for (int i = 0; i < 5; ++i) {
        Vertex* a = grid.nearestVertex(static_cast<std::int32_t>(rnd.next() % c.side),
            static_cast<std::int32_t>(rnd.next() % c.side));
        Vertex* b = grid.nearestVertex(static_cast<std::int32_t>(rnd.next() % c.side),
            static_cast<std::int32_t>(rnd.next() % c.side));
        pairs.emplace_back(a, b);
    }
    std::vector<float> first;
    for (const auto& [a, b] : pairs)
        first.push_back(modelSearch().search(a, b).length);
    for (std::size_t i = pairs.size(); i-- > 0;)
        EXPECT_EQ(modelSearch().search(pairs[i].first, pairs[i].second).length, first[i]) << "pair " << i;
}

// A hand-made graph, laid out so that the estimates give this order of
// passes: S, D (enters P at cost 20), A (enters T at 11), T (best 11), then
// P comes to the front above the best and is dropped; C finds D cheaper and
// the correction carries that through P to T (cost and best 10); E then
// reaches the dropped P at cost 8, dearer than the corrected 7. If P took
// that cost, the route through it would add up to 11 while the search
// reports 10.
TEST(DroppedVertex, KeepsTheCheaperCostAWayThroughItWasCorrectedTo)
{
    destroyModel();
    edgeList().clear();
    auto make = [](std::int32_t x) {
        Vertex* v = new Vertex;
        v->x = x;
        vertexList().pushFront(v);
        return v;
    };
    Vertex* s = make(9);
    Vertex* t = make(0);
    Vertex* d = make(0);
    Vertex* a = make(4);
    Vertex* p = make(0);
    Vertex* c = make(5);
    Vertex* e = make(6);
    std::vector<std::pair<int, int>> pairs;
    std::vector<int> weights;
    std::unordered_map<const Vertex*, int> index;
    for (Vertex* v : vertexList())
        index.emplace(v, static_cast<int>(index.size()));
    auto edge = [&](Vertex* from, Vertex* to, int w) {
        from->edges.push_back(Edge{w, from, to});
        pairs.emplace_back(index.at(from), index.at(to));
        weights.push_back(w);
    };
    edge(s, d, 15);
    edge(s, a, 1);
    edge(s, c, 1);
    edge(s, e, 1);
    edge(d, p, 5);
    edge(a, t, 10);
    edge(c, d, 1);
    edge(p, t, 3);
    edge(e, p, 7);

    // The true shortest length, for comparison.
    boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
        boost::property<boost::edge_weight_t, int>>
        g(pairs.begin(), pairs.end(), weights.begin(), index.size());
    std::vector<int> dist(index.size());
    boost::dijkstra_shortest_paths(g, static_cast<std::size_t>(index.at(s)),
        boost::distance_map(boost::make_iterator_property_map(dist.begin(), boost::get(boost::vertex_index, g))));

    const float length = modelSearch().search(s, t).length;
    double sum = 0;
    std::size_t steps = 0;
    for (const Vertex* v = t; v != s; v = v->previous) {
        ASSERT_NE(v->previous, nullptr) << "the route does not lead back to the start";
        ASSERT_LE(++steps, index.size()) << "the previous links form a loop";
        for (const Edge& out : v->previous->edges)
            if (out.to == v)
                sum += out.weight;
    }
    EXPECT_EQ(static_cast<double>(length), sum) << "the route left in previous does not add up to the length";
    EXPECT_GE(length, static_cast<float>(dist[static_cast<std::size_t>(index.at(t))]));
    EXPECT_EQ(t->cost, length);
    destroyModel();
}

INSTANTIATE_TEST_SUITE_P(Maps, CrossCheck, ::testing::ValuesIn(configs),
    [](const ::testing::TestParamInfo<Config>& info) { return std::string(info.param.name); });

// Against the plain-list search: the same maps in four kinds (gentle hills in
// 8 and 16 bits, crags, walled) and the rough kind, patch sizes 16 to 256 and
// thresholds down to 0. Pairs lie near each other so that the plain lists
// stay quick on the large models; some are far apart on the small ones.
struct PlainConfig {
    const char* name;
    mapgen::Options options;
    bool walled;
    int patchSize;
    int threshold;
    int reach;  // largest distance between the two points of a pair
};

void PrintTo(const PlainConfig& c, std::ostream* os) { *os << c.name; }

mapgen::Options hills(int bits, std::uint64_t seed, double steep)
{
    mapgen::Options o;
    o.side = 257;
    o.bits = bits;
    o.seed = seed;
    o.steepPercent = steep;
    return o;
}

const PlainConfig plainConfigs[] = {
    {"hills8_patch16_t0", hills(8, 31, 2.0), false, 16, 0, 12},
    {"hills16_patch128_t3", hills(16, 32, 2.0), false, 128, 3, 256},
    {"crags16_patch64_t0", hills(16, 33, 15.0), false, 64, 0, 12},
    {"crags8_patch32_t1", hills(8, 34, 25.0), false, 32, 1, 24},
    {"walled16_patch256_t2", hills(16, 35, 2.0), true, 256, 2, 256},
    {"rough16_patch16_t0", mapgen::roughOptions(257, 16, 36), false, 16, 0, 10},
    {"rough16_patch32_t25", mapgen::roughOptions(257, 16, 37), false, 32, 25, 256},
};

// What a search shows, in order: the edges examined (the records
// themselves) and the status lines (format and length).
class Shown : public SearchObserver {
public:
    void searchStatus(SearchKind kind, SearchPhase phase, double shownLength) override
    {
        lines.emplace_back(searchStatusFormat(kind, phase), shownLength);
    }
    void examinedEdge(const Edge& edge) override { edges.push_back(&edge); }

    std::vector<std::pair<const char*, double>> lines;
    std::vector<const Edge*> edges;
};

// What a search leaves in the vertices.
struct Left {
    float cost, estimate;
    const Vertex* previous;
    bool operator==(const Left&) const = default;
};

std::vector<Left> left()
{
    std::vector<Left> l;
    l.reserve(vertexList().size());
    for (const Vertex* v : vertexList())
        l.push_back({v->cost, v->estimate, v->previous});
    return l;
}

// The route the vertices' previous links spell from the target back to the
// start, start first; empty when they don't lead there.
std::vector<const Vertex*> pathLeft(const Vertex* start, const Vertex* target)
{
    std::vector<const Vertex*> path;
    if (start == target || target->previous == nullptr)
        return path;
    for (const Vertex* v = target; v != nullptr && path.size() <= vertexList().size(); v = v->previous) {
        path.push_back(v);
        if (v == start)
            break;
    }
    if (path.back() != start)
        path.clear();
    std::reverse(path.begin(), path.end());
    return path;
}

// A route's path as vertices.
std::vector<const Vertex*> pathOf(const Route& route)
{
    std::vector<const Vertex*> path;
    for (const uint32_t vertex : route.path)
        path.push_back(modelSearch().graph().vertex(vertex));
    return path;
}

// The length as the plain-list search returns it: 0 for the same vertex,
// -1 for no route.
float asPlainLength(const Route& route)
{
    if (route.outcome == Route::Outcome::sameVertex)
        return 0.0f;
    return route.found() ? route.length : -1.0f;
}

class AgainstPlainLists : public BuiltMap, public ::testing::WithParamInterface<PlainConfig> {
protected:
    void SetUp() override
    {
        const PlainConfig& c = GetParam();
        ASSERT_NO_FATAL_FAILURE(loadBuilt(c.options, c.walled, c.name, c.patchSize, c.threshold));
    }
};

TEST_P(AgainstPlainLists, SearchesShowAndLeaveTheSame)
{
    const PlainConfig& c = GetParam();
    const int side = c.options.side;
    mapgen::Random rnd(c.options.seed * 31);
    long corrections = 0, routes = 0;
    constexpr int pairs = 30;
    for (int k = 0; k < pairs; ++k) {
        const int x = static_cast<int>(rnd.next() % side), y = static_cast<int>(rnd.next() % side);
        auto near = [&](int v) {
            return std::clamp(v + static_cast<int>(rnd.next() % (2 * c.reach + 1)) - c.reach, 0, side - 1);
        };
        Vertex* start = grid.nearestVertex(x, y);
        Vertex* target = grid.nearestVertex(near(x), near(y));
        ASSERT_TRUE(start && target);
        // Both plain searches first, so that the quick search below follows
        // the full one and writes back only what the two reached.
        Shown plainShown[2];
        std::vector<Left> plainLeft[2];
        std::vector<const Vertex*> plainPath[2];
        float plainLength[2];
        SearchWork plainWork[2];
        for (const bool quick : {false, true}) {
            testkit::LiteralSearch plain(&plainShown[quick]);
            plainLength[quick] = plain.search(start, target, quick);
            plainLeft[quick] = left();
            plainPath[quick] = pathLeft(start, target);
            plainWork[quick] = {plain.passes, plain.corrections, plain.correctionEdges};
            corrections += plain.corrections;
        }
        for (const bool quick : {false, true}) {
            SCOPED_TRACE(std::string(quick ? "quick" : "full") + " search from (" + std::to_string(start->x) + ","
                + std::to_string(start->y) + ") to (" + std::to_string(target->x) + ","
                + std::to_string(target->y) + ")");
            Shown shown;
            const Route route = quick ? modelSearch().quickSearch(start, target, &shown)
                                      : modelSearch().search(start, target, &shown);
            ASSERT_EQ(asPlainLength(route), plainLength[quick]);
            ASSERT_EQ(shown.edges, plainShown[quick].edges);
            ASSERT_EQ(shown.lines, plainShown[quick].lines);
            ASSERT_TRUE(left() == plainLeft[quick]) << "cost, estimate or previous of some vertex differ";
            ASSERT_EQ(pathOf(route), plainPath[quick]);
            if (route.outcome != Route::Outcome::sameVertex) {
                EXPECT_EQ(route.work.passes, plainWork[quick].passes);
                EXPECT_EQ(route.work.corrections, plainWork[quick].corrections);
                EXPECT_EQ(route.work.correctionEdges, plainWork[quick].correctionEdges);
            }
            routes += route.found();
        }
    }
    // The pairs are meant to give routes and to make the search correct itself.
    EXPECT_GT(routes, pairs / 2);
    EXPECT_GT(corrections, pairs);
    std::printf("%s: %zu vertices, %ld routes, %ld corrections\n", c.name, vertexList().size(), routes, corrections);
}

INSTANTIATE_TEST_SUITE_P(Maps, AgainstPlainLists, ::testing::ValuesIn(plainConfigs),
    [](const ::testing::TestParamInfo<PlainConfig>& info) { return std::string(info.param.name); });

// Searches on one graph from several threads at once, each with its own
// workspace, give what each gives alone: the route, its work and every
// vertex's cost, estimate and predecessor. (Also run under ThreadSanitizer:
// see the README.)
TEST_F(BuiltMap, SearchesOnSeveralThreadsEachEqualALoneSearch)
{
    ASSERT_NO_FATAL_FAILURE(loadBuilt(mapgen::roughOptions(257, 16, 38), false, "threads", 16, 0));
    const SearchGraph& graph = modelSearch().graph();
    constexpr int threads = 3, pairsEach = 3;
    mapgen::Random rnd(38);
    std::vector<std::pair<const Vertex*, const Vertex*>> pairs;
    for (int i = 0; i < threads * pairsEach; ++i) {
        auto point = [&] { return static_cast<int>(rnd.next() % 257); };
        pairs.emplace_back(grid.nearestVertex(point(), point()), grid.nearestVertex(point(), point()));
    }
    struct Outcome {
        Route route;
        std::vector<float> costs, estimates;
        std::vector<uint32_t> previous;
    };
    auto searchPair = [&](SearchWorkspace& workspace, std::size_t i) {
        Outcome out;
        RouteSearch search(graph, workspace);
        out.route = i % 2 ? search.quickSearch(pairs[i].first, pairs[i].second)
                          : search.search(pairs[i].first, pairs[i].second);
        for (uint32_t v = 0; v < graph.size(); ++v) {
            out.costs.push_back(workspace.cost(v));
            out.estimates.push_back(workspace.estimate(v));
            out.previous.push_back(workspace.previous(v));
        }
        return out;
    };
    std::vector<Outcome> alone(pairs.size()), together(pairs.size());
    SearchWorkspace lone;
    for (std::size_t i = 0; i < pairs.size(); ++i)
        alone[i] = searchPair(lone, i);
    std::vector<std::thread> running;
    for (int t = 0; t < threads; ++t)
        running.emplace_back([&, t] {
            SearchWorkspace own;
            for (int k = 0; k < pairsEach; ++k)
                together[static_cast<std::size_t>(t * pairsEach + k)] = searchPair(own, static_cast<std::size_t>(t * pairsEach + k));
        });
    for (std::thread& thread : running)
        thread.join();
    int found = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        SCOPED_TRACE("pair " + std::to_string(i));
        const Route& a = alone[i].route;
        const Route& b = together[i].route;
        found += a.found();
        EXPECT_EQ(b.outcome, a.outcome);
        EXPECT_EQ(b.length, a.length);
        EXPECT_EQ(b.path, a.path);
        EXPECT_EQ(b.work.passes, a.work.passes);
        EXPECT_EQ(b.work.corrections, a.work.corrections);
        EXPECT_EQ(b.work.correctionEdges, a.work.correctionEdges);
        EXPECT_TRUE(together[i].costs == alone[i].costs && together[i].estimates == alone[i].estimates
            && together[i].previous == alone[i].previous)
            << "cost, estimate or previous of some vertex differ";
    }
    EXPECT_GT(found, threads);
}

} // namespace
