// Tests of route/RouteSearch.cpp: a worked example step by step, hand-made
// graphs for pruning and corrections, and routes on built models.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

#include "app/ProgressTexts.h"
#include "route/Graph.h"
#include "route/ModelBuild.h"
#include "route/ModelSearch.h"
#include "route/RouteSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "tests/terrain/model_helpers.h"
#include "tests/terrain/test_maps.h"
#include "tests/support/LiteralSearch.h"

using namespace testmaps;

namespace {

// The window's searches of the current model.
Route full(const Vertex* start, const Vertex* target, SearchObserver* observer = nullptr)
{
    return modelSearch().search(start, target, observer);
}
Route quick(const Vertex* start, const Vertex* target, SearchObserver* observer = nullptr)
{
    return modelSearch().quickSearch(start, target, observer);
}
constexpr Route::Outcome noRoute = Route::Outcome::noRoute;

// Records what a search shows, in order.
class Recorder : public SearchObserver {
public:
    void searchStatus(SearchKind kind, SearchPhase phase, double shownLength) override
    {
        const char* format = searchStatusFormat(kind, phase);
        events.push_back("status " + formatStatusLine(format, shownLength));
        formats.push_back(format);
    }
    void examinedEdge(const Edge& edge) override { events.push_back("edge " + name(edge.from) + name(edge.to)); }

    std::string name(const Vertex* v) const
    {
        for (const auto& [vertex, label] : names)
            if (vertex == v)
                return label;
        return "?";
    }

    std::vector<std::pair<const Vertex*, std::string>> names;
    std::vector<std::string> events;
    std::vector<std::string> formats;
};

// A hand-made graph: vertices in the vertex list, edges added directly.
class RouteHandGraph : public ::testing::Test {
protected:
    void TearDown() override { destroyModel(); }

    Vertex* vertex(const std::string& name, int32_t x, int32_t y, int32_t height = 0)
    {
        Vertex* v = new Vertex;
        v->x = x;
        v->y = y;
        v->height = height;
        vertexList().pushFront(v);
        recorder.names.emplace_back(v, name);
        return v;
    }
    static void edge(Vertex* from, Vertex* to, int32_t weight) { from->edges.push_back(Edge{weight, from, to}); }

    static std::string pass(double length) { return "status " + formatStatusLine(searchPassFormat, length); }
    static std::string correction(double length)
    {
        return "status " + formatStatusLine(searchCorrectionFormat, length);
    }

