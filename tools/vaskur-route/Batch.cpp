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

namespace {

bool onMap(const Model& model, MapPoint p)
{
    return p.x >= 0 && p.y >= 0 && p.x < model.mapColumns() && p.y < model.mapRows();
}

} // namespace

std::vector<BatchEntry> routeAll(const Model& model, const std::vector<SamplePair>& pairs, bool quick, int jobs)
{
    std::vector<BatchEntry> entries(pairs.size());
    if (pairs.empty())
        return entries;
    // Built here, once, before any thread reads it.
    const SearchGraph& graph = model.searchGraph();
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        SearchWorkspace workspace;
        for (std::size_t i = next++; i < pairs.size(); i = next++) {
            const SamplePair& p = pairs[i];
            BatchEntry& entry = entries[i];
            entry.inside = onMap(model, p.from) && onMap(model, p.to);
            if (!entry.inside)
                continue;
            const auto start = std::chrono::steady_clock::now();
            entry.result = model.route(graph, workspace, p.from.x, p.from.y, p.to.x, p.to.y, quick);
            entry.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    };
    const std::size_t threads = std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), pairs.size());
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return entries;
}

} // namespace vaskur_route
