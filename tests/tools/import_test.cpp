// vaskur-import on small GeoTIFFs made here: spacing, height unit and row
// order, the walkable slope limit, no-data walls, the sidecar's placement of
// samples in the world, the real heights kept beside the map, and failures
// that leave no file behind and earlier files as they were.
#include "tools/vaskur-geo/HeightFile.h"
#include "tools/vaskur-geo/LonLatTransform.h"
#include "tools/vaskur-import/HeightEncoder.h"
#include "tools/vaskur-import/Importer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>

#include "terrain/HeightMap.h"
#include "tests/support/temp_files.h"
#include "tests/tools/geotiff.h"

namespace {

using namespace vaskur_import;
using testkit::GeoTiff;

using std::numbers::pi;

class Import : public ::testing::Test {
protected:
    // Writes the GeoTIFF and imports it to 257 samples (and any other
    // options); the map is then loaded as the program loads it.
    bool run(const GeoTiff& tiff, ImportOptions options = {})
    {
        const std::string source = dir.file("source.tif");
        EXPECT_TRUE(testkit::writeGeoTiff(source, tiff));
        options.source = source;
        options.output = dir.file("out.raw");
        if (options.side == 513)
            options.side = 257;
        error.clear();
        if (!importHeightMap(options, report, error))
            return false;
        EXPECT_TRUE(map.load(options.output));
        return true;
    }
    // Largest height change between vertical neighbours (north-south steps).
    int steepestNorthSouthStep() const
    {
        int steepest = 0;
        for (int y = 0; y + 1 < map.rows(); ++y)
            for (int x = 0; x < map.columns(); ++x)
                steepest = std::max(steepest, std::abs(map.heightAt(x, y) - map.heightAt(x, y + 1)));
        return steepest;
    }

