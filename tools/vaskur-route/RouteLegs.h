// The legs vaskur-route looks for: the pairs of points of the command line,
// or A->B, B->C, ... between the points of a --points file, each point
// carried into the map's samples.
#pragma once

#include "tools/vaskur-geo/GroundHeights.h"
#include "tools/vaskur-geo/Sidecar.h"
#include "tools/vaskur-route/Options.h"

#include <optional>
#include <string>
#include <vector>

namespace vaskur_route {

struct LegEnd {
    vaskur_geo::PlanePoint at;  // in map columns and rows, between samples too
    std::string name;           // as the user gave it
};

struct Leg {
    LegEnd from;
    LegEnd to;
};

// False with a one-line reason when a point file cannot be read or a point
// has no place on the map's plane.
bool makeLegs(const Options& options, const std::optional<vaskur_geo::Sidecar>& sidecar, std::vector<Leg>& legs,
    std::string& error);

} // namespace vaskur_route
