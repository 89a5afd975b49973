// Timing of the terrain model build and of the route searches.
//
//   vaskur-bench-core [--map FILE.raw] [--patch N] [--reps R] [--literal-limit SECONDS]
//                     [--threshold T] [--batch-reps R] [--jobs N] [--no-batch | --batch-only]
//
// Without --map the rough sample map (513 x 513, 16 bits, the generator's
// rough kind, seed 6) is generated. For each threshold
// (0 and 25) a child process builds the model (so that its peak memory starts
// from a fresh process), times each build stage over R builds (median),
// reports the counts and the memory, and then times the full and the quick
// search between opposite corners against Boost Graph's Dijkstra on the same
// graph and against the plain-list search. The first search of a model also
// builds the index form of the graph; it is timed on its own. These times are
// CPU times. Then the batch case: 200 random pairs on the default model
// (patch 32, threshold 25) and 8 on the finest (patch 16, threshold 0),
// each routed on one thread and on N (2 by default), in wall time.
#include "bench/core/batch_case.h"
#include "route/ModelSearch.h"
#include "route/SearchGraph.h"
#include "route/Graph.h"
#include "route/RouteSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "terrain/Triangle.h"
#include "terrain/Vertex.h"
#include "tools/vaskur-mapgen/MapGen.h"
#include "tests/support/LiteralSearch.h"

#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

// Times are CPU time of this thread, so that other work on a shared machine
// disturbs the figures as little as possible.
struct Clock {
    using time_point = double;
    static time_point now()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
    }
};

double seconds(Clock::time_point a, Clock::time_point b)
{
    return b - a;
}

long maxRssKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Times f over reps runs (at least one), returning the median in seconds.
double timeMedian(int reps, const std::function<void()>& f)
{
    std::vector<double> t;
    for (int i = 0; i < std::max(reps, 1); ++i) {
        const auto a = Clock::now();
        f();
        t.push_back(seconds(a, Clock::now()));
    }
    return median(t);
}

struct Settings {
    std::string map;
    int patch = 16;
    int reps = 5;
    double literalLimit = 120.0;
    int threshold = -1;  // only this threshold (-1: 0 and 25)
    int batchReps = 3;
    int jobs = 2;
    bool batch = true;
    bool others = true;
};

struct EdgeWeight {
    int weight;
};
using Graph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, EdgeWeight>;

// The route graph copied into Boost's compressed form.
struct BoostCopy {
    std::unordered_map<const Vertex*, std::size_t> index;
    Graph graph;

    BoostCopy()
    {
        std::vector<Vertex*> vertices(vertexList().begin(), vertexList().end());
        for (std::size_t i = 0; i < vertices.size(); ++i)
            index.emplace(vertices[i], i);
        std::vector<std::pair<std::size_t, std::size_t>> pairs;
        std::vector<EdgeWeight> weights;
        for (std::size_t i = 0; i < vertices.size(); ++i)
            for (const Edge& e : vertices[i]->edges) {
                pairs.emplace_back(i, index.at(e.to));
                weights.push_back({e.weight});
            }
        graph = Graph(boost::edges_are_unsorted_multi_pass, pairs.begin(), pairs.end(), weights.begin(),
            vertices.size());
    }

    double shortest(const Vertex* from, const Vertex* to) const
    {
        std::vector<double> dist(boost::num_vertices(graph));
        boost::dijkstra_shortest_paths(graph, index.at(from),
            boost::weight_map(boost::get(&EdgeWeight::weight, graph))
                .distance_map(boost::make_iterator_property_map(dist.begin(), boost::get(boost::vertex_index, graph)))
                .distance_inf(std::numeric_limits<double>::infinity()));
        return dist[index.at(to)];
    }
};

// Counts what a search shows: corrections started and edges examined.
class WorkCounter : public SearchObserver {
public:
    long corrections = 0;
    long examined = 0;
    void searchStatus(SearchKind, SearchPhase phase, double) override
    {
        if (phase == SearchPhase::correction)
            ++corrections;
    }
    void examinedEdge(const Edge&) override { ++examined; }
};

std::size_t edgeBytes()
{
    std::size_t bytes = 0;
    for (const Vertex* v : vertexList())
        bytes += v->edges.capacity() * sizeof(Edge);
    return bytes;
}

