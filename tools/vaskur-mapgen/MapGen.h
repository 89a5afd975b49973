// Deterministic terrain for sample and test height maps.
//
// A diamond-square fractal is smoothed and then scaled so that almost every
// step between neighbouring samples (along the axes and diagonally) changes
// the height by 0 or 1 unit: the walking cost treats a change of 2 or more as
// a wall, so the scale decides how much of the map can be walked. The few
// steeper steps that remain form short cliffs on the steepest slopes.
//
// The rough kind (roughOptions) keeps more of the fractal's fine detail and
// lets far more steps be steep: like rough real terrain, its finest model is
// large and its cost landscape uneven, which makes the route search work hard.
//
// The generator is the library vaskur_mapgen (MapGen.cpp), which the tool,
// tests and benchmarks link; they write its maps with writeRaw
// (terrain/HeightMap.h).
#pragma once

#include <cstdint>
#include <vector>

namespace mapgen {

struct Options {
    int side = 513;              // 257 or 513 (any 2^k + 1 works)
    int bits = 16;               // 8 or 16
    std::uint64_t seed = 1;
    double roughness = 0.45;     // amplitude factor per halving of the cell size
    int smoothPasses = 4;        // 3 x 3 box blurs after the fractal
    double steepPercent = 2.0;   // share of neighbour steps allowed to reach 1 unit before rounding
    int maxRelief = 0;           // highest height above the base; 0: as much as the sample width allows
    int base = -1;               // lowest height; -1: 0 for 8 bits, 1000 for 16 bits
};

// The rough kind: little smoothing, more relief at fine scales, and about
// one neighbour step in six too steep to walk. On 513 x 513 samples at patch
// size 16 and threshold 0 its model has some 150 000 graph vertices.
Options roughOptions(int side, int bits, std::uint64_t seed);

// splitmix64: small, fast and the same on every platform, unlike the
// standard distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // Uniform in [-1, 1).
    double symmetric() { return static_cast<double>(next() >> 11) * 0x1.0p-52 - 1.0; }

private:
    std::uint64_t state;
};

// A side of 2^k + 1 samples, at least 3.
bool validSide(int side);

// Heights in row-major order, row 0 first (row 0 is the top row of the map
// view). Empty when the options are out of range.
std::vector<std::uint16_t> generate(const Options& o);

struct Stats {
    int minHeight = 0, maxHeight = 0;
    double gentleShare = 0.0;     // share of axis and diagonal steps changing by 0 or 1
    double reachableShare = 0.0;  // share of samples reachable from (0, 0) by gentle axis steps
};

// The smallest and largest height, the share of gentle steps and the share
// of the map reachable from (0, 0) over gentle steps.
Stats measure(const std::vector<std::uint16_t>& h, int side);

} // namespace mapgen
