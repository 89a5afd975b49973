// The chart of a route's elevation profile: height in metres against the
// distance along the ground in kilometres.
#pragma once

#include <vector>

#include "gui/Widget.h"
#include "tools/vaskur-geo/RouteTrace.h"

// Draws axes with ticks at round steps (km along the bottom, m up the left
// side), their numbers and the profile line, in the widget's own area, with
// font 0 of its skin.
class ProfileChart : public Widget {
public:
    ProfileChart();
    ~ProfileChart() override;

    void setPoints(std::vector<vaskur_geo::TracePoint> points);
    const std::vector<vaskur_geo::TracePoint>& points() const { return points_; }

    void draw(Bitmap& canvas) override;

    // Room for the numbers beside and below the axes, in pixels.
    static constexpr int leftMargin = 46;
    static constexpr int bottomMargin = 20;
    static constexpr int topMargin = 8;
    static constexpr int rightMargin = 38;

    // A round step (1, 2 or 5 times a power of ten) that cuts `span` into
    // about `parts` pieces.
    static double tickStep(double span, int parts);

private:
    std::vector<vaskur_geo::TracePoint> points_;
};
