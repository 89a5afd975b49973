// The steps of a vaskur-route run, and the lines it prints.
#include "tools/vaskur-route/RouteRun.h"

#include "terrain/HeightMap.h"
#include "tools/vaskur-geo/RouteProfile.h"
#include "tools/vaskur-route/RouteFiles.h"
#include "tools/vaskur-route/RouteLegs.h"
#include "tools/vaskur-route/RouteMap.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace vaskur_route {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

MapPoint nearestSample(vaskur_geo::PlanePoint p)
{
    // Clamped far outside so that any point fits an int32 and still lies
    // outside the map.
    auto round = [](double v) { return static_cast<std::int32_t>(std::lround(std::clamp(v, -1e9, 1e9))); };
    return {round(p.x), round(p.y)};
}

class Run {
public:
    explicit Run(const Options& options) : options_(options) {}

    int execute()
    {
        std::string error;
        if (!prepare(error)) {
            std::fprintf(stderr, "vaskur-route: %s\n", error.c_str());
            return 1;
        }
        printModel();
        for (const Leg& leg : legs_)
            look(leg);
        std::fflush(stdout);
        if (!failures_.empty()) {
            for (const std::string& f : failures_)
                std::fprintf(stderr, "vaskur-route: %s\n", f.c_str());
            return 3;
        }
        if (!files_.write(error)) {
            std::fprintf(stderr, "vaskur-route: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }

private:
    bool prepare(std::string& error)
    {
        const auto start = Clock::now();
        if (!map_.load(options_, error))
            return false;
        if (options_.time)
            std::fprintf(stderr, "load %.6f s\n", secondsSince(start));
        if (!files_.prepare(options_, map_.sidecar(), error) || !makeLegs(options_, map_.sidecar(), legs_, error))
            return false;
        const bool built = map_.model().build(options_.patchSize, options_.threshold,
            [&](const char* stage, double seconds) {
                if (options_.time)
                    std::fprintf(stderr, "%s %.6f s\n", stage, seconds);
            });
        if (!built)
            error = "no model can be built on " + options_.map;
        return built;
    }

    void printModel() const
    {
        const Model& model = map_.model();
        std::printf("map %d %d\n", static_cast<int>(model.mapColumns()), static_cast<int>(model.bitsPerSample()));
        std::printf("triangles %zu\n", model.triangleCount());
        std::printf("vertices %zu\n", model.vertexCount());
        std::printf("edges %zu\n", model.edgeCount());
    }

    void fail(const Leg& leg, const std::string& reason)
    {
        failures_.push_back("no route from " + leg.from.name + " to " + leg.to.name + reason);
    }

    // Checks the ends, runs the search and prints its line, then measures
    // and keeps the walked line.
    void look(const Leg& leg)
    {
        const MapPoint a = nearestSample(leg.from.at), b = nearestSample(leg.to.at);
        std::printf("route %d %d %d %d", static_cast<int>(a.x), static_cast<int>(a.y), static_cast<int>(b.x),
            static_cast<int>(b.y));
        if (!map_.inside(a) || !map_.inside(b)) {
            std::printf(" outside\n");
            fail(leg, ": " + (map_.inside(a) ? leg.to.name : leg.from.name) + " lies outside the map");
            return;
        }
        const auto start = Clock::now();
        const RouteResult r = map_.model().route(a.x, a.y, b.x, b.y, options_.quick);
        const double seconds = secondsSince(start);
        printRoute(r);
        if (options_.time)
            std::fprintf(stderr, "%s %d %d %d %d %.6f s\n", options_.quick ? "quicksearch" : "search",
                static_cast<int>(a.x), static_cast<int>(a.y), static_cast<int>(b.x), static_cast<int>(b.y), seconds);
        if (map_.isWall(a) || map_.isWall(b)) {
            fail(leg, ": " + (map_.isWall(a) ? leg.from.name : leg.to.name) + " lies in a wall (no data)");
            return;
        }
        if (r.brokenChain)
            fail(leg, ": the previous links of the route do not lead back to its start");
        else if (r.length < 0)
            fail(leg, "");
        else
            walk(leg, r, a, b);
    }

    void printRoute(const RouteResult& r) const
    {
        std::printf(" from %d %d to %d %d length %.9g vertices %zu\n", static_cast<int>(r.from.x),
            static_cast<int>(r.from.y), static_cast<int>(r.to.x), static_cast<int>(r.to.y),
            static_cast<double>(r.length), r.path.size());
        if (options_.path && r.length > 0) {
            std::printf("path");
            for (const auto& p : r.path)
                std::printf(" %d %d", static_cast<int>(p.x), static_cast<int>(p.y));
            std::printf("\n");
        }
    }

    // The walked line from the asked start over the model vertices to the
    // asked end; the two short walks at the ends must be passable.
    void walk(const Leg& leg, const RouteResult& r, MapPoint a, MapPoint b)
    {
        if (!walkable(a, r.from, leg.from.name, leg) || !walkable(b, r.to, leg.to.name, leg))
            return;
        std::vector<vaskur_geo::SamplePoint> vertices;
        for (const MapPoint& p : r.path)
            vertices.push_back({p.x, p.y});
        if (vertices.empty())
            vertices.push_back({r.from.x, r.from.y});
        vaskur_geo::ExportedRoute out{{r.from.x, r.from.y}, {r.to.x, r.to.y}, r.length,
            vaskur_geo::traceLine(vaskur_geo::walkedLine(leg.from.at, vertices, leg.to.at), map_.ground())};
        printWalk(leg, r, out.trace);
        files_.add(std::move(out));
    }

    // Whether the short walk between an end's sample and its model vertex is
    // passable (in either direction: a step of two units blocks both ways).
    bool walkable(MapPoint sample, MapPoint vertex, const std::string& name, const Leg& leg)
    {
        const HeightMap& map = map_.model().heightMap();
        const bool same = sample.x == vertex.x && sample.y == vertex.y;
        if (same || map.segmentCost(sample.x, sample.y, vertex.x, vertex.y) > 0)
            return true;
        fail(leg, ": " + name + " cannot be walked to its nearest model vertex " + std::to_string(vertex.x) + " "
                + std::to_string(vertex.y));
        return false;
    }

    void printWalk(const Leg& leg, const RouteResult& r, const vaskur_geo::RouteTrace& trace) const
    {
        const bool metres = map_.sidecar().has_value();
        const double unit = metres ? map_.ground().spacingMetres() : 1.0;
        const double startGap = std::hypot(leg.from.at.x - r.from.x, leg.from.at.y - r.from.y) * unit;
        const double endGap = std::hypot(leg.to.at.x - r.to.x, leg.to.at.y - r.to.y) * unit;
        std::printf("ends %.1f %.1f %s\n", startGap, endGap, metres ? "m" : "samples");
        if (!metres)
            return;
        const vaskur_geo::RouteFigures& f = trace.figures;
        std::printf("walk %.1f m climb %.1f m descent %.1f m time %.0f s (%s)\n", f.groundMetres, f.climbMetres,
            f.descentMetres, f.walkSeconds, vaskur_geo::walkTimeText(f.walkSeconds).c_str());
    }

    const Options& options_;
    RouteMap map_;
    RouteFiles files_;
    std::vector<Leg> legs_;
    std::vector<std::string> failures_;
};

} // namespace

int runRoutes(const Options& options)
{
    return Run(options).execute();
}

} // namespace vaskur_route
