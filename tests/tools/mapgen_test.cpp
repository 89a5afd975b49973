// The sample map generator: deterministic and gentle enough to walk (its
// raw files are written by writeRaw in terrain/HeightMap.h, tested there).
#include "tools/vaskur-mapgen/MapGen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(MapGen, SameSeedSameTerrainOtherSeedOtherTerrain)
{
    mapgen::Options o;
    o.side = 257;
    o.seed = 5;
    const auto a = mapgen::generate(o);
    const auto b = mapgen::generate(o);
    ASSERT_EQ(a.size(), 257u * 257u);
    EXPECT_EQ(a, b);
    o.seed = 6;
    EXPECT_NE(mapgen::generate(o), a);
}

TEST(MapGen, RefusesSidesAndWidthsThatCannotBeWritten)
{
    mapgen::Options o;
    o.side = 256;
    EXPECT_TRUE(mapgen::generate(o).empty());
    o.side = 257;
    o.bits = 12;
    EXPECT_TRUE(mapgen::generate(o).empty());
}

// Only about the requested share of steps may be steeper than one unit, and
// the heights stay within the sample width, above the base.
TEST(MapGen, StepsAreGentleAndHeightsFitTheSampleWidth)
{
    struct Case {
        int side, bits;
        std::uint64_t seed;
        double steep;
        int base;
    };
    const Case cases[] = {
        {257, 8, 1, 2.0, -1}, {257, 16, 2, 2.0, -1},
        {513, 16, 4, 2.0, -1}, {257, 16, 9, 10.0, 40000}, {257, 8, 10, 0.0, 7},
    };
    for (const Case& c : cases) {
        mapgen::Options o;
        o.side = c.side;
        o.bits = c.bits;
        o.seed = c.seed;
        o.steepPercent = c.steep;
        o.base = c.base;
        const auto h = mapgen::generate(o);
        ASSERT_EQ(h.size(), static_cast<std::size_t>(c.side) * c.side);
        const mapgen::Stats s = mapgen::measure(h, c.side);
        SCOPED_TRACE(testing::Message() << c.side << " " << c.bits << "-bit seed " << c.seed);
        // The steepest steps of the smooth surface get through rounding as at
        // most the requested share (plus a small allowance for equal values).
        EXPECT_GE(s.gentleShare, 1.0 - c.steep / 100.0 - 0.001);
        EXPECT_EQ(s.minHeight, c.base >= 0 ? c.base : (c.bits == 8 ? 0 : 1000));
        EXPECT_LE(s.maxHeight, c.bits == 8 ? 255 : 65535);
        EXPECT_GT(s.maxHeight - s.minHeight, 20) << "flat terrain";
        EXPECT_GT(s.reachableShare, 0.9);
    }
}

TEST(MapGen, ReliefLimitIsKept)
{
    mapgen::Options o;
    o.side = 257;
    o.seed = 3;
    o.maxRelief = 12;
    o.base = 100;
    const mapgen::Stats s = mapgen::measure(mapgen::generate(o), o.side);
    EXPECT_EQ(s.minHeight, 100);
    EXPECT_LE(s.maxHeight, 112);
}

TEST(MapGen, ReachabilityStopsAtCliffs)
{
    const int n = 9;
    std::vector<std::uint16_t> h(n * n, 10);
    for (int y = 0; y < n; ++y)
        h[y * n + 4] = 13;  // a wall down column 4
    mapgen::Stats s = mapgen::measure(h, n);
    EXPECT_DOUBLE_EQ(s.reachableShare, 4.0 * n / (n * n));
    h[5 * n + 4] = 11;  // a gap: 10 -> 11 -> 10 can be walked
    s = mapgen::measure(h, n);
    EXPECT_DOUBLE_EQ(s.reachableShare, 1.0 - (n - 1.0) / (n * n));
}

} // namespace
