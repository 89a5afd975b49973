// Ground distance, climb and descent of a route over the height samples, in
// metres.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace vaskur_geo {

struct SamplePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct GroundProfile {
    double groundMetres = 0.0;  // along the ground, slopes included
    double climbMetres = 0.0;
    double descentMetres = 0.0;
};

using HeightLookup = std::function<std::uint16_t(std::int32_t x, std::int32_t y)>;

// Walks every segment of the path sample by sample, stepping along each line
// the way the walking cost does, and adds up the steps: a step to a side
// neighbour is one spacing, a diagonal step sqrt 2 spacings, each combined
// with its height change.
GroundProfile groundProfile(const std::vector<SamplePoint>& path, const HeightLookup& height, double spacingMetres,
    double heightUnitMetres);

} // namespace vaskur_geo
