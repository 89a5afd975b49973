// Reading and checking the sidecar of a loaded map and its heights in metres.
#include "tools/vaskur-geo/MapPlacement.h"

#include "tools/vaskur-geo/HeightFile.h"
#include "tools/vaskur-geo/LonLatTransform.h"

#include <utility>
#include <vector>

namespace vaskur_geo {

namespace {

bool readSidecar(const std::string& file, int side, int bits, Sidecar& sidecar, std::string& error)
{
    if (!sidecar.read(file, error))
        return false;
    if (!sidecar.matches(side, bits, error)) {
        error = file + ": " + error;
        return false;
    }
    // Routes are written in longitude and latitude.
    if (LonLatTransform lonLat; !lonLat.setup(sidecar.crsWkt, error)) {
        error = file + ": crsWkt: " + error;
        return false;
    }
    return true;
}

} // namespace

bool readMapPlacement(const std::string& file, int side, int bits, RawLookup raw, MapPlacement& placement,
    std::string& error)
{
    placement.ground.reset();
    if (!readSidecar(file, side, bits, placement.sidecar, error))
        return false;
    GroundHeights ground = GroundHeights::fromSidecar(placement.sidecar, std::move(raw));
    const std::string heights = placement.sidecar.heightsPath(file);
    if (!heights.empty()) {
        std::vector<float> metres;
        if (!readHeightFile(heights, placement.sidecar.side, metres, error))
            return false;
        ground.useRealHeights(std::move(metres));
    }
    placement.ground.emplace(std::move(ground));
    return true;
}

} // namespace vaskur_geo