    Recorder recorder;
};

class RouteWorkedExample : public RouteHandGraph {
protected:
    void SetUp() override
    {
        s = vertex("S", 0, 0);
        a = vertex("A", 1, 0);
        b = vertex("B", 2, 0);
        t = vertex("T", 3, 0);
        edge(s, a, 1);
        edge(s, b, 5);
        edge(a, b, 1);
        edge(a, t, 10);
        edge(b, t, 1);
    }
    Vertex* s = nullptr;
    Vertex* a = nullptr;
    Vertex* b = nullptr;
    Vertex* t = nullptr;
};

TEST_F(RouteWorkedExample, FullSearchStepsAndResult)
{
    const Route route = full(s, t, &recorder);
    EXPECT_EQ(route.length, 3.0f);
    const SearchGraph& graph = modelSearch().graph();
    EXPECT_EQ(route.path, (std::vector<uint32_t>{graph.indexOf(s), graph.indexOf(a), graph.indexOf(b), graph.indexOf(t)}));
    EXPECT_EQ(route.work.passes, 4);  // S, A, B and T
    EXPECT_EQ(route.work.corrections, 2);
    const std::vector<std::string> expected{
        pass(0),      "edge SA", "edge SB", "edge AB", correction(0), pass(0), "edge AT", "edge BT",
        correction(3), pass(3),
    };
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(t->previous, b);
    EXPECT_EQ(b->previous, a);
    EXPECT_EQ(a->previous, s);
    EXPECT_EQ(s->previous, nullptr);
    EXPECT_EQ(s->cost, 0.0f);
    EXPECT_EQ(a->cost, 1.0f);
    EXPECT_EQ(b->cost, 2.0f);
    EXPECT_EQ(t->cost, 3.0f);
    EXPECT_EQ(b->estimate, 1.0f);
    EXPECT_EQ(a->estimate, 4.0f);
}

TEST_F(RouteWorkedExample, QuickSearchTakesTheSameSteps)
{
    EXPECT_EQ(quick(s, t, &recorder).length, 3.0f);
    std::vector<std::string> edges;
    for (const std::string& event : recorder.events)
        if (event.rfind("edge", 0) == 0)
            edges.push_back(event);
    EXPECT_EQ(edges, (std::vector<std::string>{"edge SA", "edge SB", "edge AB", "edge AT", "edge BT"}));
    ASSERT_EQ(recorder.formats.size(), 5u);
    EXPECT_EQ(recorder.formats[0], quickSearchPassFormat);
    EXPECT_EQ(recorder.formats[1], quickSearchCorrectionFormat);
    EXPECT_EQ(recorder.events.back(),
              "status L\xe4" "bin tippe. (L\xfchim tee: 3.000000)" + std::string(60, ' '));
    EXPECT_EQ(t->previous, b);
}

TEST_F(RouteWorkedExample, StatusTextsAreExact)
{
    EXPECT_EQ(formatStatusLine(searchPassFormat, 1234.0),
              "L\xe4" "bin tippe. (L\xfchim tee: 1234.000000)" + std::string(52, ' '));
    EXPECT_EQ(formatStatusLine(searchCorrectionFormat, 0.0),
              "Korrigeerin. (L\xfchim tee: 0.000000)" + std::string(52, ' '));
    EXPECT_EQ(formatStatusLine(quickSearchCorrectionFormat, 2.5),
              "Korrigeerin. (L\xfchim tee: 2.500000)" + std::string(60, ' '));
}

TEST_F(RouteWorkedExample, SameVertexTouchesNothing)
{
    ASSERT_EQ(full(s, t).length, 3.0f);
    const Route same = full(b, b, &recorder);
    EXPECT_EQ(same.outcome, Route::Outcome::sameVertex);
    EXPECT_TRUE(same.path.empty());
    EXPECT_EQ(quick(s, s, &recorder).outcome, Route::Outcome::sameVertex);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(t->previous, b);
    EXPECT_EQ(t->cost, 3.0f);
}

TEST_F(RouteWorkedExample, SearchesStartAfresh)
{
    ASSERT_EQ(full(s, t).length, 3.0f);
    // From B the route is B, T; A is never reached and keeps nothing of the
    // first search.
    EXPECT_EQ(full(b, t).length, 1.0f);
    EXPECT_EQ(a->previous, nullptr);
    EXPECT_EQ(a->cost, 0.0f);
    EXPECT_EQ(t->previous, b);
    EXPECT_EQ(b->previous, nullptr);
    // A vertex new to the graph is written too, though no search reached it.
    Vertex* x = vertex("X", 9, 0);
    EXPECT_EQ(full(b, t).length, 1.0f);
    EXPECT_EQ(x->cost, 0.0f);
    EXPECT_EQ(x->estimate, 0.0f);
    EXPECT_EQ(a->cost, 0.0f);
}

TEST_F(RouteHandGraph, StartWithoutEdges)
{
    Vertex* s = vertex("S", 0, 0);
    Vertex* t = vertex("T", 5, 0);
    edge(t, s, 1);
    const Route none = full(s, t, &recorder);
    EXPECT_EQ(none.outcome, noRoute);
    EXPECT_TRUE(none.path.empty());
    EXPECT_EQ(recorder.events, std::vector<std::string>{pass(0)});
    EXPECT_EQ(t->previous, nullptr);
    EXPECT_EQ(full(nullptr, t).outcome, noRoute);
    EXPECT_EQ(quick(s, nullptr).outcome, noRoute);
}

TEST_F(RouteHandGraph, UnreachableTarget)
{
    Vertex* s = vertex("S", 0, 0);
    Vertex* a = vertex("A", 1, 0);
    Vertex* b = vertex("B", 2, 0);
    Vertex* t = vertex("T", 9, 0);
    edge(s, a, 2);
    edge(a, b, 2);
    edge(b, s, 2);
    edge(t, s, 1);
    EXPECT_EQ(full(s, t, &recorder).outcome, noRoute);
    EXPECT_EQ(t->previous, nullptr);
    EXPECT_EQ(b->previous, a);
    EXPECT_EQ(b->cost, 4.0f);
    EXPECT_EQ(quick(s, t).outcome, noRoute);
}

// The squared estimate can mislead: the quick search returns the first route
// that reaches the front, the full one goes on and corrects the target.
TEST_F(RouteHandGraph, FullSearchCorrectsWhatTheQuickOneTakes)
{
    Vertex* s = vertex("S", 0, 0);
    Vertex* t = vertex("T", 10, 0);
    Vertex* a = vertex("A", 0, 5);
    edge(s, t, 100);
    edge(s, a, 1);
    edge(a, t, 1);

    EXPECT_EQ(quick(s, t, &recorder).length, 100.0f);
    EXPECT_EQ(t->previous, s);

    recorder.events.clear();
    EXPECT_EQ(full(s, t, &recorder).length, 2.0f);
    EXPECT_EQ(t->previous, a);
    EXPECT_EQ(t->cost, 2.0f);
    const std::vector<std::string> expected{pass(0), "edge ST", "edge SA", "edge AT", correction(2), pass(2)};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(RouteHandGraph, PruningDropsOnlyDearerVertices)
{
    // After T is taken with 4, X (cost 5) is dropped unexpanded, while Y
    // (cost exactly 4) is still expanded.
    Vertex* s = vertex("S", 0, 0);
    Vertex* t = vertex("T", 1, 0);
    Vertex* x = vertex("X", 0, 50);
    Vertex* y = vertex("Y", 0, 40);
    Vertex* z = vertex("Z", 0, 60);
    edge(s, t, 4);
    edge(s, x, 5);
    edge(s, y, 4);
    edge(x, z, 1);
    edge(y, z, 1);
    EXPECT_EQ(full(s, t, &recorder).length, 4.0f);
    const std::vector<std::string> expected{pass(0), "edge ST", "edge SX", "edge SY", "edge YZ"};
    EXPECT_EQ(recorder.events, expected);
    // Z would cost 5, which is not below the best length: not entered.
    EXPECT_EQ(z->previous, nullptr);
}

TEST_F(RouteHandGraph, EqualCostNeverReplacesAPredecessor)
{
    Vertex* s = vertex("S", 0, 0);
    Vertex* a = vertex("A", 1, 0);
    Vertex* b = vertex("B", 0, 1);
    Vertex* t = vertex("T", 2, 0);
    edge(s, a, 1);
    edge(s, b, 1);
    edge(a, t, 2);
    edge(b, t, 2);
    EXPECT_EQ(full(s, t).length, 3.0f);
    EXPECT_EQ(t->previous, a);
}

TEST_F(RouteHandGraph, CorrectionRunsThroughTheTargetAndOnward)
{
    // The target is reached and closed at 20; a cheaper way to it found later
    // lowers it and is carried on through its own edges to C.
    Vertex* s = vertex("S", 0, 0);
    Vertex* t = vertex("T", 1, 0);
    Vertex* c = vertex("C", 2, 0);
    Vertex* far = vertex("F", 0, 30);
    edge(s, t, 20);
    edge(s, far, 1);
    edge(t, c, 1);
    edge(far, t, 1);
    edge(c, far, 1);
    EXPECT_EQ(full(s, t).length, 2.0f);
    EXPECT_EQ(t->previous, far);
    EXPECT_EQ(far->previous, s);
    // C was never reached (the target is not expanded), so the correction
    // does not admit it.
    EXPECT_EQ(c->previous, nullptr);
}

TEST_F(RouteHandGraph, LongCorrectionChainDoesNotExhaustTheStack)
{
    // S -> A costs 100 and A leads down a long chain to the target; a cheaper
    // way to A found later is carried down the whole chain.
    const int32_t length = 200000;
    Vertex* s = vertex("S", 5, 5);
    Vertex* a = vertex("A", 0, 0);
    Vertex* b = vertex("B", 1000, 0);
    edge(s, a, 100);
    edge(s, b, 1);
    edge(b, a, 1);
    Vertex* last = a;
    for (int32_t k = 0; k < length; ++k) {
        Vertex* next = new Vertex;
        vertexList().pushFront(next);
        edge(last, next, 1);
        last = next;
    }
    const Route route = full(s, last);
    EXPECT_EQ(route.length, static_cast<float>(2 + length));
    EXPECT_EQ(route.path.size(), static_cast<std::size_t>(length + 3));
    EXPECT_EQ(a->previous, b);
    int32_t steps = 0;
    for (const Vertex* v = last; v != s; v = v->previous)
        ++steps;
    EXPECT_EQ(steps, length + 2);
}

TEST(RouteSquaredDistance, IsExactAndDoesNotWrap)
{
    Vertex a;
    Vertex b;
    a.x = a.y = a.height = 0;
    b.x = 3;
    b.y = 4;
    b.height = 12;
    EXPECT_EQ(squaredDistance(a, b), 169.0f);
    EXPECT_EQ(squaredDistance(b, a), 169.0f);
    b.x = b.y = 0;
    b.height = 65535;
    EXPECT_EQ(squaredDistance(a, b), static_cast<float>(65535.0 * 65535.0));
}

// Searches on a built model.
class RouteModelSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A gentle slope (every step changes by at most one unit) crossed by
        // a wall with a gap near the bottom.
        ASSERT_TRUE(loadMap(map, dir, 257, [](int32_t x, int32_t y) {
            const int32_t base = (x + 2 * y) / 7;
            const bool wall = x >= 100 && x <= 110 && (y < 200 || y > 215);
            return static_cast<uint16_t>(base + (wall ? 40 : 0));
        }));
        ASSERT_TRUE(buildModelAndGraph(grid, map, 32, 1));
    }
    void TearDown() override { grid.releaseModel(); }

