// Sample-by-sample walk along the segments of a route.
#include "tools/vaskur-geo/GroundProfile.h"

#include <cmath>
#include <cstdlib>

namespace vaskur_geo {

double toblerMetresPerSecond(double slope)
{
    return 6.0 * std::exp(-3.5 * std::abs(slope + 0.05)) / 3.6;
}

GroundProfile groundProfile(const std::vector<SamplePoint>& path, const HeightLookup& height, double spacingMetres,
    double heightUnitMetres, double heightOffsetMetres, bool withPoints)
{
    GroundProfile profile;
    const double diagonal = std::sqrt(2.0) * spacingMetres;
    auto metres = [&](std::int32_t x, std::int32_t y) { return heightOffsetMetres + height(x, y) * heightUnitMetres; };
    if (withPoints && !path.empty())
        profile.points.push_back({0.0, metres(path.front().x, path.front().y)});
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
        double previous = metres(from.x, from.y);
        for (std::int32_t k = 0; k < n; ++k) {
            bool sideways = false;
            while (err >= 0) {
                minor += minorStep;
                err -= 2 * n;
                sideways = true;
            }
            major += majorStep;
            err += 2 * m;
            const double h = xMajor ? metres(major, minor) : metres(minor, major);
            const double dz = h - previous;
            const double across = sideways ? diagonal : spacingMetres;
            profile.groundMetres += std::sqrt(across * across + dz * dz);
            profile.walkSeconds += across / toblerMetresPerSecond(dz / across);
            if (dz > 0)
                profile.climbMetres += dz;
            else
                profile.descentMetres -= dz;
            if (withPoints)
                profile.points.push_back({profile.groundMetres, h});
            previous = h;
        }
    }
    return profile;
}

} // namespace vaskur_geo
