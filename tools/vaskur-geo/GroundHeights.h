// Heights in metres over one map: the real heights kept beside an imported
// map where there are any, else the raw sample values times the height unit
// plus the offset. Also the sample spacing, so that a line over the map can
// be measured.
#pragma once

#include "tools/vaskur-geo/Sidecar.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace vaskur_geo {

// A sample position: column x, row y from the top of the map.
struct SamplePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const SamplePoint&) const = default;
};

// A place between samples, in the same columns and rows.
struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const PlanePoint&) const = default;
};

// The raw sample value at (x, y), which lies on the map.
using RawLookup = std::function<std::uint16_t(std::int32_t x, std::int32_t y)>;

class GroundHeights {
public:
    // A map of `side` samples whose heights are the raw values times
    // `unitMetres` plus `offsetMetres`.
    GroundHeights(int side, double spacingMetres, double unitMetres, double offsetMetres, RawLookup raw);
    // The heights the sidecar gives to the raw values.
    static GroundHeights fromSidecar(const Sidecar& sidecar, RawLookup raw);

    // Takes side x side real heights (row 0 at the top) in place of the raw
    // values; a sample without one (NaN) keeps its raw height.
    void useRealHeights(std::vector<float> metres);
    bool hasRealHeights() const { return !real_.empty(); }

    int side() const { return side_; }
    double spacingMetres() const { return spacing_; }
    // The height of a sample on the map.
    double at(std::int32_t x, std::int32_t y) const;
    // The height between samples, bilinear among the four around it; a
    // point within half a spacing outside the outer samples takes the edge.
    double at(PlanePoint p) const;

private:
    int side_;
    double spacing_;
    double unit_;
    double offset_;
    RawLookup raw_;
    std::vector<float> real_;
};

} // namespace vaskur_geo
