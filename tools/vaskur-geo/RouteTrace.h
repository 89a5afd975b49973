// The line a route walks over the samples, and its figures: ground distance,
// climb, descent and walking time. The line runs from the point the route
// was asked to start at, over the samples to the first model vertex, along
// every segment between vertices the way the walking cost steps over the
// samples (one vertex per sample stepped on), and from the last vertex to
// the point asked for as its end. The figures are measured on exactly this
// line, so a program that recomputes them from the line finds the same.
#pragma once

#include "tools/vaskur-geo/GroundHeights.h"

#include <vector>

namespace vaskur_geo {

struct TracePoint {
    PlanePoint at;                 // in sample columns and rows
    double heightMetres = 0.0;
    double distanceMetres = 0.0;   // along the ground from the start, slopes included
    double slopePercent = 0.0;     // of the step that ends here; 0 at the start
};

struct RouteFigures {
    double groundMetres = 0.0;     // along the ground, slopes included
    double climbMetres = 0.0;
    double descentMetres = 0.0;
    double walkSeconds = 0.0;      // by Tobler's hiking function, step by step
};

struct RouteTrace {
    std::vector<TracePoint> points;
    RouteFigures figures;
};

// The walked line: `from`, the sample nearest to it, the samples stepped on
// from there to the first vertex and along the vertices to the last, the
// sample nearest to `to` and `to`; no point twice in a row, except in the
// line of two equal points from a sample to itself. `vertices` holds at
// least one vertex.
std::vector<PlanePoint> walkedLine(PlanePoint from, const std::vector<SamplePoint>& vertices, PlanePoint to);

// The samples the walking cost steps on from `from` to `to`, both included.
std::vector<SamplePoint> samplesStepped(SamplePoint from, SamplePoint to);

// Heights, distances, slopes and figures along a line.
RouteTrace traceLine(const std::vector<PlanePoint>& line, const GroundHeights& ground);

// Seconds to walk `runMetres` on the level while rising `riseMetres`
// (negative for a descent), at Tobler's speed 6 exp(-3.5 |slope + 0.05|)
// km/h.
double toblerSeconds(double runMetres, double riseMetres);

} // namespace vaskur_geo
