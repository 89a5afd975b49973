// Ground distance, climb, descent and walking time of a route over the height
// samples, in metres and seconds, and its elevation profile.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace vaskur_geo {

struct SamplePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// One point of the elevation profile: how far along the ground from the
// start, and the height there.
struct ProfilePoint {
    double groundMetres = 0.0;
    double heightMetres = 0.0;
};

struct GroundProfile {
    double groundMetres = 0.0;  // along the ground, slopes included
    double climbMetres = 0.0;
    double descentMetres = 0.0;
    double walkSeconds = 0.0;   // by Tobler's hiking function
    // Every sample walked over, the start included (filled on request).
    std::vector<ProfilePoint> points;
};

using HeightLookup = std::function<std::uint16_t(std::int32_t x, std::int32_t y)>;

// Tobler's hiking function: walking speed in metres per second on a slope
// of rise over run `slope` (downhill negative), 6 km/h at its best on a
// gentle descent of 5 %.
double toblerMetresPerSecond(double slope);

// Walks every segment of the path sample by sample, stepping along each line
// the way the walking cost does, and adds up the steps: a step to a side
// neighbour is one spacing, a diagonal step sqrt 2 spacings, each combined
// with its height change; each step is walked at Tobler's speed for its
// slope. Heights are heightOffsetMetres + value * heightUnitMetres. With
// `withPoints` the profile's points are kept too.
GroundProfile groundProfile(const std::vector<SamplePoint>& path, const HeightLookup& height, double spacingMetres,
    double heightUnitMetres, double heightOffsetMetres = 0.0, bool withPoints = false);

} // namespace vaskur_geo
