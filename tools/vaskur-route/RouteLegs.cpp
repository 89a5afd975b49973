// Carrying route points from longitude/latitude or the map's coordinate
// system into its samples.
#include "tools/vaskur-route/RouteLegs.h"

#include "tools/vaskur-geo/LonLatTransform.h"
#include "tools/vaskur-geo/PointFile.h"

#include <cstdio>

namespace vaskur_route {

namespace {

// Turns points of one kind into samples through the sidecar.
class Placer {
public:
    Placer(PointKind kind, const std::optional<vaskur_geo::Sidecar>& sidecar) : kind_(kind), sidecar_(sidecar) {}

    bool setUp(std::string& error)
    {
        if (kind_ != PointKind::LonLat)
            return true;
        if (lonLat_.setup(sidecar_->crsWkt, error))
            return true;
        error = "the map's coordinate system: " + error;
        return false;
    }

    bool place(double x, double y, const std::string& name, vaskur_geo::PlanePoint& at, std::string& error) const
    {
        if (kind_ == PointKind::Samples) {
            at = {x, y};
            return true;
        }
        double crsX = x, crsY = y;
        if ((kind_ == PointKind::LonLat && !lonLat_.fromLonLat(x, y, crsX, crsY))
            || !sidecar_->fromCrs(crsX, crsY, at.x, at.y)) {
            error = "point " + name + " has no place on the map";
            return false;
        }
        return true;
    }

private:
    PointKind kind_;
    const std::optional<vaskur_geo::Sidecar>& sidecar_;
    vaskur_geo::LonLatTransform lonLat_;
};

bool legsFromFile(const Options& options, const std::optional<vaskur_geo::Sidecar>& sidecar,
    std::vector<Leg>& legs, std::string& error)
{
    const vaskur_geo::PointAxes axes = options.kind == PointKind::LonLat ? vaskur_geo::PointAxes::LonLat
        : options.kind == PointKind::Crs                                 ? vaskur_geo::PointAxes::Map
                                                                         : vaskur_geo::PointAxes::Guess;
    std::vector<vaskur_geo::CrsPoint> points;
    if (!vaskur_geo::readPointFile(options.pointsFile, sidecar->crsWkt, axes, points, error))
        return false;
    const Placer placer(PointKind::Crs, sidecar);
    std::vector<LegEnd> ends(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "point %zu (%.10g %.10g)", i + 1, points[i].x, points[i].y);
        ends[i].name = name;
        if (!placer.place(points[i].x, points[i].y, name, ends[i].at, error))
            return false;
    }
    for (std::size_t i = 1; i < ends.size(); ++i)
        legs.push_back({ends[i - 1], ends[i]});
    return true;
}

} // namespace

bool makeLegs(const Options& options, const std::optional<vaskur_geo::Sidecar>& sidecar, std::vector<Leg>& legs,
    std::string& error)
{
    legs.clear();
    if (!options.pointsFile.empty())
        return legsFromFile(options, sidecar, legs, error);
    Placer placer(options.kind, sidecar);
    if (!placer.setUp(error))
        return false;
    for (const RouteQuery& q : options.queries) {
        Leg leg{{{}, q.from.text}, {{}, q.to.text}};
        if (!placer.place(q.from.x, q.from.y, q.from.text, leg.from.at, error)
            || !placer.place(q.to.x, q.to.y, q.to.text, leg.to.at, error))
            return false;
        legs.push_back(leg);
    }
    return true;
}

} // namespace vaskur_route