// Builds the model `s.reps` times and prints the median time and the memory
// of each stage. False when the map cannot be cut into patches.
bool buildAndReport(PatchGrid& grid, const HeightMap& map, const Settings& s, int threshold)
{
    std::vector<double> tPatches, t1, t2, t3, tRelease;
    long rss0 = maxRssKiB(), rss1 = 0, rss2 = 0, rss3 = 0;
    for (int rep = 0; rep < std::max(s.reps, 1); ++rep) {
        auto a = Clock::now();
        grid.releaseModel();
        edgeList().clear();
        auto b = Clock::now();
        tRelease.push_back(seconds(a, b));
        a = b;
        if (!grid.setup(map, s.patch) || !grid.createPatches()) {
            std::printf("no grid for this map and patch size\n");
            return false;
        }
        grid.prepareModel();
        b = Clock::now();
        tPatches.push_back(seconds(a, b));
        grid.buildModel(threshold);
        a = Clock::now();
        t1.push_back(seconds(b, a));
        if (rep == 0) rss1 = maxRssKiB();
        markGraphVertices(grid);
        b = Clock::now();
        t2.push_back(seconds(a, b));
        if (rep == 0) rss2 = maxRssKiB();
        buildGraph(grid);
        a = Clock::now();
        t3.push_back(seconds(b, a));
        if (rep == 0) rss3 = maxRssKiB();
    }
    const double total = median(tPatches) + median(t1) + median(t2) + median(t3);
    std::printf("counts: triangles %zu, vertices %zu, edges %zu\n", triangleList().size(), vertexList().size(),
        edgeList().size());
    std::printf("build (median of %d):\n", std::max(s.reps, 1));
    std::printf("  release old model  %9.3f ms\n", 1e3 * median(tRelease));
    std::printf("  patches + prepare  %9.3f ms\n", 1e3 * median(tPatches));
    std::printf("  stage 1 model      %9.3f ms   peak RSS +%ld KiB\n", 1e3 * median(t1), rss1 - rss0);
    std::printf("  stage 2 vertices   %9.3f ms   peak RSS +%ld KiB\n", 1e3 * median(t2), rss2 - rss1);
    std::printf("  stage 3 graph      %9.3f ms   peak RSS +%ld KiB\n", 1e3 * median(t3), rss3 - rss2);
    std::printf("  whole build        %9.3f ms   (target < 2000 ms: %s)\n", 1e3 * total,
        total < 2.0 ? "met" : "MISSED");
    std::printf("memory held: triangles %zu KiB (%zu B each), vertices %zu KiB (%zu B each), edges %zu KiB "
                "(%zu B each), peak RSS %ld KiB\n",
        triangleList().size() * sizeof(Triangle) / 1024, sizeof(Triangle), vertexList().size() * sizeof(Vertex) / 1024,
        sizeof(Vertex), edgeBytes() / 1024, sizeof(Edge), maxRssKiB());
    return true;
}

// The first search of a model builds the index form of its graph; every
// search checks that it is still current.
void reportSearchGraph()
{
    modelSearch().clear();
    const auto t0 = Clock::now();
    modelSearch().graph();
    const auto t1 = Clock::now();
    const SearchGraph& graph = modelSearch().graph();
    std::printf("search graph (index form): built in %.3f ms, %zu KiB; checked in %.3f ms\n",
        1e3 * seconds(t0, t1), graph.bytes() / 1024, 1e3 * seconds(t1, Clock::now()));
}

// The plain-list search is quadratic; it runs once, and only when a rough
// guess (vertices squared at a few ns a step) fits the limit.
void comparePlainLists(Vertex* from, Vertex* to, const Settings& s, double tFull)
{
    const double guess = 3e-9 * static_cast<double>(vertexList().size()) * vertexList().size();
    if (guess > s.literalLimit) {
        std::printf("  plain lists   skipped (guessed %.0f s > limit %.0f s)\n", guess, s.literalLimit);
        return;
    }
    float literal = 0;
    testkit::LiteralSearch plain;
    const double tLiteral = timeMedian(1, [&] { literal = plain.search(from, to); });
    std::printf("  plain lists   %9.3f ms  length %.9g  (%.1f times the full search)\n", 1e3 * tLiteral,
        static_cast<double>(literal), tLiteral / tFull);
    std::printf("  plain lists work: %ld passes, %ld corrections looking at %ld edges\n", plain.passes,
        plain.corrections, plain.correctionEdges);
}

// Times the full search, the quick search and Dijkstra between two vertices
// and prints the full search's work.
void compareSearches(Vertex* from, Vertex* to, const Settings& s, const BoostCopy& boost)
{
    float full = 0, quick = 0;
    double shortest = 0;
    // Printed as before: -1 for no route.
    auto shown = [](const Route& route) { return route.found() ? route.length : -1.0f; };
    const double tFull = timeMedian(s.reps, [&] { full = shown(modelSearch().search(from, to)); });
    const double tQuick = timeMedian(s.reps, [&] { quick = shown(modelSearch().quickSearch(from, to)); });
    const double tDijkstra = timeMedian(s.reps, [&] { shortest = boost.shortest(from, to); });
    std::printf("  full search   %9.3f ms  length %.9g\n", 1e3 * tFull, static_cast<double>(full));
    std::printf("  quick search  %9.3f ms  length %.9g\n", 1e3 * tQuick, static_cast<double>(quick));
    std::printf("  Dijkstra      %9.3f ms  length %.9g\n", 1e3 * tDijkstra, shortest);
    std::printf("  full / Dijkstra %.2f (target <= 3: %s), quick / Dijkstra %.2f\n", tFull / tDijkstra,
        tFull <= 3 * tDijkstra ? "met" : "MISSED", tQuick / tDijkstra);
    WorkCounter work;
    const SearchWork w = modelSearch().search(from, to, &work).work;
    std::printf("  full search work: %ld edges examined, %lld passes, %lld corrections looking at %lld edges "
                "(graph: %zu edges)\n",
        work.examined, w.passes, w.corrections, w.correctionEdges, edgeList().size());
    std::printf("  full search time per edge looked at in corrections: %.2f ns (an upper bound: the whole "
                "search time)\n",
        1e9 * tFull / static_cast<double>(std::max(w.correctionEdges, 1LL)));
    comparePlainLists(from, to, s, tFull);
}

