// The real heights of an imported map, kept beside it as a GeoTIFF of 32-bit
// floats in metres (NaN where the source has no data), placed in the world
// by the same transform and coordinate system as the sidecar.
#pragma once

#include "tools/vaskur-geo/Sidecar.h"

#include <string>
#include <vector>

namespace vaskur_geo {

// Writes side x side heights, row 0 at the top (north); false with a reason.
bool writeHeightFile(const std::string& path, const std::vector<double>& metres, const Sidecar& sidecar,
    std::string& error);

// Reads the heights of a map of `side` samples a side into `metres` (row 0
// at the top); false with a reason naming the file when it cannot be read or
// has another size.
bool readHeightFile(const std::string& path, int side, std::vector<float>& metres, std::string& error);

} // namespace vaskur_geo
