// vaskur-route: builds the terrain model and route graph of a height map the
// way the main window does and finds routes between given points, printing
// plain text for scripts, tests and benchmarks.
#include "tools/vaskur-route/Batch.h"
#include "tools/vaskur-route/Options.h"
#include "tools/vaskur-route/Model.h"
#include "tools/vaskur-route/RouteFiles.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vaskur-route %s\n", VASKUR_VERSION);
        return 0;
    }
    vaskur_route::Options options;
    std::string error;
    if (!vaskur_route::parseArguments(argc - 1, argv + 1, options, error)) {
        std::fprintf(stderr, "vaskur-route: %s; %s\n", error.c_str(), vaskur_route::usageText);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n", vaskur_route::usageText);
        return 0;
    }

    vaskur_route::Model model;
    auto start = Clock::now();
    if (!model.load(options.map)) {
        std::fputs("Viga faili lugemisel! V\xc3\xb5ib-olla ei ole vorming sobiv?\n", stderr);
        return 1;
    }
    if (options.time)
        std::fprintf(stderr, "load %.6f s\n", secondsSince(start));
    vaskur_route::RouteFiles files;
    if (!files.prepare(options, model, error)) {
        std::fprintf(stderr, "vaskur-route: %s\n", error.c_str());
        return 1;
    }

    const bool built = model.build(options.patchSize, options.threshold, [&](const char* stage, double seconds) {
        if (options.time)
            std::fprintf(stderr, "%s %.6f s\n", stage, seconds);
    });
    if (!built) {
        std::fputs("vaskur-route: no model can be built on this map\n", stderr);
        return 1;
    }

    std::printf("map %d %d\n", static_cast<int>(model.mapColumns()), static_cast<int>(model.bitsPerSample()));
    std::printf("triangles %zu\n", model.triangleCount());
    std::printf("vertices %zu\n", model.vertexCount());
    std::printf("edges %zu\n", model.edgeCount());

    const std::vector<vaskur_route::BatchEntry> entries = vaskur_route::routeAll(model, options.queries,
        options.quick, options.jobs > 0 ? options.jobs : vaskur_route::defaultJobs());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const vaskur_route::RouteQuery& q = options.queries[i];
        std::printf("route %d %d %d %d", static_cast<int>(q.x1), static_cast<int>(q.y1), static_cast<int>(q.x2),
            static_cast<int>(q.y2));
        if (!entries[i].inside) {
            std::printf(" outside\n");
            continue;
        }
        const vaskur_route::RouteResult& r = entries[i].result;
        const double seconds = entries[i].seconds;
        files.add(r);
        std::printf(" from %d %d to %d %d length %.9g vertices %zu\n", static_cast<int>(r.from.x),
            static_cast<int>(r.from.y), static_cast<int>(r.to.x), static_cast<int>(r.to.y),
            static_cast<double>(r.length), r.path.size());
        if (options.path && r.length > 0) {
            std::printf("path");
            for (const auto& p : r.path)
                std::printf(" %d %d", static_cast<int>(p.x), static_cast<int>(p.y));
            std::printf("\n");
        }
        if (options.time)
            std::fprintf(stderr, "%s %d %d %d %d %.6f s\n", options.quick ? "quicksearch" : "search",
                static_cast<int>(q.x1), static_cast<int>(q.y1), static_cast<int>(q.x2), static_cast<int>(q.y2),
                seconds);
        if (r.brokenChain)
            std::fprintf(stderr, "vaskur-route: the predecessors of route %d %d %d %d do not lead back to its start\n",
                static_cast<int>(q.x1), static_cast<int>(q.y1), static_cast<int>(q.x2), static_cast<int>(q.y2));
    }
    std::fflush(stdout);
    if (!files.write(error)) {
        std::fprintf(stderr, "vaskur-route: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
