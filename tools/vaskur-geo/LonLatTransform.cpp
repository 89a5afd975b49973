// Coordinate transforms through OGR, with longitude and latitude kept in
// the usual GIS order whatever the coordinate system's axis order.
#include "tools/vaskur-geo/LonLatTransform.h"

#include <ogr_spatialref.h>

namespace vaskur_geo {

void LonLatTransform::Deleter::operator()(OGRCoordinateTransformation* t) const
{
    OGRCoordinateTransformation::DestroyCT(t);
}

LonLatTransform::LonLatTransform() = default;
LonLatTransform::~LonLatTransform() = default;

bool LonLatTransform::setup(const std::string& crs, std::string& error)
{
    OGRSpatialReference projected, wgs84;
    if (projected.SetFromUserInput(crs.c_str()) != OGRERR_NONE) {
        error = "unknown coordinate system";
        return false;
    }
    wgs84.SetWellKnownGeogCS("WGS84");
    projected.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    forward_.reset(OGRCreateCoordinateTransformation(&projected, &wgs84));
    inverse_.reset(OGRCreateCoordinateTransformation(&wgs84, &projected));
    if (!forward_ || !inverse_) {
        error = "no transform between the map's coordinate system and longitude/latitude";
        return false;
    }
    return true;
}

bool LonLatTransform::toLonLat(double x, double y, double& lon, double& lat) const
{
    lon = x;
    lat = y;
    return forward_ && forward_->Transform(1, &lon, &lat);
}

bool LonLatTransform::fromLonLat(double lon, double lat, double& x, double& y) const
{
    x = lon;
    y = lat;
    return inverse_ && inverse_->Transform(1, &x, &y);
}

} // namespace vaskur_geo
