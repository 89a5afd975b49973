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
// Header-only so that tests can make maps of their own, and vaskur-import
// write its raw files with writeRaw, without linking the tool.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
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
inline Options roughOptions(int side, int bits, std::uint64_t seed)
{
    Options o;
    o.side = side;
    o.bits = bits;
    o.seed = seed;
    o.roughness = 0.6;
    o.smoothPasses = 1;
    o.steepPercent = 18.0;
    return o;
}

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

inline bool validSide(int side)
{
    return side >= 3 && ((side - 1) & (side - 2)) == 0;
}

// Heights in row-major order, row 0 first (row 0 is the top row of the map
// view). Empty when the options are out of range.
inline std::vector<std::uint16_t> generate(const Options& o)
{
    const int n = o.side;
    if (!validSide(n) || (o.bits != 8 && o.bits != 16))
        return {};
    std::vector<double> f(static_cast<std::size_t>(n) * n, 0.0);
    auto at = [&](int x, int y) -> double& { return f[static_cast<std::size_t>(y) * n + x]; };
    Random rnd(o.seed);

    const int last = n - 1;
    at(0, 0) = rnd.symmetric();
    at(last, 0) = rnd.symmetric();
    at(0, last) = rnd.symmetric();
    at(last, last) = rnd.symmetric();
    double amplitude = 1.0;
    for (int step = last; step > 1; step /= 2) {
        const int half = step / 2;
        // Diamond step: centres of the squares.
        for (int y = half; y < n; y += step)
            for (int x = half; x < n; x += step)
                at(x, y) = (at(x - half, y - half) + at(x + half, y - half) + at(x - half, y + half)
                               + at(x + half, y + half))
                        / 4.0
                    + amplitude * rnd.symmetric();
        // Square step: edge midpoints; points on the border average three.
        for (int y = 0; y < n; y += half) {
            for (int x = (y / half) % 2 == 0 ? half : 0; x < n; x += step) {
                double sum = 0.0;
                int count = 0;
                if (x >= half) { sum += at(x - half, y); ++count; }
                if (x + half < n) { sum += at(x + half, y); ++count; }
                if (y >= half) { sum += at(x, y - half); ++count; }
                if (y + half < n) { sum += at(x, y + half); ++count; }
                at(x, y) = sum / count + amplitude * rnd.symmetric();
            }
        }
        amplitude *= o.roughness;
    }

    std::vector<double> tmp(f.size());
    for (int pass = 0; pass < o.smoothPasses; ++pass) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                double sum = 0.0;
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int xx = x + dx, yy = y + dy;
                        if (xx >= 0 && xx < n && yy >= 0 && yy < n) {
                            sum += at(xx, yy);
                            ++count;
                        }
                    }
                tmp[static_cast<std::size_t>(y) * n + x] = sum / count;
            }
        f.swap(tmp);
    }

    // Scale: the chosen percentile of the neighbour differences becomes just
    // under one unit, so after rounding the rest change by at most one.
    std::vector<double> diffs;
    diffs.reserve(f.size() * 4);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            if (x + 1 < n) diffs.push_back(std::fabs(at(x + 1, y) - at(x, y)));
            if (y + 1 < n) diffs.push_back(std::fabs(at(x, y + 1) - at(x, y)));
            if (x + 1 < n && y + 1 < n) {
                diffs.push_back(std::fabs(at(x + 1, y + 1) - at(x, y)));
                diffs.push_back(std::fabs(at(x, y + 1) - at(x + 1, y)));
            }
        }
    const double keep = std::clamp(1.0 - o.steepPercent / 100.0, 0.0, 1.0);
    const std::size_t k = std::min(diffs.size() - 1, static_cast<std::size_t>(keep * (diffs.size() - 1)));
    std::nth_element(diffs.begin(), diffs.begin() + static_cast<std::ptrdiff_t>(k), diffs.end());
    const double limit = diffs[k];

    const auto [lo, hi] = std::minmax_element(f.begin(), f.end());
    const double low = *lo, range = *hi - *lo;
    const int base = o.base >= 0 ? o.base : (o.bits == 8 ? 0 : 1000);
    const int maxValue = o.bits == 8 ? 255 : 65535;
    int relief = maxValue - base;
    if (o.maxRelief > 0)
        relief = std::min(relief, o.maxRelief);
    double scale = limit > 0.0 ? 0.999 / limit : 0.0;
    if (range * scale > relief)
        scale = range > 0.0 ? relief / range : 0.0;

    std::vector<std::uint16_t> heights(f.size());
    for (std::size_t i = 0; i < f.size(); ++i) {
        const long h = base + std::lround((f[i] - low) * scale);
        heights[i] = static_cast<std::uint16_t>(std::clamp<long>(h, 0, maxValue));
    }
    return heights;
}

// Writes heights (row 0 first) as a raw height map: no header, rows stored
// bottom-up, one byte per sample or two bytes little-endian. Samples above
// 255 are clipped in an 8-bit file.
inline bool writeRaw(const std::string& path, const std::vector<std::uint16_t>& heights, int side, int bits)
{
    if (side <= 0 || heights.size() != static_cast<std::size_t>(side) * side || (bits != 8 && bits != 16))
        return false;
    std::vector<unsigned char> bytes;
    bytes.reserve(heights.size() * (bits / 8));
    for (int y = side - 1; y >= 0; --y)
        for (int x = 0; x < side; ++x) {
            const std::uint16_t h = heights[static_cast<std::size_t>(y) * side + x];
            if (bits == 8) {
                bytes.push_back(static_cast<unsigned char>(std::min<std::uint16_t>(h, 255)));
            } else {
                bytes.push_back(static_cast<unsigned char>(h & 0xff));
                bytes.push_back(static_cast<unsigned char>(h >> 8));
            }
        }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

struct Stats {
    int minHeight = 0, maxHeight = 0;
    double gentleShare = 0.0;     // share of axis and diagonal steps changing by 0 or 1
    double reachableShare = 0.0;  // share of samples reachable from (0, 0) by gentle axis steps
};

inline Stats measure(const std::vector<std::uint16_t>& h, int side)
{
    Stats s;
    if (h.empty())
        return s;
    const auto [lo, hi] = std::minmax_element(h.begin(), h.end());
    s.minHeight = *lo;
    s.maxHeight = *hi;
    auto at = [&](int x, int y) { return static_cast<int>(h[static_cast<std::size_t>(y) * side + x]); };
    long gentle = 0, total = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int dirs[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
            for (const auto& d : dirs) {
                const int xx = x + d[0], yy = y + d[1];
                if (xx < 0 || xx >= side || yy >= side)
                    continue;
                ++total;
                if (std::abs(at(xx, yy) - at(x, y)) <= 1)
                    ++gentle;
            }
        }
    s.gentleShare = total ? static_cast<double>(gentle) / total : 0.0;
    std::vector<char> seen(h.size(), 0);
    std::vector<int> todo{0};
    seen[0] = 1;
    long reached = 0;
    while (!todo.empty()) {
        const int i = todo.back();
        todo.pop_back();
        ++reached;
        const int x = i % side, y = i / side;
        const int dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& d : dirs) {
            const int xx = x + d[0], yy = y + d[1];
            if (xx < 0 || yy < 0 || xx >= side || yy >= side)
                continue;
            const int j = yy * side + xx;
            if (!seen[j] && std::abs(at(xx, yy) - at(x, y)) <= 1) {
                seen[j] = 1;
                todo.push_back(j);
            }
        }
    }
    s.reachableShare = static_cast<double>(reached) / h.size();
    return s;
}

} // namespace mapgen
