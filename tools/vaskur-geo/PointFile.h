// Route points read from a file with OGR: the features of the first point
// layer that holds any (CSV with lon/lat or x/y columns, GeoJSON, GPX
// waypoints, route points or track points), in order, carried into the
// map's coordinate system.
#pragma once

#include <string>
#include <vector>

namespace vaskur_geo {

// How coordinates without a coordinate system of their own are read.
enum class PointAxes {
    Guess,   // x/y or easting/northing columns are the map's, anything else longitude/latitude
    LonLat,  // WGS 84 longitude and latitude
    Map,     // the map's own coordinate system
};

struct CrsPoint {
    double x = 0.0;
    double y = 0.0;
};

// Reads at least two points into `points`, in the coordinate system given
// as `mapCrs` (WKT). False with a one-line reason naming the file, and the
// feature where one is at fault.
bool readPointFile(const std::string& path, const std::string& mapCrs, PointAxes axes,
    std::vector<CrsPoint>& points, std::string& error);

} // namespace vaskur_geo
