// Tracing the walked line of a route found in the window, and saving it.
#include "app/RealRoute.h"

#include <filesystem>

#include "app/RealTerrain.h"
#include "terrain/HeightMap.h"
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

} // namespace

bool RealRoute::take(PickedSample from, PickedSample to, const std::vector<const Vertex*>& path, float length,
    const vaskur_geo::RouteSettings& settings, const RealTerrain& terrain, const HeightMap& map)
{
    clear();
    if (path.empty() || length <= 0 || !terrain.loaded())
        return false;
    const Vertex* start = path.front();
    const Vertex* end = path.back();
    if (terrain.isWall(from.x, from.y) || terrain.isWall(to.x, to.y) || !walkable(map, from, *start)
        || !walkable(map, to, *end))
        return false;
    std::vector<vaskur_geo::SamplePoint> vertices;
    for (const Vertex* v : path)
        vertices.push_back({v->x, v->y});
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