    // Follows `previous` from the target and checks every link is an edge.
    ::testing::AssertionResult routeLeadsBack(const Vertex* start, const Vertex* target)
    {
        std::set<const Vertex*> seen;
        for (const Vertex* v = target; v != start; v = v->previous) {
            if (v == nullptr)
                return ::testing::AssertionFailure() << "the route ends before the start";
            if (!seen.insert(v).second)
                return ::testing::AssertionFailure() << "the route runs in a circle";
            bool linked = false;
            for (const Edge& edge : v->previous ? v->previous->edges : std::vector<Edge>{})
                linked = linked || edge.to == v;
            if (!linked)
                return ::testing::AssertionFailure() << "a link of the route is not an edge";
        }
        if (start->previous != nullptr)
            return ::testing::AssertionFailure() << "the start has a predecessor";
        return ::testing::AssertionSuccess();
    }

    TempDir dir;
    HeightMap map;
    PatchGrid grid;
};

TEST_F(RouteModelSearch, RoutesBetweenPickedPoints)
{
    const std::pair<Point, Point> picks[] = {
        {{10, 10}, {240, 30}}, {{250, 5}, {3, 251}}, {{128, 128}, {130, 120}}, {{256, 256}, {0, 0}},
        {{105, 50}, {30, 30}}};
    int32_t found = 0;
    for (const auto& [from, to] : picks) {
        Vertex* start = grid.nearestVertex(from.first, from.second);
        Vertex* target = grid.nearestVertex(to.first, to.second);
        ASSERT_NE(start, nullptr);
        ASSERT_NE(target, nullptr);
        const float length = full(start, target).length;
        if (length == 0.0f) {
            EXPECT_EQ(target->previous, nullptr);
            continue;
        }
        ++found;
        EXPECT_GT(length, 0.0f);
        EXPECT_EQ(length, target->cost);
        EXPECT_TRUE(routeLeadsBack(start, target));

        const float quickLength = quick(start, target).length;
        EXPECT_GE(quickLength, length);
        EXPECT_EQ(quickLength, target->cost);
        EXPECT_TRUE(routeLeadsBack(start, target));
    }
    EXPECT_GE(found, 3);
}

}  // namespace

