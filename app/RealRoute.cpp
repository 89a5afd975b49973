// Following a route back from its end, measuring it and saving it.
#include "app/RealRoute.h"

#include <filesystem>

#include "app/RealTerrain.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/Vertex.h"

namespace {

// How many numbered files are tried before saving gives up.
constexpr int maxSavedRoutes = 9999;

vaskur_geo::HeightLookup lookupIn(const HeightMap& map)
{
    return [&map](std::int32_t x, std::int32_t y) { return map.heightAt(x, y); };
}

// A name that cannot be checked counts as taken: nothing is overwritten.
bool exists(const std::string& path)
{
    std::error_code ec;
    const bool there = std::filesystem::exists(path, ec);
    return there || ec;
}

} // namespace

bool RealRoute::take(const Vertex* start, const Vertex* end, float length, const vaskur_geo::RouteSettings& settings,
    const RealTerrain& terrain, const HeightMap& map)
{
    clear();
    if (!start || !end || length <= 0 || !terrain.loaded())
        return false;
    // Follow previous from the end; a route never holds more vertices than
    // the graph, so a longer chain is a loop.
    std::vector<vaskur_geo::SamplePoint> reversed;
    const std::size_t limit = vertexList().size();
    const Vertex* v = end;
    while (v && reversed.size() < limit) {
        reversed.push_back({v->x, v->y});
        if (v == start)
            break;
        v = v->previous;
    }
    if (reversed.empty() || v != start)
        return false;
    route_.from = {start->x, start->y};
    route_.to = {end->x, end->y};
    route_.length = length;
    route_.path.assign(reversed.rbegin(), reversed.rend());
    settings_ = settings;
    terrain_ = &terrain;
    map_ = &map;
    const vaskur_geo::Sidecar& sidecar = terrain.sidecar();
    profile_ = vaskur_geo::groundProfile(route_.path, lookupIn(map), sidecar.spacingMetres, sidecar.heightUnitMetres,
        sidecar.heightOffsetMetres, true);
    present_ = true;
    return true;
}

void RealRoute::clear()
{
    present_ = false;
    route_ = {};
    profile_ = {};
    terrain_ = nullptr;
    map_ = nullptr;
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
    const vaskur_geo::RouteExport writer(settings_, lookupIn(*map_), terrain_->sidecar());
    const std::vector<vaskur_geo::ExportedRoute> routes{route_};
    if (!writer.writeGpx(gpx, routes, error))
        return false;
    if (!writer.writeGeoJson(geoJson, routes, error)) {
        std::error_code ec;
        std::filesystem::remove(gpx, ec);
        return false;
    }
    gpxName = std::filesystem::path(gpx).filename().string();
    geoJsonName = std::filesystem::path(geoJson).filename().string();
    return true;
}