void runThreshold(const HeightMap& map, const Settings& s, int threshold)
{
    std::printf("\n== %d x %d, %d-bit, patch %d, threshold %d ==\n", map.columns(), map.rows(),
        map.bitsPerSample(), s.patch, threshold);
    PatchGrid grid;
    if (!buildAndReport(grid, map, s, threshold))
        return;

    const auto copyStart = Clock::now();
    const BoostCopy boost;
    std::printf("Boost graph copy: %.3f ms\n", 1e3 * seconds(copyStart, Clock::now()));
    reportSearchGraph();

    const int last = map.columns() - 1;
    const int corners[2][4] = {{0, 0, last, last}, {last, 0, 0, last}};
    for (const auto& c : corners) {
        Vertex* from = grid.nearestVertex(c[0], c[1]);
        Vertex* to = grid.nearestVertex(c[2], c[3]);
        if (!from || !to)
            continue;
        std::printf("search (%d,%d) -> (%d,%d), vertices (%d,%d) -> (%d,%d):\n", c[0], c[1], c[2], c[3], from->x,
            from->y, to->x, to->y);
        compareSearches(from, to, s, boost);
    }
    std::printf("peak RSS after the searches %ld KiB\n", maxRssKiB());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    Settings s;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--map" && value) s.map = argv[++i];
        else if (arg == "--patch" && value) s.patch = std::atoi(argv[++i]);
        else if (arg == "--reps" && value) s.reps = std::atoi(argv[++i]);
        else if (arg == "--literal-limit" && value) s.literalLimit = std::atof(argv[++i]);
        else if (arg == "--threshold" && value) s.threshold = std::atoi(argv[++i]);
        else if (arg == "--batch-reps" && value) s.batchReps = std::atoi(argv[++i]);
        else if (arg == "--jobs" && value) s.jobs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--no-batch") s.batch = false;
        else if (arg == "--batch-only") s.others = false;
        else {
            std::fprintf(stderr,
                "usage: vaskur-bench-core [--map FILE.raw] [--patch N] [--reps R] [--literal-limit SECONDS]\n"
                "                         [--threshold T] [--batch-reps R] [--jobs N] [--no-batch | --batch-only]\n");
            return 2;
        }
    }
    std::string generated;
    if (s.map.empty()) {
        const mapgen::Options o = mapgen::roughOptions(513, 16, 6);
        generated = (std::filesystem::temp_directory_path() / ("vaskur-bench-" + std::to_string(::getpid()) + ".raw"))
                        .string();
        if (!writeRaw(generated, mapgen::generate(o), o.side, o.bits)) {
            std::fprintf(stderr, "cannot write %s\n", generated.c_str());
            return 1;
        }
        s.map = generated;
    }
    HeightMap map;
    const bool loaded = map.load(s.map);
    if (!generated.empty())
        std::filesystem::remove(generated);
    if (!loaded) {
        std::fprintf(stderr, "cannot load %s\n", s.map.c_str());
        return 1;
    }
    std::printf("map %s\n", generated.empty() ? s.map.c_str() : "generated rough-513-16 (rough kind, seed 6)");
    std::fflush(stdout);
    // A child per case, so peak memory is measured from a fresh start.
    int status = 0;
    auto inChild = [&status](const std::function<void()>& run) {
        const pid_t pid = fork();
        if (pid == 0) {
            run();
            std::fflush(stdout);
            _exit(0);
        }
        int st = 0;
        if (pid < 0 || waitpid(pid, &st, 0) != pid || !WIFEXITED(st) || WEXITSTATUS(st) != 0)
            status = 1;
    };
    if (s.others)
        for (const int threshold : {0, 25})
            if (s.threshold < 0 || s.threshold == threshold)
                inChild([&] { runThreshold(map, s, threshold); });
    if (s.batch) {
        inChild([&] { runBatchCase(map, 32, 25, 200, s.jobs, s.batchReps); });
        inChild([&] { runBatchCase(map, 16, 0, 8, s.jobs, s.batchReps); });
    }
    return status;
}
