// Sample-by-sample walk along the segments of a route.
#include "tools/vaskur-geo/GroundProfile.h"

#include <cmath>
#include <cstdlib>

namespace vaskur_geo {

GroundProfile groundProfile(const std::vector<SamplePoint>& path, const HeightLookup& height, double spacingMetres,
    double heightUnitMetres)
{
    GroundProfile profile;
    const double diagonal = std::sqrt(2.0) * spacingMetres;
    for (std::size_t i = 1; i < path.size(); ++i) {
        const SamplePoint from = path[i - 1], to = path[i];
        const std::int32_t dx = to.x - from.x, dy = to.y - from.y;
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        const std::int32_t n = xMajor ? std::abs(dx) : std::abs(dy);
        const std::int32_t m = xMajor ? std::abs(dy) : std::abs(dx);
        const std::int32_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
        const std::int32_t minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
        std::int32_t major = xMajor ? from.x : from.y;
        std::int32_t minor = xMajor ? from.y : from.x;
        std::int32_t err = 2 * m - n;
        double previous = height(from.x, from.y) * heightUnitMetres;
        for (std::int32_t k = 0; k < n; ++k) {
            bool sideways = false;
            while (err >= 0) {
                minor += minorStep;
                err -= 2 * n;
                sideways = true;
            }
            major += majorStep;
            err += 2 * m;
            const double h = (xMajor ? height(major, minor) : height(minor, major)) * heightUnitMetres;
            const double dz = h - previous;
            const double across = sideways ? diagonal : spacingMetres;
            profile.groundMetres += std::sqrt(across * across + dz * dz);
            if (dz > 0)
                profile.climbMetres += dz;
            else
                profile.descentMetres -= dz;
            previous = h;
        }
    }
    return profile;
}

} // namespace vaskur_geo
