// Heights in metres at samples and between them.
#include "tools/vaskur-geo/GroundHeights.h"

#include <algorithm>
#include <cmath>

namespace vaskur_geo {

GroundHeights::GroundHeights(int side, double spacingMetres, double unitMetres, double offsetMetres, RawLookup raw)
    : side_(side), spacing_(spacingMetres), unit_(unitMetres), offset_(offsetMetres), raw_(std::move(raw))
{
}

GroundHeights GroundHeights::fromSidecar(const Sidecar& sidecar, RawLookup raw)
{
    return GroundHeights(sidecar.side, sidecar.spacingMetres, sidecar.heightUnitMetres, sidecar.heightOffsetMetres,
        std::move(raw));
}

void GroundHeights::useRealHeights(std::vector<float> metres)
{
    real_ = std::move(metres);
}

double GroundHeights::at(std::int32_t x, std::int32_t y) const
{
    if (!real_.empty()) {
        const float h = real_[static_cast<std::size_t>(y) * side_ + x];
        if (std::isfinite(h))
            return h;
    }
    return offset_ + raw_(x, y) * unit_;
}

double GroundHeights::at(PlanePoint p) const
{
    const double last = side_ - 1;
    const double x = std::clamp(p.x, 0.0, last), y = std::clamp(p.y, 0.0, last);
    const auto x0 = static_cast<std::int32_t>(std::min(std::floor(x), last - 1));
    const auto y0 = static_cast<std::int32_t>(std::min(std::floor(y), last - 1));
    const double fx = x - x0, fy = y - y0;
    const double top = at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx;
    const double bottom = at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

} // namespace vaskur_geo
