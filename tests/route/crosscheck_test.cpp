// Cross-checks of the route searches against Boost Graph's Dijkstra on the
// very graph the model build produced, over generated maps, several patch
// sizes and thresholds and many random point pairs.
#include "route/Graph.h"
#include "route/ModelBuild.h"
#include "route/RouteSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "terrain/Vertex.h"
#include "tools/vaskur-mapgen/MapGen.h"
#include "tests/support/temp_files.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
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

// Makes the map file, loads it and builds the model and graph.
class CrossCheck : public ::testing::TestWithParam<Config> {
protected:
    void SetUp() override
    {
        const Config& c = GetParam();
        mapgen::Options o;
        o.side = c.side;
        o.bits = c.bits;
        o.seed = c.seed;
        o.steepPercent = c.steepPercent;
        heights = mapgen::generate(o);
        ASSERT_FALSE(heights.empty());
        if (c.walled) {
            const int r = c.side / 5, cx = c.side / 2, cy = c.side / 3;
            for (int y = 0; y < c.side; ++y)
                for (int x = 0; x < c.side; ++x)
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                        heights[static_cast<std::size_t>(y) * c.side + x] += 6;
        }
        const testkit::TempDir dir("vaskur-crosscheck");
        const std::string path = dir.file(std::string(c.name) + ".raw");
        ASSERT_TRUE(mapgen::writeRaw(path, heights, c.side, c.bits));
        ASSERT_TRUE(map.load(path));
        ASSERT_EQ(map.columns(), c.side);
        ASSERT_TRUE(buildModelAndGraph(grid, map, c.patchSize, c.threshold));
        snapshot();
    }

    void TearDown() override
    {
        grid.releaseModel();
        edgeList().clear();
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

    std::vector<std::uint16_t> heights;
    HeightMap map;
    PatchGrid grid;
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

            const float full = RouteSearch().search(start, target);
            if (start == target) {
                EXPECT_EQ(full, 0.0f);
                EXPECT_EQ(RouteSearch().quickSearch(start, target), 0.0f);
                continue;
            }
            if (std::isinf(shortest)) {
                ++missing;
                EXPECT_EQ(full, -1.0f) << "a route that Dijkstra can't find";
                EXPECT_EQ(target->previous, nullptr);
                EXPECT_EQ(RouteSearch().quickSearch(start, target), -1.0f);
                continue;
            }
            ++found;
            ASSERT_GT(full, 0.0f) << "no route although Dijkstra finds one of " << shortest;
            EXPECT_GE(static_cast<double>(full), shortest);
            if (static_cast<double>(full) > shortest)
                ++longer;
            ratioSum += static_cast<double>(full) / shortest;
            checkRoute(start, target, full, "full search");

            const float quick = RouteSearch().quickSearch(start, target);
            ASSERT_GT(quick, 0.0f) << "quick search found no route";
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
        first.push_back(RouteSearch().search(a, b));
    for (std::size_t i = pairs.size(); i-- > 0;)
        EXPECT_EQ(RouteSearch().search(pairs[i].first, pairs[i].second), first[i]) << "pair " << i;
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

    const float length = RouteSearch().search(s, t);
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

} // namespace
