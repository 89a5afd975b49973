// Turns a square grid of heights in metres into the samples of a raw height
// map: heights in whole units counted from the lowest sample, no-data
// samples as walls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vaskur_import {

struct EncodeRequest {
    int side = 513;
    double spacingMetres = 1.0;
    double maxSlopeDegrees = 30.0;
    int bits = 0;  // 8, 16, or 0 for the narrowest that holds the range
};

struct EncodedHeights {
    std::vector<std::uint16_t> samples; // row 0 at the top (north), as the program's map
    int bits = 0;
    double unitMetres = 0.0;
    double offsetMetres = 0.0;   // the lowest sample
    int range = 0;               // the highest sample in units
    std::uint16_t wallValue = 0;
    std::int64_t noDataSamples = 0;
    std::int64_t wallSamples = 0; // no-data samples and those added to close diagonal gaps
};

// One height unit: the rise of the steepest walkable slope over one spacing.
// A step of one unit between neighbours is the steepest the walking cost lets
// through and two units are a wall, so with heights rounded to whole units a
// slope below the limit never rounds to a two-unit step, and one above it
// always does somewhere along its way.
double heightUnitMetres(double spacingMetres, double maxSlopeDegrees);

// `metres` holds side x side heights, row 0 at the north, NaN for no data.
// False with a reason when no sample holds data or the range does not fit
// the sample width.
bool encodeHeights(const std::vector<double>& metres, const EncodeRequest& request, EncodedHeights& out,
    std::string& error);

} // namespace vaskur_import
