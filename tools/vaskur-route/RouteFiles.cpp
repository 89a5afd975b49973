// Collecting the routes found and handing them to the GeoJSON and GPX
// writers.
#include "tools/vaskur-route/RouteFiles.h"

#include "terrain/HeightMap.h"

#include <filesystem>

namespace vaskur_route {

bool RouteFiles::prepare(const Options& options, const Model& model, std::string& error)
{
    geojson_ = options.geojson;
    gpx_ = options.gpx;
    if (geojson_.empty() && gpx_.empty())
        return true;
    std::optional<vaskur_geo::Sidecar> sidecar;
    const std::string sidecarFile = vaskur_geo::sidecarPath(options.map);
    std::error_code ec;
    if (std::filesystem::exists(sidecarFile, ec)) {
        sidecar.emplace();
        if (!sidecar->read(sidecarFile, error))
            return false;
        if (sidecar->side != model.mapColumns()) {
            error = sidecarFile + " describes a map of " + std::to_string(sidecar->side) + " samples a side, not "
                + std::to_string(model.mapColumns());
            return false;
        }
    } else if (!gpx_.empty()) {
        error = "--gpx needs longitude and latitude, and " + options.map + " has no sidecar " + sidecarFile
            + " (vaskur-import writes one)";
        return false;
    }
    const HeightMap& map = model.heightMap();
    vaskur_geo::RouteSettings settings{options.patchSize, options.threshold, options.quick};
    export_ = std::make_unique<vaskur_geo::RouteExport>(
        settings, [&map](std::int32_t x, std::int32_t y) { return map.heightAt(x, y); }, std::move(sidecar));
    return true;
}

void RouteFiles::add(const RouteResult& route)
{
    if (!export_ || route.length <= 0 || route.brokenChain)
        return;
    vaskur_geo::ExportedRoute out;
    out.from = {route.from.x, route.from.y};
    out.to = {route.to.x, route.to.y};
    out.length = route.length;
    for (const MapPoint& p : route.path)
        out.path.push_back({p.x, p.y});
    routes_.push_back(std::move(out));
}

bool RouteFiles::write(std::string& error) const
{
    if (!export_)
        return true;
    if (!geojson_.empty() && !export_->writeGeoJson(geojson_, routes_, error))
        return false;
    return gpx_.empty() || export_->writeGpx(gpx_, routes_, error);
}

} // namespace vaskur_route
