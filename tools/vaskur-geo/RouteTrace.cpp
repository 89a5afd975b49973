// Walking a route over the samples and measuring it.
#include "tools/vaskur-geo/RouteTrace.h"

#include <cmath>
#include <cstdlib>

namespace vaskur_geo {

namespace {

SamplePoint nearestSample(PlanePoint p)
{
    return {static_cast<std::int32_t>(std::lround(p.x)), static_cast<std::int32_t>(std::lround(p.y))};
}

PlanePoint plane(SamplePoint s)
{
    return {static_cast<double>(s.x), static_cast<double>(s.y)};
}

void append(std::vector<PlanePoint>& line, PlanePoint p)
{
    if (line.empty() || !(line.back() == p))
        line.push_back(p);
}

void appendSteps(std::vector<PlanePoint>& line, SamplePoint from, SamplePoint to)
{
    for (const SamplePoint s : samplesStepped(from, to))
        append(line, plane(s));
}

} // namespace

std::vector<SamplePoint> samplesStepped(SamplePoint from, SamplePoint to)
{
    // The same Bresenham stepping as HeightMap::segmentCost: the minor
    // coordinate moves first while the error allows, then the major one.
    const std::int32_t dx = to.x - from.x, dy = to.y - from.y;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int32_t n = std::abs(xMajor ? dx : dy), m = std::abs(xMajor ? dy : dx);
    const std::int32_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const std::int32_t minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
    std::int32_t major = xMajor ? from.x : from.y, minor = xMajor ? from.y : from.x;
    std::int32_t err = 2 * m - n;
    std::vector<SamplePoint> samples{from};
    for (std::int32_t k = 0; k < n; ++k) {
        while (err >= 0) {
            minor += minorStep;
            err -= 2 * n;
        }
        major += majorStep;
        err += 2 * m;
        samples.push_back(xMajor ? SamplePoint{major, minor} : SamplePoint{minor, major});
    }
    return samples;
}

std::vector<PlanePoint> walkedLine(PlanePoint from, const std::vector<SamplePoint>& vertices, PlanePoint to)
{
    std::vector<PlanePoint> line;
    append(line, from);
    appendSteps(line, nearestSample(from), vertices.front());
    for (std::size_t i = 1; i < vertices.size(); ++i)
        appendSteps(line, vertices[i - 1], vertices[i]);
    appendSteps(line, vertices.back(), nearestSample(to));
    append(line, to);
    // A route from a sample to itself is still a line of two points.
    if (line.size() == 1)
        line.push_back(to);
    return line;
}

double toblerSeconds(double runMetres, double riseMetres)
{
    if (runMetres <= 0.0)
        return 0.0;
    const double kmPerHour = 6.0 * std::exp(-3.5 * std::fabs(riseMetres / runMetres + 0.05));
    return runMetres / (kmPerHour / 3.6);
}

RouteTrace traceLine(const std::vector<PlanePoint>& line, const GroundHeights& ground)
{
    RouteTrace trace;
    RouteFigures& f = trace.figures;
    for (const PlanePoint p : line) {
        TracePoint point{p, ground.at(p), 0.0, 0.0};
        if (!trace.points.empty()) {
            const TracePoint& last = trace.points.back();
            const double run = std::hypot(p.x - last.at.x, p.y - last.at.y) * ground.spacingMetres();
            const double rise = point.heightMetres - last.heightMetres;
            f.groundMetres += std::hypot(run, rise);
            (rise > 0 ? f.climbMetres : f.descentMetres) += std::fabs(rise);
            f.walkSeconds += toblerSeconds(run, rise);
            point.distanceMetres = f.groundMetres;
            point.slopePercent = run > 0.0 ? 100.0 * rise / run : 0.0;
        }
        trace.points.push_back(point);
    }
    return trace;
}

} // namespace vaskur_geo
