// Where a loaded raw map lies and what its heights are in metres: its
// sidecar, checked against the map, and its ground heights. Read the same
// way by vaskur-route and the program, so both take a map as real terrain
// under the same conditions.
#pragma once

#include "tools/vaskur-geo/GroundHeights.h"
#include "tools/vaskur-geo/Sidecar.h"

#include <optional>
#include <string>

namespace vaskur_geo {

struct MapPlacement {
    Sidecar sidecar;
    std::optional<GroundHeights> ground;  // set once read
};

// Reads the sidecar `file` of a map of `side` samples of `bits` bits whose raw
// values `raw` gives. The sidecar must match the map and its coordinate
// system must lead to longitude and latitude; the heights come from the
// heights file it names, or from the raw values when it names none (an older
// import). False with a reason that names the file.
bool readMapPlacement(const std::string& file, int side, int bits, RawLookup raw, MapPlacement& placement,
    std::string& error);

} // namespace vaskur_geo