namespace {

// Small random graphs with clustered positions and small weights: after every search the `previous` links spell a route whose
// weights add up to the length returned, which is the target's cost.
TEST_F(RouteHandGraph, RoutesMatchTheirLengthOnRandomGraphs)
{
    std::mt19937 random(12345);
    int32_t routes = 0;
    for (int32_t round = 0; round < 4000; ++round) {
        destroyModel();
        const int32_t count = 4 + static_cast<int32_t>(random() % 13);
        std::vector<Vertex*> vertices;
        for (int32_t k = 0; k < count; ++k)
            vertices.push_back(vertex("v", static_cast<int32_t>(random() % 8), static_cast<int32_t>(random() % 8)));
        // Parallel edges have equal weights, as in a built graph.
        std::vector<int32_t> weights(static_cast<std::size_t>(count * count));
        for (int32_t& weight : weights)
            weight = 1 + static_cast<int32_t>(random() % 6);
        const int32_t edges = count * 3;
        for (int32_t k = 0; k < edges; ++k) {
            const int32_t from = static_cast<int32_t>(random() % count);
            const int32_t to = static_cast<int32_t>(random() % count);
            if (from != to)
                edge(vertices[from], vertices[to], weights[from * count + to]);
        }
        for (bool quick : {false, true}) {
            const float length = (quick ? modelSearch().quickSearch(vertices[0], vertices[1])
                                        : modelSearch().search(vertices[0], vertices[1])).length;
            if (length <= 0.0f)
                continue;
            ++routes;
            ASSERT_EQ(vertices[1]->cost, length) << round;
            int32_t sum = 0;
            int32_t steps = 0;
            for (const Vertex* v = vertices[1]; v != vertices[0]; v = v->previous) {
                ASSERT_NE(v->previous, nullptr) << round;
                ASSERT_LT(++steps, count) << round;
                int32_t weight = 0;
                for (const Edge& e : v->previous->edges)
                    if (e.to == v)
                        weight = e.weight;
                ASSERT_GT(weight, 0) << round;
                sum += weight;
            }
            ASSERT_EQ(static_cast<float>(sum), length) << "round " << round << (quick ? " quick" : " full");
        }
    }
    EXPECT_GT(routes, 3000);
}

// T is first reached through E at 24 and taken; P (26 by then) is dropped by
// pruning. A cheaper way to E (3 after A) is carried on through P (now 14)
// to T (20). Later D offers P at 15: P comes back into the open list with
// its own 14 and predecessor E, so the route T, P, E, A, C, S adds up to the
// 20 returned. Entering P at 15 through D would leave T at 20 with a route of
// 21 behind it.
TEST_F(RouteHandGraph, PrunedVertexComesBackWithItsCorrectedCost)
{
    Vertex* s = vertex("S", 29, 18);
    Vertex* t = vertex("T", 14, 28);
    Vertex* a = vertex("A", 26, 14);
    Vertex* d = vertex("D", 25, 4);
    Vertex* c = vertex("C", 22, 6);
    Vertex* e = vertex("E", 22, 29);
    Vertex* p = vertex("P", 6, 25);
    Vertex* f = vertex("F", 23, 19);
    Vertex* g = vertex("G", 15, 2);
    edge(s, c, 5);
    edge(c, a, 1);
    edge(c, f, 7);
    edge(a, g, 1);
    edge(a, e, 3);
    edge(g, d, 4);
    edge(d, p, 4);
    edge(p, t, 6);
    edge(e, p, 5);
    edge(e, t, 3);
    edge(f, e, 9);

    for (bool quick : {false, true}) {
        const float length = (quick ? modelSearch().quickSearch(s, t) : modelSearch().search(s, t)).length;
        EXPECT_EQ(length, quick ? 24.0f : 20.0f);
        EXPECT_EQ(t->cost, length);
    }
    ASSERT_EQ(full(s, t).length, 20.0f);
    EXPECT_EQ(t->previous, p);
    EXPECT_EQ(p->previous, e);
    EXPECT_EQ(p->cost, 14.0f);
    EXPECT_EQ(e->previous, a);
    EXPECT_EQ(a->previous, c);
    EXPECT_EQ(c->previous, s);
    EXPECT_EQ(d->cost, 11.0f);
    int32_t sum = 0;
    for (const Vertex* v = t; v->previous != nullptr; v = v->previous)
        for (const Edge& step : v->previous->edges)
            if (step.to == v)
                sum += step.weight;
    EXPECT_EQ(sum, 20);
}

// The correction walk's fallbacks. U has a lighter second edge to V, and H
// more edges than a mask has bits; both are walked edge by edge. The
// corrections that enter them (U from 5 to 2, H from 6 to 3) must follow
// the lighter copy to V and H's last edge to W35, as the plain-list search
// does: a walk that skipped either would leave those to the main loop,
// with other status lines and other counts. K's later, heavier copy can
// never carry a correction on, so K is walked by masks; L, with an edge
// heavier than a walk arc holds, is walked edge by edge.
TEST_F(RouteHandGraph, CorrectionWalkFallbacksFollowWhatTheMasksCannotHold)
{
    Vertex* s = vertex("S", 0, 0);
    Vertex* x = vertex("X", 0, 0);
    Vertex* u = vertex("U", 0, 0);
    Vertex* v = vertex("V", 0, 0);
    Vertex* h = vertex("H", 0, 0);
    Vertex* k = vertex("K", 0, 0);
    Vertex* t = vertex("T", 0, 0);
    edge(s, x, 1);
    edge(s, u, 5);
    edge(s, v, 8);
    edge(s, h, 6);
    edge(x, u, 1);
    edge(x, h, 2);
    edge(u, v, 7);
    edge(u, v, 1);
    edge(u, k, 1);
    edge(v, t, 9);
    edge(k, t, 30);
    edge(k, t, 31);
    std::vector<Vertex*> spokes;
    for (int i = 0; i < 40; ++i) {
        spokes.push_back(vertex("W" + std::to_string(i), 0, 0));
        edge(h, spokes.back(), 10);
    }
    edge(s, spokes[35], 20);
    edge(spokes[35], t, 1);
    Vertex* l = vertex("L", 0, 0);
    edge(s, l, 50);
    edge(l, t, 1);
    edge(l, x, 300);

    const SearchGraph& graph = modelSearch().graph();
    EXPECT_FALSE(graph.walkedByMasks(graph.indexOf(u)));
    EXPECT_FALSE(graph.walkedByMasks(graph.indexOf(h)));
    EXPECT_TRUE(graph.walkedByMasks(graph.indexOf(k)));
    EXPECT_FALSE(graph.walkedByMasks(graph.indexOf(l)));
    EXPECT_TRUE(graph.walkedByMasks(graph.indexOf(s)));

    auto left = [&] {
        std::vector<std::tuple<float, float, const Vertex*>> fields;
        for (const Vertex* vertex : vertexList())
            fields.emplace_back(vertex->cost, vertex->estimate, vertex->previous);
        return fields;
    };
    for (const bool quick : {false, true}) {
        Recorder plainShown = recorder;
        plainShown.events.clear();
        testkit::LiteralSearch plain(&plainShown);
        const float plainLength = plain.search(s, t, quick);
        const auto plainLeft = left();
        recorder.events.clear();
        const Route route = quick ? modelSearch().quickSearch(s, t, &recorder) : modelSearch().search(s, t, &recorder);
        EXPECT_EQ(route.length, plainLength);
        EXPECT_EQ(recorder.events, plainShown.events);
        EXPECT_EQ(left(), plainLeft);
        EXPECT_EQ(route.work.corrections, plain.corrections);
        EXPECT_EQ(route.work.correctionEdges, plain.correctionEdges);
        EXPECT_EQ(v->previous, u);
        EXPECT_EQ(spokes[35]->previous, h);
        EXPECT_EQ(spokes[35]->cost, 13.0f);
    }
}

}  // namespace
