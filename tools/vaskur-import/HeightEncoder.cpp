// Quantising heights to units and marking walls.
#include "tools/vaskur-import/HeightEncoder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace vaskur_import {

namespace {

// Walls are the highest value of the sample width; the highest height must
// stay two units below them so that no step onto a wall is walkable.
constexpr int wallClearance = 2;

// The walking cost steps diagonally between samples, so a wall that touches
// itself only at corners lets routes slip through between two wall samples.
// Every such corner gets one more wall sample until none is left.
std::int64_t closeDiagonalGaps(std::vector<char>& wall, int side)
{
    std::int64_t added = 0;
    bool changed = true;
    auto at = [&](int x, int y) -> char& { return wall[static_cast<std::size_t>(y) * side + x]; };
    while (changed) {
        changed = false;
        for (int y = 0; y + 1 < side; ++y)
            for (int x = 0; x + 1 < side; ++x) {
                const bool a = at(x, y), b = at(x + 1, y), c = at(x, y + 1), d = at(x + 1, y + 1);
                if ((a && d && !b && !c) || (b && c && !a && !d)) {
                    at(a ? x + 1 : x, y) = 1;
                    ++added;
                    changed = true;
                }
            }
    }
    return added;
}

} // namespace

double heightUnitMetres(double spacingMetres, double maxSlopeDegrees)
{
    return spacingMetres * std::tan(maxSlopeDegrees * std::numbers::pi / 180.0);
}

bool encodeHeights(const std::vector<double>& metres, const EncodeRequest& request, EncodedHeights& out,
    std::string& error)
{
    const int side = request.side;
    const std::size_t count = static_cast<std::size_t>(side) * side;
    if (metres.size() != count) {
        error = "the height grid does not match the output size";
        return false;
    }
    out = EncodedHeights{};
    out.unitMetres = heightUnitMetres(request.spacingMetres, request.maxSlopeDegrees);

    std::vector<char> wall(count, 0);
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::isfinite(metres[i])) {
            lowest = std::min(lowest, metres[i]);
            highest = std::max(highest, metres[i]);
        } else {
            wall[i] = 1;
            ++out.noDataSamples;
        }
    }
    if (out.noDataSamples == static_cast<std::int64_t>(count)) {
        error = "the area holds no data at all";
        return false;
    }
    out.offsetMetres = lowest;
    const double rangeUnits = std::round((highest - lowest) / out.unitMetres);
    const int clearance = out.noDataSamples > 0 ? wallClearance : 0;
    const double fits8 = 255 - clearance, fits16 = 65535 - clearance;
    if (rangeUnits > fits16) {
        char text[256];
        std::snprintf(text, sizeof text,
            "the heights span %.1f m, %.0f units of %.4g m, more than 16-bit samples hold (%d); import a smaller "
            "area or a larger --max-slope",
            highest - lowest, rangeUnits, out.unitMetres, static_cast<int>(fits16));
        error = text;
        return false;
    }
    if (request.bits == 8 && rangeUnits > fits8) {
        char text[256];
        std::snprintf(text, sizeof text, "the heights span %.0f units of %.4g m, more than 8-bit samples hold (%d)",
            rangeUnits, out.unitMetres, static_cast<int>(fits8));
        error = text;
        return false;
    }
    out.range = static_cast<int>(rangeUnits);
    out.bits = request.bits != 0 ? request.bits : (rangeUnits <= fits8 ? 8 : 16);
    out.wallValue = out.bits == 8 ? 255 : 65535;

    out.wallSamples = out.noDataSamples + (out.noDataSamples > 0 ? closeDiagonalGaps(wall, side) : 0);
    out.samples.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        out.samples[i] = wall[i]
            ? out.wallValue
            : static_cast<std::uint16_t>(std::lround((metres[i] - lowest) / out.unitMetres));
    return true;
}

} // namespace vaskur_import
