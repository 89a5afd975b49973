// The sample terrain generator: the diamond-square fractal, its smoothing,
// the scale that keeps most steps walkable, and the statistics of a map.
#include "tools/vaskur-mapgen/MapGen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mapgen {

namespace {

// A square of side x side values, row-major, row 0 first.
struct Field {
    explicit Field(int n) : side(n), values(static_cast<std::size_t>(n) * n, 0.0) {}
    double& at(int x, int y) { return values[static_cast<std::size_t>(y) * side + x]; }
    double at(int x, int y) const { return values[static_cast<std::size_t>(y) * side + x]; }

    int side;
    std::vector<double> values;
};

// Diamond step: the centre of every square of the given size becomes the
// mean of its corners plus noise.
void diamondStep(Field& f, int step, double amplitude, Random& rnd)
{
    const int half = step / 2;
    for (int y = half; y < f.side; y += step)
        for (int x = half; x < f.side; x += step)
            f.at(x, y) = (f.at(x - half, y - half) + f.at(x + half, y - half) + f.at(x - half, y + half)
                             + f.at(x + half, y + half))
                      / 4.0
                  + amplitude * rnd.symmetric();
}

// Square step: the edge midpoints become the mean of their neighbours plus
// noise; points on the border average three.
void squareStep(Field& f, int step, double amplitude, Random& rnd)
{
    const int n = f.side, half = step / 2;
    for (int y = 0; y < n; y += half) {
        for (int x = (y / half) % 2 == 0 ? half : 0; x < n; x += step) {
            double sum = 0.0;
            int count = 0;
            if (x >= half) { sum += f.at(x - half, y); ++count; }
            if (x + half < n) { sum += f.at(x + half, y); ++count; }
            if (y >= half) { sum += f.at(x, y - half); ++count; }
            if (y + half < n) { sum += f.at(x, y + half); ++count; }
            f.at(x, y) = sum / count + amplitude * rnd.symmetric();
        }
    }
}

// The fractal: random corners, then ever smaller squares with noise that
// shrinks by the roughness at each halving.
Field diamondSquare(const Options& o)
{
    Field f(o.side);
    Random rnd(o.seed);
    const int last = o.side - 1;
    f.at(0, 0) = rnd.symmetric();
    f.at(last, 0) = rnd.symmetric();
    f.at(0, last) = rnd.symmetric();
    f.at(last, last) = rnd.symmetric();
    double amplitude = 1.0;
    for (int step = last; step > 1; step /= 2) {
        diamondStep(f, step, amplitude, rnd);
        squareStep(f, step, amplitude, rnd);
        amplitude *= o.roughness;
    }
    return f;
}

// 3 x 3 box blurs; at the border only the samples inside count.
void smooth(Field& f, int passes)
{
    const int n = f.side;
    std::vector<double> blurred(f.values.size());
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                double sum = 0.0;
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int xx = x + dx, yy = y + dy;
                        if (xx >= 0 && xx < n && yy >= 0 && yy < n) {
                            sum += f.at(xx, yy);
                            ++count;
                        }
                    }
                blurred[static_cast<std::size_t>(y) * n + x] = sum / count;
            }
        f.values.swap(blurred);
    }
}

// The neighbour difference (along the axes and diagonally) that all but
// `steepPercent` per cent of the differences stay within.
double gentleLimit(const Field& f, double steepPercent)
{
    const int n = f.side;
    std::vector<double> diffs;
    diffs.reserve(f.values.size() * 4);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            if (x + 1 < n) diffs.push_back(std::fabs(f.at(x + 1, y) - f.at(x, y)));
            if (y + 1 < n) diffs.push_back(std::fabs(f.at(x, y + 1) - f.at(x, y)));
            if (x + 1 < n && y + 1 < n) {
                diffs.push_back(std::fabs(f.at(x + 1, y + 1) - f.at(x, y)));
                diffs.push_back(std::fabs(f.at(x, y + 1) - f.at(x + 1, y)));
            }
        }
    const double keep = std::clamp(1.0 - steepPercent / 100.0, 0.0, 1.0);
    const std::size_t k = std::min(diffs.size() - 1, static_cast<std::size_t>(keep * (diffs.size() - 1)));
    std::nth_element(diffs.begin(), diffs.begin() + static_cast<std::ptrdiff_t>(k), diffs.end());
    return diffs[k];
}

// Scales the field so that the gentle limit becomes just under one unit
// (after rounding the gentle steps change by at most one), unless that
// would exceed the relief the sample width and options allow; then rounds
// to heights above the base.
std::vector<std::uint16_t> toHeights(const Field& f, double limit, const Options& o)
{
    const auto [lo, hi] = std::minmax_element(f.values.begin(), f.values.end());
    const double low = *lo, range = *hi - *lo;
    const int base = o.base >= 0 ? o.base : (o.bits == 8 ? 0 : 1000);
    const int maxValue = o.bits == 8 ? 255 : 65535;
    int relief = maxValue - base;
    if (o.maxRelief > 0)
        relief = std::min(relief, o.maxRelief);
    double scale = limit > 0.0 ? 0.999 / limit : 0.0;
    if (range * scale > relief)
        scale = range > 0.0 ? relief / range : 0.0;

    std::vector<std::uint16_t> heights(f.values.size());
    for (std::size_t i = 0; i < f.values.size(); ++i) {
        const long h = base + std::lround((f.values[i] - low) * scale);
        heights[i] = static_cast<std::uint16_t>(std::clamp<long>(h, 0, maxValue));
    }
    return heights;
}

} // namespace

Options roughOptions(int side, int bits, std::uint64_t seed)
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

bool validSide(int side)
{
    return side >= 3 && ((side - 1) & (side - 2)) == 0;
}

std::vector<std::uint16_t> generate(const Options& o)
{
    if (!validSide(o.side) || (o.bits != 8 && o.bits != 16))
        return {};
    Field f = diamondSquare(o);
    smooth(f, o.smoothPasses);
    return toHeights(f, gentleLimit(f, o.steepPercent), o);
}

Stats measure(const std::vector<std::uint16_t>& h, int side)
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