    testkit::TempDir dir;
    ImportReport report;
    std::string error;
    HeightMap map;
};

TEST_F(Import, SlopeJustUnderTheLimitIsWalkableWithNorthAtTheTop)
{
    // Resampling changes slopes by a few percent at most: 29 degrees stays
    // under the limit, 31 stays over it.
    ASSERT_TRUE(run(testkit::northSlope(29))) << error;
    const vaskur_geo::Sidecar& s = report.sidecar;
    const double spacing = 3000.0 / 257;
    EXPECT_NEAR(s.spacingMetres, spacing, 1e-9);
    EXPECT_NEAR(s.heightUnitMetres, spacing * std::tan(30 * pi / 180), 1e-9);
    // A sample in the middle of the map holds the plane's height at its
    // centre, 128.5 spacings north of the southern edge.
    EXPECT_NEAR(s.heightMetres(map.heightAt(100, 128)), 100 + 128.5 * spacing * std::tan(29 * pi / 180),
        s.heightUnitMetres / 2);
    EXPECT_EQ(s.bits, 8);
    EXPECT_EQ(map.bitsPerSample(), 8);
    // North (the high side) at the top of the map, which is the file's end.
    EXPECT_EQ(map.heightAt(100, 256), 0);
    EXPECT_EQ(map.heightAt(100, 0), report.range);
    EXPECT_GT(report.range, 240);
    EXPECT_LE(steepestNorthSouthStep(), 1);
    for (int x = 0; x < 257; x += 32)
        EXPECT_GT(map.segmentCost(x, 256, x, 0), 0) << "column " << x;
}

TEST_F(Import, RealHeightsAreKeptBesideTheMap)
{
    // Units of 5.8 m hold the plane's heights to 2.9 m; the heights file
    // keeps them as the resampling gives them, to a few centimetres.
    ASSERT_TRUE(run(testkit::northSlope(29))) << error;
    const vaskur_geo::Sidecar& s = report.sidecar;
    EXPECT_EQ(s.heightsFile, "out.raw.heights.tif");
    std::vector<float> metres;
    ASSERT_TRUE(vaskur_geo::readHeightFile(dir.file("out.raw.heights.tif"), 257, metres, error)) << error;
    const double spacing = 3000.0 / 257, rise = spacing * std::tan(29 * pi / 180);
    for (int y = 0; y < 257; y += 16)
        EXPECT_NEAR(metres[static_cast<std::size_t>(y) * 257 + 100], 100 + (256.5 - y) * rise, 0.25) << "row " << y;
}

TEST_F(Import, SlopeJustOverTheLimitIsImpassable)
{
    ASSERT_TRUE(run(testkit::northSlope(31))) << error;
    EXPECT_EQ(report.sidecar.bits, 16);
    EXPECT_EQ(steepestNorthSouthStep(), 2);
    for (int x = 0; x < 257; ++x)
        ASSERT_EQ(map.segmentCost(x, 256, x, 0), 0) << "column " << x;
}

TEST_F(Import, GeographicSourceIsWarpedToMetresAndTheSidecarPlacesSamples)
{
    // 2 by 1 arc seconds near 60 N: pixels of about 31 m square. The ground
    // rises northwards at 20 degrees.
    GeoTiff tiff;
    tiff.columns = tiff.rows = 400;
    tiff.crs = "EPSG:4326";
    const double west = 10.0, north = 60.0 + 400 / 3600.0;
    tiff.transform = {west, 2 / 3600.0, 0, north, 0, -1 / 3600.0};
    const double metresPerDegree = 111412.0;  // along the meridian at 60 N
    const double rise = std::tan(20 * pi / 180) * metresPerDegree;
    auto height = [&](double lat) { return 500 + (lat - 60.0) * rise; };
    tiff.height = [&](int, int row) { return height(north - (row + 0.5) / 3600.0); };
    ImportOptions options;
    options.area = AreaKind::LonLat;
    options.area0 = 10.02;
    options.area1 = 60.01;
    options.area2 = 10.20;
    options.area3 = 60.10;
    // A fine height unit (under a metre) to see samples placed to a metre.
    options.maxSlopeDegrees = 1;
    ASSERT_TRUE(run(tiff, options)) << error;
    const vaskur_geo::Sidecar& s = report.sidecar;
    EXPECT_TRUE(report.localProjection);

    // About 10 km by 10 km, cut to a square: 0.09 degrees of latitude.
    EXPECT_NEAR(s.spacingMetres * 257, 0.09 * metresPerDegree, 30);
    // The north-south slope comes through: 20 degrees is tan 20 / tan 1
    // units per spacing.
    const double perStep = static_cast<double>(map.heightAt(128, 0) - map.heightAt(128, 256)) / 256;
    EXPECT_NEAR(perStep, std::tan(20 * pi / 180) / std::tan(1 * pi / 180), 0.05);

    // A sample goes to the world and back; the world point's height in the
    // source is the sample's height.
    vaskur_geo::LonLatTransform lonLat;
    ASSERT_TRUE(lonLat.setup(s.crsWkt, error)) << error;
    for (const auto& [x, y] : {std::pair{40, 200}, std::pair{256, 0}, std::pair{128, 128}}) {
        double cx = 0, cy = 0, lon = 0, lat = 0;
        s.toCrs(x, y, cx, cy);
        ASSERT_TRUE(lonLat.toLonLat(cx, cy, lon, lat));
        EXPECT_GT(lon, 10.02);
        EXPECT_LT(lon, 10.20);
        EXPECT_NEAR(s.heightMetres(map.heightAt(x, y)), height(lat), s.heightUnitMetres * 0.6);
        double bx = 0, by = 0, sx = 0, sy = 0;
        ASSERT_TRUE(lonLat.fromLonLat(lon, lat, bx, by));
        ASSERT_TRUE(s.fromCrs(bx, by, sx, sy));
        EXPECT_NEAR(sx, x, 1e-6);
        EXPECT_NEAR(sy, y, 1e-6);
    }
    // What was written is what is read back.
    vaskur_geo::Sidecar read;
    ASSERT_TRUE(read.read(dir.file("out.raw.json"), error)) << error;
    EXPECT_EQ(read.sampleToCrs, s.sampleToCrs);
    EXPECT_EQ(read.crsWkt, s.crsWkt);
    EXPECT_EQ(read.heightUnitMetres, s.heightUnitMetres);
    EXPECT_EQ(read.source, dir.file("source.tif"));
}

TEST_F(Import, NoDataBecomesWallsThatNoRouteCrosses)
{
    // A no-data band 400 m wide from south to north across flat ground.
    GeoTiff tiff;
    tiff.noData = -9999;
    tiff.height = [](int column, int) { return column >= 140 && column < 180 ? -9999.0 : 250.0; };
    ASSERT_TRUE(run(tiff)) << error;
    const vaskur_geo::Sidecar& s = report.sidecar;
    EXPECT_EQ(s.noDataSamples % 257, 0);
    EXPECT_GE(s.noDataSamples, 33 * 257);
    EXPECT_LE(s.noDataSamples, 35 * 257);
    std::int64_t walls = 0;
    for (int y = 0; y < 257; ++y)
        for (int x = 0; x < 257; ++x)
            walls += map.heightAt(x, y) == s.wallValue;
    EXPECT_EQ(walls, s.noDataSamples);
    for (int y = 0; y < 257; ++y) {
        ASSERT_EQ(map.segmentCost(0, y, 256, y), 0) << "row " << y;
        ASSERT_EQ(map.segmentCost(0, y, 256, 256 - y), 0) << "row " << y;
    }
    EXPECT_GT(map.segmentCost(0, 0, 100, 256), 0);
}

TEST(HeightEncoder, WallsTouchingOnlyAtCornersAreClosed)
{
    // A diagonal line of no data from the bottom-left to the top-right
    // corner: a diagonal step could slip between two of its samples.
    const int side = 9;
    std::vector<double> metres(side * side, 10.0);
    for (int i = 0; i < side; ++i)
        metres[static_cast<std::size_t>(side - 1 - i) * side + i] = std::numeric_limits<double>::quiet_NaN();
    EncodeRequest request;
    request.side = side;
    EncodedHeights out;
    std::string error;
    ASSERT_TRUE(encodeHeights(metres, request, out, error)) << error;
    EXPECT_EQ(out.noDataSamples, side);
    EXPECT_GT(out.wallSamples, out.noDataSamples);
    // Walking in all eight directions from the top-left corner never reaches
    // the bottom-right one.
    std::vector<char> seen(side * side, 0);
    std::vector<int> todo{0};
    seen[0] = 1;
    while (!todo.empty()) {
        const int at = todo.back();
        todo.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = at % side + dx, y = at / side + dy;
                if (x < 0 || y < 0 || x >= side || y >= side || out.samples[y * side + x] == out.wallValue
                    || seen[y * side + x])
                    continue;
                seen[y * side + x] = 1;
                todo.push_back(y * side + x);
            }
    }
    EXPECT_FALSE(seen[side * side - 1]);
}

