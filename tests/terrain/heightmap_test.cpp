// Tests of terrain/HeightMap.cpp: reading raw files and refusing bad ones,
// writing them, and the walking cost of segments.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "terrain/HeightMap.h"
#include "terrain/Vertex.h"
#include "tests/terrain/test_maps.h"

using namespace testmaps;

namespace {

uint16_t pattern(int32_t x, int32_t y)
{
    return static_cast<uint16_t>((x * 31 + y * 17) & 0xff);
}

uint16_t wide(int32_t x, int32_t y)
{
    return static_cast<uint16_t>(x * 251 + y * 127 + 0x0100);
}

class TerrainMapFiles : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(TerrainMapFiles, EightBitFileIsReadBottomUp)
{
    std::vector<unsigned char> bytes = rawBytes(257, pattern, 8);
    bytes.front() = 0xab;  // first sample in the file: column 0 of the last row
    bytes.back() = 0xcd;   // last sample in the file: last column of row 0
    ASSERT_EQ(bytes.size(), 66049u);
    writeFile(dir.file("a.raw"), bytes);

    HeightMap map;
    ASSERT_TRUE(map.load(dir.file("a.raw")));
    EXPECT_EQ(map.columns(), 257);
    EXPECT_EQ(map.rows(), 257);
    EXPECT_EQ(map.bitsPerSample(), 8);
    EXPECT_EQ(map.heightAt(0, 256), 0xab);
    EXPECT_EQ(map.heightAt(256, 0), 0xcd);
    EXPECT_EQ(map.heightAt(5, 7), pattern(5, 7));
    EXPECT_EQ(map.heightAt(200, 3), pattern(200, 3));
}

TEST_F(TerrainMapFiles, SixteenBitSamplesAreLittleEndian)
{
    std::vector<unsigned char> bytes = rawBytes(257, wide, 16);
    ASSERT_EQ(bytes.size(), 132098u);
    bytes[0] = 0x34;
    bytes[1] = 0x12;
    writeFile(dir.file("b.raw"), bytes);

    HeightMap map;
    ASSERT_TRUE(map.load(dir.file("b.raw")));
    EXPECT_EQ(map.bitsPerSample(), 16);
    EXPECT_EQ(map.heightAt(0, 256), 0x1234);
    EXPECT_EQ(map.heightAt(17, 33), wide(17, 33));
    EXPECT_EQ(map.heightAt(256, 0), wide(256, 0));
}

TEST_F(TerrainMapFiles, LargeMapsOfBothWidths)
{
    HeightMap map;
    ASSERT_TRUE(loadMap(map, dir, 513, pattern, 8));
    EXPECT_EQ(map.columns(), 513);
    EXPECT_EQ(map.bitsPerSample(), 8);
    EXPECT_EQ(map.heightAt(512, 511), pattern(512, 511));

    ASSERT_TRUE(loadMap(map, dir, 513, wide, 16));
    EXPECT_EQ(map.rows(), 513);
    EXPECT_EQ(map.bitsPerSample(), 16);
    EXPECT_EQ(map.heightAt(300, 499), wide(300, 499));
}

TEST_F(TerrainMapFiles, RefusedFilesLeaveTheMapUnchanged)
{
    HeightMap map;
    ASSERT_TRUE(loadMap(map, dir, 257, pattern, 8));

    std::vector<unsigned char> longer = rawBytes(257, wide, 8);
    longer.push_back(0);
    writeFile(dir.file("long.raw"), longer);
    writeFile(dir.file("empty.raw"), {});
    std::filesystem::create_directory(dir.file("folder.raw"));

    for (const std::string& name : {dir.file("long.raw"), dir.file("empty.raw"), dir.file("missing.raw"),
                                    dir.file("folder.raw"), std::string()}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(map.load(name));
        EXPECT_EQ(map.columns(), 257);
        EXPECT_EQ(map.rows(), 257);
        EXPECT_EQ(map.bitsPerSample(), 8);
        EXPECT_EQ(map.heightAt(10, 20), pattern(10, 20));
    }
}

// A map whose file shrinks between the size check and the read.
class ShrinkingMap : public HeightMap {
public:
    bool loadRaw16(const std::string& fileName, int32_t columns, int32_t rows) override
    {
        std::filesystem::resize_file(fileName, 1000);
        return HeightMap::loadRaw16(fileName, columns, rows);
    }
};

TEST_F(TerrainMapFiles, FileShrinkingBeforeTheReadFailsAndKeepsTheMap)
{
    ShrinkingMap map;
    ASSERT_TRUE(loadMap(map, dir, 257, pattern, 8));
    writeFile(dir.file("shrinks.raw"), rawBytes(257, wide, 16));
    EXPECT_FALSE(map.load(dir.file("shrinks.raw")));
    EXPECT_EQ(map.bitsPerSample(), 8);
    EXPECT_EQ(map.heightAt(256, 256), pattern(256, 256));
}

class NoMemoryMap : public HeightMap {
public:
    bool failAllocation = false;

protected:
    std::unique_ptr<uint16_t[]> allocateSamples(std::size_t count) override
    {
        return failAllocation ? nullptr : HeightMap::allocateSamples(count);
    }
};

TEST_F(TerrainMapFiles, MissingMemoryFailsAndKeepsTheMap)
{
    NoMemoryMap map;
    ASSERT_TRUE(loadMap(map, dir, 257, pattern, 8));
    map.failAllocation = true;
    EXPECT_FALSE(loadMap(map, dir, 513, wide, 16));
    EXPECT_EQ(map.columns(), 257);
    EXPECT_EQ(map.heightAt(100, 100), pattern(100, 100));
}

TEST_F(TerrainMapFiles, ReadersRefuseBadDimensionsAndMissingFiles)
{
    HeightMap map;
    writeFile(dir.file("small.raw"), rawBytes(4, pattern, 16));
    EXPECT_FALSE(map.loadRaw16(dir.file("small.raw"), 0, 4));
    EXPECT_FALSE(map.loadRaw16(dir.file("small.raw"), 4, -1));
    EXPECT_FALSE(map.loadRaw8(dir.file("nothing.raw"), 4, 4));
    EXPECT_TRUE(map.empty());

    // The readers themselves accept any dimensions the file holds.
    ASSERT_TRUE(map.loadRaw16(dir.file("small.raw"), 4, 4));
    EXPECT_EQ(map.heightAt(3, 0), pattern(3, 0));
    EXPECT_EQ(map.heightAt(0, 3), pattern(0, 3));
}

TEST_F(TerrainMapFiles, ReleaseEmptiesTheMap)
{
    HeightMap map;
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.columns(), 0);
    ASSERT_TRUE(loadMap(map, dir, 257, pattern, 16));
    map.release();
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.columns(), 0);
    EXPECT_EQ(map.rows(), 0);
    EXPECT_EQ(map.bitsPerSample(), 0);
}

