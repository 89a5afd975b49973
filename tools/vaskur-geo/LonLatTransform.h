// Conversion between a projected coordinate system and WGS 84 longitude and
// latitude (longitude first).
#pragma once

#include <memory>
#include <string>

class OGRCoordinateTransformation;

namespace vaskur_geo {

class LonLatTransform {
public:
    LonLatTransform();
    ~LonLatTransform();
    LonLatTransform(const LonLatTransform&) = delete;
    LonLatTransform& operator=(const LonLatTransform&) = delete;

    // Sets up the transforms for a coordinate system given as WKT (or
    // anything GDAL takes as a user input); false with a reason on failure.
    bool setup(const std::string& crs, std::string& error);

    bool toLonLat(double x, double y, double& lon, double& lat) const;
    bool fromLonLat(double lon, double lat, double& x, double& y) const;

private:
    struct Deleter {
        void operator()(OGRCoordinateTransformation* t) const;
    };
    std::unique_ptr<OGRCoordinateTransformation, Deleter> forward_;
    std::unique_ptr<OGRCoordinateTransformation, Deleter> inverse_;
};

} // namespace vaskur_geo
