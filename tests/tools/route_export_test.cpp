// vaskur-route --geojson and --gpx on a map imported from a GeoTIFF: the
// files read back with OGR hold the routes that --path prints, vertex by
// vertex, placed in the world through the sidecar; without a sidecar
// GeoJSON keeps sample coordinates and GPX is refused.
#include "tools/vaskur-geo/LonLatTransform.h"
#include "tools/vaskur-geo/Sidecar.h"

#include <gtest/gtest.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

#include "terrain/HeightMap.h"
#include "tests/support/temp_files.h"
#include "tests/tools/geotiff.h"

namespace {

const std::string toolsDir = std::string(VASKUR_BINARY_DIR) + "/tools";

struct Output {
    int status = -1;
    std::string out;
};

Output run(const std::string& command)
{
    Output result;
    std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

using Path = std::vector<std::pair<int, int>>;

// The "path" lines of vaskur-route's output.
std::vector<Path> paths(const std::string& out)
{
    std::vector<Path> result;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("path ", 0) != 0)
            continue;
        std::istringstream numbers(line.substr(5));
        Path path;
        for (int x = 0, y = 0; numbers >> x >> y;)
            path.push_back({x, y});
        result.push_back(path);
    }
    return result;
}

// Every vertex of every line in the file, in order: the features of a
// GeoJSON file, the track points of a GPX file with their elevations.
std::vector<std::vector<OGRPoint>> readLines(const std::string& file)
{
    std::vector<std::vector<OGRPoint>> result;
    GDALDatasetUniquePtr ds(GDALDataset::Open(file.c_str(), GDAL_OF_VECTOR));
    if (!ds)
        return result;
    if (OGRLayer* points = ds->GetLayerByName("track_points")) {
        for (auto& feature : *points) {
            const auto track = static_cast<std::size_t>(feature->GetFieldAsInteger("track_fid"));
            result.resize(std::max(result.size(), track + 1));
            const OGRPoint* p = feature->GetGeometryRef()->toPoint();
            result[track].emplace_back(p->getX(), p->getY(), feature->GetFieldAsDouble("ele"));
        }
        return result;
    }
    for (auto& feature : *ds->GetLayer(0)) {
        const OGRLineString* line = feature->GetGeometryRef()->toLineString();
        std::vector<OGRPoint> points;
        for (int i = 0; i < line->getNumPoints(); ++i) {
            OGRPoint p;
            line->getPoint(i, &p);
            points.push_back(p);
        }
        result.push_back(points);
    }
    return result;
}

class RouteExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        GDALAllRegister();
        // A round hill near 58.5 N, in longitude and latitude.
        testkit::GeoTiff hill;
        hill.columns = hill.rows = 400;
        hill.crs = "EPSG:4326";
        hill.transform = {24.0, 1 / 1800.0, 0, 58.5, 0, -1 / 3600.0};
        hill.height = [](int c, int r) {
            return 50 + 400 * std::exp(-((c - 200.0) * (c - 200.0) + (r - 200.0) * (r - 200.0)) / (2 * 80.0 * 80.0));
        };
        ASSERT_TRUE(testkit::writeGeoTiff(dir.file("hill.tif"), hill));
        const Output imported = run(toolsDir + "/vaskur-import/vaskur-import --size 257 --max-slope 45 "
            + dir.file("hill.tif") + " " + dir.file("hill.raw"));
        ASSERT_EQ(imported.status, 0);
        ASSERT_NE(imported.out.find("spacing "), std::string::npos);
    }

    std::string route(const std::string& options, const std::string& map)
    {
        return toolsDir + "/vaskur-route/vaskur-route --path " + options + " " + map
            + " 10 10 240 240 200 20 20 200 128 250 128 5";
    }

    testkit::TempDir dir;
};

