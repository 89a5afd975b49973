// Collecting the routes found and handing them to the writers.
#include "tools/vaskur-route/RouteFiles.h"

namespace vaskur_route {

bool RouteFiles::prepare(const Options& options, const std::optional<vaskur_geo::Sidecar>& sidecar,
    std::string& error)
{
    outputs_ = {options.geojson, options.gpx, options.profileCsv, options.profileSvg};
    if (!outputs_.any())
        return true;
    const vaskur_geo::RouteSettings settings{options.patchSize, options.threshold, options.quick};
    export_ = std::make_unique<vaskur_geo::RouteExport>(settings, sidecar);
    return export_->check(outputs_, error);
}

void RouteFiles::add(vaskur_geo::ExportedRoute route)
{
    if (export_)
        routes_.push_back(std::move(route));
}

bool RouteFiles::write(std::string& error) const
{
    return !export_ || export_->write(outputs_, routes_, error);
}

} // namespace vaskur_route
