// Batch routing over one search graph: every thread takes the next pair from
// a shared counter and searches it in a workspace of its own. Times are wall
// times (several threads work at once), so other load on the machine shows;
// the processor time of the whole process is given beside them: when it is
// the same for one thread and for several, the threads did no extra work
// and the wall time gains all that the free cores allow.
#include "bench/core/batch_case.h"

#include "route/ModelBuild.h"
#include "route/ModelSearch.h"
#include "route/RouteSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "tools/vaskur-mapgen/MapGen.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<const Vertex*, const Vertex*>>;

double processorTime()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

struct BatchRun {
    double seconds = 0.0;
    double processorSeconds = 0.0;
    std::vector<Route> routes;
    std::size_t workspaceBytes = 0;  // the largest workspace of the run
};

BatchRun routeAll(const SearchGraph& graph, const Pairs& pairs, int jobs)
{
    BatchRun run;
    run.routes.resize(pairs.size());
    std::vector<std::size_t> bytes(static_cast<std::size_t>(jobs), 0);
    std::atomic<std::size_t> next{0};
    auto work = [&](std::size_t thread) {
        SearchWorkspace workspace;
        for (std::size_t i = next++; i < pairs.size(); i = next++)
            run.routes[i] = RouteSearch(graph, workspace).search(pairs[i].first, pairs[i].second);
        bytes[thread] = workspace.bytes();
    };
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = processorTime();
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t)
        threads.emplace_back(work, static_cast<std::size_t>(t));
    work(0);
    for (std::thread& thread : threads)
        thread.join();
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.processorSeconds = processorTime() - processorStart;
    run.workspaceBytes = *std::max_element(bytes.begin(), bytes.end());
    return run;
}

bool sameRoutes(const std::vector<Route>& a, const std::vector<Route>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].outcome != b[i].outcome || a[i].length != b[i].length || a[i].path != b[i].path
            || a[i].work.correctionEdges != b[i].work.correctionEdges)
            return false;
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

void runBatchCase(const HeightMap& map, int patch, int threshold, int pairCount, int jobs, int reps)
{
    std::printf("\n== batch: %d random pairs, patch %d, threshold %d, 1 thread against %d ==\n", pairCount, patch,
        threshold, jobs);
    PatchGrid grid;
    if (!buildModelAndGraph(grid, map, patch, threshold)) {
        std::printf("no model for this map and patch size\n");
        return;
    }
    const SearchGraph& graph = modelSearch().graph();
    mapgen::Random random(4242);
    Pairs pairs;
    auto coordinate = [&] { return static_cast<int32_t>(random.next() % static_cast<uint64_t>(map.columns())); };
    while (static_cast<int>(pairs.size()) < pairCount) {
        const int32_t x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
        pairs.emplace_back(grid.nearestVertex(x1, y1), grid.nearestVertex(x2, y2));
    }
    std::printf("vertices %zu, edges of the search graph %u\n", vertexList().size(), graph.firstArc(graph.size()));
    std::vector<double> alone, together, aloneProcessor, togetherProcessor;
    bool agree = true;
    std::size_t workspaceBytes = 0;
    long long corrections = 0;
    int found = 0;
    for (int rep = 0; rep < std::max(reps, 1); ++rep) {
        const BatchRun one = routeAll(graph, pairs, 1);
        const BatchRun many = routeAll(graph, pairs, jobs);
        alone.push_back(one.seconds);
        together.push_back(many.seconds);
        aloneProcessor.push_back(one.processorSeconds);
        togetherProcessor.push_back(many.processorSeconds);
        agree = agree && sameRoutes(one.routes, many.routes);
        workspaceBytes = std::max(workspaceBytes, many.workspaceBytes);
        if (rep == 0)
            for (const Route& route : one.routes) {
                found += route.found();
                corrections += route.work.corrections;
            }
    }
    const double a = median(alone), b = median(together);
    std::printf("routes found %d of %d, corrections %lld\n", found, pairCount, corrections);
    std::printf("1 thread   %9.3f s  %8.2f routes/s  (median of %d, wall time)\n", a, pairCount / a,
        std::max(reps, 1));
    std::printf("%d threads  %9.3f s  %8.2f routes/s  (median of %d, wall time)\n", jobs, b, pairCount / b,
        std::max(reps, 1));
    std::printf("throughput %d threads / 1 thread: %.2f; results identical: %s\n", jobs, a / b, agree ? "yes" : "NO");
    std::printf("processor time of the process: 1 thread %.3f s, %d threads %.3f s (medians)\n",
        median(aloneProcessor), jobs, median(togetherProcessor));
    std::printf("memory per extra workspace: %zu KiB (%.1f B per vertex); search graph %zu KiB\n",
        workspaceBytes / 1024, static_cast<double>(workspaceBytes) / graph.size(), graph.bytes() / 1024);
    std::fflush(stdout);
    releaseModelAndGraph(grid);
}