// Segment costs on a small map built from a list of raised samples.
class TerrainSegmentCost : public ::testing::Test {
protected:
    void build(const std::vector<std::tuple<int32_t, int32_t, uint16_t>>& raised, uint16_t base = 100)
    {
        ASSERT_TRUE(loadMap(map, dir, 257, [&](int32_t x, int32_t y) {
            for (const auto& [rx, ry, h] : raised)
                if (rx == x && ry == y)
                    return h;
            return base;
        }));
    }
    int32_t cost(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const { return map.segmentCost(x0, y0, x1, y1); }

    TempDir dir;
    HeightMap map;
};

TEST_F(TerrainSegmentCost, LevelGroundCountsTheClosingStep)
{
    build({});
    EXPECT_EQ(cost(0, 0, 0, 0), 0);
    EXPECT_EQ(cost(0, 0, 3, 0), 4);
    EXPECT_EQ(cost(3, 0, 0, 0), 4);
    EXPECT_EQ(cost(0, 0, 1, 0), 2);
    EXPECT_EQ(cost(5, 5, 5, 12), 8);
    EXPECT_EQ(cost(0, 0, 2, 2), 4);  // 3 x sqrt 2
    // A shallow line is oblique at every step: 11 x sqrt 2 = 15.56.
    EXPECT_EQ(cost(0, 0, 10, 1), 15);
    EXPECT_EQ(cost(10, 1, 0, 0), 15);

    Vertex a;
    Vertex b;
    a.x = 4;
    a.y = 4;
    b.x = 4;
    b.y = 9;
    EXPECT_EQ(map.segmentCost(a, b), 6);
    EXPECT_EQ(map.segmentCost(a, a), 0);
}

TEST_F(TerrainSegmentCost, ClimbingCostsMoreThanDescending)
{
    build({{1, 0, 99}, {8, 8, 101}});
    EXPECT_EQ(cost(0, 0, 1, 0), 1);  // sqrt 2 / 2 + 1
    EXPECT_EQ(cost(1, 0, 0, 0), 3);  // 2 + 1
    // Oblique: a descent costs 1, a climb 2 sqrt 2, a level step sqrt 2.
    EXPECT_EQ(cost(7, 7, 8, 8), 4);  // 2.83 + 1.41
    EXPECT_EQ(cost(9, 9, 8, 8), 4);
    EXPECT_EQ(cost(8, 8, 9, 9), 2);  // 1 + 1.41
}

TEST_F(TerrainSegmentCost, TwoUnitsOfChangeBlockTheSegment)
{
    build({{6, 0, 102}, {20, 20, 98}});
    EXPECT_EQ(cost(0, 0, 5, 0), 6);
    EXPECT_EQ(cost(0, 0, 10, 0), 0);
    EXPECT_EQ(cost(10, 0, 0, 0), 0);
    EXPECT_EQ(cost(15, 15, 25, 25), 0);
    EXPECT_EQ(cost(15, 15, 19, 19), 7);
}

TEST_F(TerrainSegmentCost, SixteenBitMapsUseRawUnits)
{
    ASSERT_TRUE(loadMap(map, dir, 257, [](int32_t x, int32_t) { return static_cast<uint16_t>(x < 2 ? 40000 : 40002); }));
    EXPECT_EQ(cost(0, 0, 1, 0), 2);
    EXPECT_EQ(cost(0, 0, 2, 0), 0);
    EXPECT_EQ(cost(2, 0, 1, 0), 0);
}

// From (0, 0) to (4, 2) the stepping passes (1, 1), (2, 1), (3, 2), (4, 2);
// back from (4, 2) it passes (3, 1), (2, 1), (1, 0), (0, 0).
TEST_F(TerrainSegmentCost, SteppingFollowsTheLineInItsOwnDirection)
{
    build({{1, 0, 110}});
    EXPECT_GT(cost(0, 0, 4, 2), 0);
    EXPECT_EQ(cost(4, 2, 0, 0), 0);

    build({{1, 1, 110}});
    EXPECT_EQ(cost(0, 0, 4, 2), 0);
    EXPECT_GT(cost(4, 2, 0, 0), 0);

    build({{3, 2, 90}});
    EXPECT_EQ(cost(0, 0, 4, 2), 0);
    EXPECT_GT(cost(4, 2, 0, 0), 0);
}

TEST_F(TerrainSegmentCost, FloatSumIsTruncated)
{
    build({});
    const float root2 = std::sqrt(2.0f);
    for (int32_t n : {1, 5, 17, 70, 200, 255}) {
        float sum = 0.0f;
        for (int32_t i = 0; i <= n; ++i)
            sum += root2;
        EXPECT_EQ(cost(0, 0, n, n), static_cast<int32_t>(sum)) << n;
        EXPECT_EQ(cost(n, 0, 0, n), static_cast<int32_t>(sum)) << n;
    }
}

// Raw layout: no header, rows bottom-up, 16-bit samples little-endian,
// 8-bit samples clipped to 255.
TEST(TerrainRawWriter, WritesRowsBottomUpLittleEndian)
{
    const int n = 3;
    std::vector<std::uint16_t> h(n * n);
    for (int i = 0; i < n * n; ++i)
        h[i] = static_cast<std::uint16_t>(0x1200 + i * 0x11);  // row 0 is h[0..2]
    const TempDir dir("vaskur-rawwriter-test");
    const std::string p16 = dir.file("16.raw"), p8 = dir.file("8.raw");
    ASSERT_TRUE(writeRaw(p16, h, n, 16));
    const auto bytes = testkit::readFile(p16);
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(n * n * 2));
    for (int fileRow = 0; fileRow < n; ++fileRow)
        for (int x = 0; x < n; ++x) {
            const std::uint16_t expected = h[(n - 1 - fileRow) * n + x];
            const std::size_t at = static_cast<std::size_t>(fileRow * n + x) * 2;
            EXPECT_EQ(bytes[at] | (bytes[at + 1] << 8), expected) << "file row " << fileRow << " x " << x;
        }

    h[0] = 300;
    h[n * n - 1] = 17;
    ASSERT_TRUE(writeRaw(p8, h, n, 8));
    const auto small = testkit::readFile(p8);
    ASSERT_EQ(small.size(), static_cast<std::size_t>(n * n));
    EXPECT_EQ(small[(n - 1) * n], 255) << "map (0, 0) is the first sample of the last file row, clipped";
    EXPECT_EQ(small[n - 1], 17) << "map (n-1, n-1) is the last sample of the first file row";

    EXPECT_FALSE(writeRaw(p8, h, n + 1, 8)) << "size mismatch";
    EXPECT_FALSE(writeRaw(p8, h, n, 9)) << "bad width";
    EXPECT_FALSE(writeRaw("/nonexistent-dir/x.raw", h, n, 8));
}

}  // namespace
