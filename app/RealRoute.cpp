// Following a route back from its end, tracing the walked line and saving
// it.
#include "app/RealRoute.h"

#include <filesystem>

#include "app/RealTerrain.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/Vertex.h"
#include "tools/vaskur-geo/GdalMessages.h"

namespace {

// How many numbered files are tried before saving gives up.
constexpr int maxSavedRoutes = 9999;

// A name that cannot be checked counts as taken: nothing is overwritten.
bool exists(const std::string& path)
{
    std::error_code ec;
    const bool there = std::filesystem::exists(path, ec);
    return there || ec;
}

// The short walk between a picked sample and its model vertex must be
// passable (a step of two units blocks both ways).
bool walkable(const HeightMap& map, PickedSample p, const Vertex& vertex)
{
    return (p.x == vertex.x && p.y == vertex.y) || map.segmentCost(p.x, p.y, vertex.x, vertex.y) > 0;
}

// The vertices from `start` to `end`, following previous from the end; empty
// when the links do not lead back to the start. A route never holds more
// vertices than the graph, so a longer chain is a loop.
std::vector<vaskur_geo::SamplePoint> vertexPath(const Vertex* start, const Vertex* end)
{
    std::vector<vaskur_geo::SamplePoint> reversed;
    const std::size_t limit = vertexList().size();
    const Vertex* v = end;
    while (v && reversed.size() < limit) {
        reversed.push_back({v->x, v->y});
        if (v == start)
            break;
        v = v->previous;
    }
    if (v != start)
        reversed.clear();
    return {reversed.rbegin(), reversed.rend()};
}

} // namespace

bool RealRoute::take(PickedSample from, PickedSample to, const Vertex* start, const Vertex* end, float length,
    const vaskur_geo::RouteSettings& settings, const RealTerrain& terrain, const HeightMap& map)
{
    clear();
    if (!start || !end || length <= 0 || !terrain.loaded())
        return false;
    if (terrain.isWall(from.x, from.y) || terrain.isWall(to.x, to.y) || !walkable(map, from, *start)
        || !walkable(map, to, *end))
        return false;
    const std::vector<vaskur_geo::SamplePoint> vertices = vertexPath(start, end);
    if (vertices.empty())
        return false;
    const vaskur_geo::PlanePoint a{static_cast<double>(from.x), static_cast<double>(from.y)};
    const vaskur_geo::PlanePoint b{static_cast<double>(to.x), static_cast<double>(to.y)};
    route_ = {{start->x, start->y}, {end->x, end->y}, length,
        vaskur_geo::traceLine(vaskur_geo::walkedLine(a, vertices, b), terrain.ground())};
    settings_ = settings;
    terrain_ = &terrain;
    present_ = true;
    return true;
}

void RealRoute::clear()
{
    present_ = false;
    route_ = {};
    terrain_ = nullptr;
}

std::string savedRouteStem(const std::string& mapPath)
{
    const std::filesystem::path path(mapPath);
    std::filesystem::path stem = path;
    if (path.extension() == ".raw")
        stem.replace_extension();
    return stem.string() + "-route-";
}

bool RealRoute::save(std::string& gpxName, std::string& geoJsonName, std::string& error) const
{
    if (!present_) {
        error = "no route to save";
        return false;
    }
    const std::string stem = savedRouteStem(terrain_->mapPath());
    std::string gpx, geoJson;
    bool free = false;
    for (int n = 1; n <= maxSavedRoutes && !free; ++n) {
        gpx = stem + std::to_string(n) + ".gpx";
        geoJson = stem + std::to_string(n) + ".geojson";
        free = !exists(gpx) && !exists(geoJson);
    }
    if (!free) {
        error = "no free file name " + stem + "N.gpx up to N = " + std::to_string(maxSavedRoutes);
        return false;
    }
    const vaskur_geo::GdalQuiet quiet;  // the reason comes back in `error`
    const vaskur_geo::RouteExport writer(settings_, terrain_->sidecar());
    vaskur_geo::RouteOutputs outputs;
    outputs.gpx = gpx;
    outputs.geojson = geoJson;
    if (!writer.write(outputs, {route_}, error))
        return false;
    gpxName = std::filesystem::path(gpx).filename().string();
    geoJsonName = std::filesystem::path(geoJson).filename().string();
    return true;
}