TEST_F(RouteExport, FilesHoldThePrintedRoutesInTheWorld)
{
    const Output routed = run(route("--geojson " + dir.file("r.geojson") + " --gpx " + dir.file("r.gpx"),
        dir.file("hill.raw")));
    ASSERT_EQ(routed.status, 0);
    const std::vector<Path> printed = paths(routed.out);
    ASSERT_EQ(printed.size(), 3u);

    vaskur_geo::Sidecar sidecar;
    std::string error;
    ASSERT_TRUE(sidecar.read(dir.file("hill.raw.json"), error)) << error;
    vaskur_geo::LonLatTransform lonLat;
    ASSERT_TRUE(lonLat.setup(sidecar.crsWkt, error)) << error;
    HeightMap map;
    ASSERT_TRUE(map.load(dir.file("hill.raw")));

    for (const char* file : {"r.geojson", "r.gpx"}) {
        const auto lines = readLines(dir.file(file));
        ASSERT_EQ(lines.size(), printed.size()) << file;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i].size(), printed[i].size()) << file << " route " << i;
            for (std::size_t k = 0; k < lines[i].size(); ++k) {
                const auto [x, y] = printed[i][k];
                double wantX = 0, wantY = 0, gotX = 0, gotY = 0;
                sidecar.toCrs(x, y, wantX, wantY);
                ASSERT_TRUE(lonLat.fromLonLat(lines[i][k].getX(), lines[i][k].getY(), gotX, gotY));
                EXPECT_LT(std::hypot(gotX - wantX, gotY - wantY), 1e-3) << file << " route " << i << " vertex " << k;
                EXPECT_NEAR(lines[i][k].getZ(), sidecar.heightMetres(map.heightAt(x, y)), 1e-3) << file;
            }
        }
    }

    // The GeoJSON properties of the first route.
    GDALDatasetUniquePtr ds(GDALDataset::Open(dir.file("r.geojson").c_str(), GDAL_OF_VECTOR));
    ASSERT_TRUE(ds);
    OGRFeatureUniquePtr first(ds->GetLayer(0)->GetNextFeature());
    ASSERT_TRUE(first);
    EXPECT_STREQ(first->GetFieldAsString("search"), "full");
    EXPECT_EQ(first->GetFieldAsInteger("startX"), printed[0].front().first);
    EXPECT_EQ(first->GetFieldAsInteger("endY"), printed[0].back().second);
    EXPECT_EQ(first->GetFieldAsInteger("patchSize"), 32);
    EXPECT_GT(first->GetFieldAsDouble("length"), 0);
    // Over the hill from corner to corner: more ground than the straight
    // line, and as much climbed as descended between two low corners.
    const double straight = std::hypot(240 - printed[0].front().first, 240 - printed[0].front().second);
    EXPECT_GT(first->GetFieldAsDouble("groundMetres"), straight * sidecar.spacingMetres);
    EXPECT_GT(first->GetFieldAsDouble("climbMetres"), 0);
}

TEST_F(RouteExport, WithoutSidecarGeoJsonKeepsSamplesAndGpxIsRefused)
{
    std::filesystem::copy_file(dir.file("hill.raw"), dir.file("bare.raw"));
    const Output refused = run(route("--gpx " + dir.file("bare.gpx"), dir.file("bare.raw")));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("bare.gpx")));

    const Output routed = run(route("--quick --geojson " + dir.file("bare.geojson"), dir.file("bare.raw")));
    ASSERT_EQ(routed.status, 0);
    const std::vector<Path> printed = paths(routed.out);
    const auto lines = readLines(dir.file("bare.geojson"));
    ASSERT_EQ(lines.size(), printed.size());
    ASSERT_FALSE(lines.empty());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), printed[i].size());
        for (std::size_t k = 0; k < lines[i].size(); ++k) {
            EXPECT_EQ(lines[i][k].getX(), printed[i][k].first);
            EXPECT_EQ(lines[i][k].getY(), printed[i][k].second);
        }
    }
    GDALDatasetUniquePtr ds(GDALDataset::Open(dir.file("bare.geojson").c_str(), GDAL_OF_VECTOR));
    ASSERT_TRUE(ds);
    OGRFeatureUniquePtr first(ds->GetLayer(0)->GetNextFeature());
    ASSERT_TRUE(first);
    EXPECT_STREQ(first->GetFieldAsString("search"), "quick");
    EXPECT_EQ(std::string(first->GetFieldAsString("coordinates")).rfind("map samples", 0), 0u);
}

} // namespace