TEST(ImportOptions, NumbersTakeOneSignAtMost)
{
    auto parse = [](const char* west) {
        const char* argv[] = {"--bbox", west, "0", "10", "10", "in.tif", "out.raw"};
        ImportOptions options;
        std::string error;
        return parseImportArguments(7, argv, options, error) ? options.area0 : std::nan("");
    };
    EXPECT_EQ(parse("-7"), -7);
    EXPECT_EQ(parse("+7"), 7);
    for (const char* twice : {"+-7", "-+7", "++7", "--7"})
        EXPECT_TRUE(std::isnan(parse(twice))) << twice;
}

TEST_F(Import, BadInputIsRefusedAndLeavesNoFile)
{
    testkit::writeText(dir.file("out.raw"), "earlier map");
    testkit::writeText(dir.file("notes.txt"), "not a raster");
    const auto filesBefore = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    auto refused = [&](const char* what, bool imported, const char* expectedWords) {
        EXPECT_FALSE(imported) << what;
        EXPECT_NE(error.find(expectedWords), std::string::npos) << what << ": " << error;
        EXPECT_EQ(testkit::readFile(dir.file("out.raw")).size(), 11u) << what;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.raw.json"))) << what;
        const auto names = filesBefore();
        EXPECT_EQ(names, (std::vector<std::string>{"notes.txt", "out.raw", "source.tif"})) << what;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.raw.heights.tif"))) << what;
    };

    ImportOptions options;
    options.source = dir.file("notes.txt");
    options.output = dir.file("out.raw");
    ASSERT_TRUE(testkit::writeGeoTiff(dir.file("source.tif"), GeoTiff{}));
    refused("unreadable", importHeightMap(options, report, error), "cannot open");

    GeoTiff threeBands;
    threeBands.bands = 3;
    refused("three bands", run(threeBands), "--band");

    options = {};
    options.area = AreaKind::Window;
    options.area0 = 50;
    options.area1 = 50;
    options.area2 = 260;
    options.area3 = 260;
    refused("window outside", run(GeoTiff{}, options), "outside the raster");

    GeoTiff small;
    small.columns = small.rows = 200;
    refused("smaller than the output", run(small), "fewer than the 257 samples");

    options = {};
    options.maxSlopeDegrees = 0.01;
    refused("range too large", run(testkit::northSlope(20), options), "more than 16-bit samples hold");
}

TEST_F(Import, AnOutputThatIsADirectoryLeavesTheEarlierFilesAsTheyWere)
{
    // The map's name is taken by a directory, beside which the files of an
    // earlier import lie: nothing of them may change.
    std::filesystem::create_directory(dir.file("out.raw"));
    testkit::writeText(dir.file("out.raw.json"), "earlier sidecar");
    testkit::writeText(dir.file("out.raw.heights.tif"), "earlier heights");
    ImportOptions options;
    options.side = 257;
    options.source = dir.file("source.tif");
    options.output = dir.file("out.raw");
    ASSERT_TRUE(testkit::writeGeoTiff(options.source, GeoTiff{}));
    EXPECT_FALSE(importHeightMap(options, report, error));
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
    EXPECT_EQ(testkit::readFile(dir.file("out.raw.json")).size(), 15u);
    EXPECT_EQ(testkit::readFile(dir.file("out.raw.heights.tif")).size(), 15u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

} // namespace
