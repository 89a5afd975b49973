// The threads of a batch take the next query from a shared counter until
// none is left; each writes only its own entries.
#include "tools/vaskur-route/Batch.h"

#include "route/SearchWorkspace.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace vaskur_route {

int defaultJobs()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::vector<BatchEntry> routeAll(const Model& model, const std::vector<RouteQuery>& queries, bool quick, int jobs)
{
    std::vector<BatchEntry> entries(queries.size());
    // Built here, once, before any thread reads it.
    const SearchGraph& graph = model.searchGraph();
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        SearchWorkspace workspace;
        for (std::size_t i = next++; i < queries.size(); i = next++) {
            const RouteQuery& q = queries[i];
            BatchEntry& entry = entries[i];
            entry.inside = q.x1 >= 0 && q.y1 >= 0 && q.x1 < model.mapColumns() && q.y1 < model.mapRows()
                && q.x2 >= 0 && q.y2 >= 0 && q.x2 < model.mapColumns() && q.y2 < model.mapRows();
            if (!entry.inside)
                continue;
            const auto start = std::chrono::steady_clock::now();
            entry.result = model.route(graph, workspace, q.x1, q.y1, q.x2, q.y2, quick);
            entry.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    };
    const std::size_t threads = std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), queries.size());
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return entries;
}

} // namespace vaskur_route
