// vaskur-route's files on maps imported here from GeoTIFFs made with GDAL (a
// round hill in longitude/latitude, a cone with a no-data hole in UTM): the
// walked line steps on every sample with real heights and carries its own
// figures, ends lie where they were asked for in any coordinates, profiles
// follow the line, and files are written all or none, never without a route.
// Also the strict reading of sidecars and vaskur-import's command line.
#include "tools/vaskur-geo/LonLatTransform.h"
#include "tools/vaskur-geo/RouteTrace.h"
#include "tools/vaskur-geo/Sidecar.h"

#include <gtest/gtest.h>

#include <cpl_json.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <sys/wait.h>

#include "tests/support/temp_files.h"
#include "tests/tools/geotiff.h"

namespace {

const std::string toolsDir = std::string(VASKUR_BINARY_DIR) + "/tools";
const std::string routeTool = toolsDir + "/vaskur-route/vaskur-route";
const std::string importTool = toolsDir + "/vaskur-import/vaskur-import";

struct Output {
    int status = -1;
    std::string out;
    std::string err;
};

Output run(const std::string& command)
{
    Output result;
    const std::string errFile =
        std::filesystem::temp_directory_path() / ("route-export-err-" + std::to_string(getpid()));
    std::FILE* pipe = popen((command + " 2>" + errFile).c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto bytes = testkit::readFile(errFile);
    result.err.assign(bytes.begin(), bytes.end());
    std::filesystem::remove(errFile);
    return result;
}

std::string text(const std::string& file)
{
    const auto bytes = testkit::readFile(file);
    return {bytes.begin(), bytes.end()};
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

// The numeric properties of every feature of a GeoJSON file.
std::vector<std::map<std::string, double>> properties(const std::string& file)
{
    std::vector<std::map<std::string, double>> result;
    GDALDatasetUniquePtr ds(GDALDataset::Open(file.c_str(), GDAL_OF_VECTOR));
    if (!ds)
        return result;
    for (auto& feature : *ds->GetLayer(0)) {
        auto& p = result.emplace_back();
        for (const char* name : {"length", "groundMetres", "climbMetres", "descentMetres", "walkSeconds"})
            if (feature->GetFieldIndex(name) >= 0)
                p[name] = feature->GetFieldAsDouble(name);
    }
    return result;
}

// A place on the map: its sample position and its height.
struct Placed {
    double x, y, z;
};

// The file's vertices back in samples, through the sidecar.
std::vector<Placed> toSamples(const std::vector<OGRPoint>& line, const vaskur_geo::Sidecar& sidecar)
{
    vaskur_geo::LonLatTransform lonLat;
    std::string error;
    EXPECT_TRUE(lonLat.setup(sidecar.crsWkt, error)) << error;
    std::vector<Placed> result;
    for (const OGRPoint& p : line) {
        double cx = 0, cy = 0, x = 0, y = 0;
        EXPECT_TRUE(lonLat.fromLonLat(p.getX(), p.getY(), cx, cy));
        EXPECT_TRUE(sidecar.fromCrs(cx, cy, x, y));
        result.push_back({x, y, p.getZ()});
    }
    return result;
}

// Ground, climb, descent and Tobler's time recomputed from a line in the
// map's coordinate system (metres).
vaskur_geo::RouteFigures recompute(const std::vector<Placed>& line, double spacing)
{
    vaskur_geo::RouteFigures f;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double run = std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y) * spacing;
        const double rise = line[i].z - line[i - 1].z;
        f.groundMetres += std::hypot(run, rise);
        (rise > 0 ? f.climbMetres : f.descentMetres) += std::fabs(rise);
        const double kmh = 6 * std::exp(-3.5 * std::fabs(rise / run + 0.05));
        f.walkSeconds += run / (kmh / 3.6);
    }
    return f;
}

// Whether the printed vertices appear in order among the line's points,
// and the line steps at most one sample at a time between them.
void expectWalkedOverSamples(const std::vector<Placed>& line, const Path& vertices, const std::string& what)
{
    std::size_t next = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool atVertex = next < vertices.size()
            && std::hypot(line[i].x - vertices[next].first, line[i].y - vertices[next].second) < 1e-6;
        if (atVertex)
            ++next;
        if (i > 0) {
            EXPECT_LE(std::fabs(line[i].x - line[i - 1].x), 1 + 1e-6) << what << " point " << i;
            EXPECT_LE(std::fabs(line[i].y - line[i - 1].y), 1 + 1e-6) << what << " point " << i;
        }
    }
    EXPECT_EQ(next, vertices.size()) << what << ": the route's vertices are not all on the line";
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
        hill.height = [](int c, int r) { return hillHeight(c + 0.5, r + 0.5); };
        ASSERT_TRUE(testkit::writeGeoTiff(dir.file("hill.tif"), hill));
        const Output imported = run(importTool + " --size 257 --max-slope 45 " + dir.file("hill.tif") + " "
            + dir.file("hill.raw"));
        ASSERT_EQ(imported.status, 0) << imported.err;
        ASSERT_EQ(imported.err, "");
        std::string error;
        ASSERT_TRUE(sidecar.read(dir.file("hill.raw.json"), error)) << error;
    }

    // The hill at a place given in the source's pixels.
    static double hillHeight(double column, double row)
    {
        return 50 + 400 * std::exp(-((column - 200) * (column - 200) + (row - 200) * (row - 200)) / (2 * 80.0 * 80.0));
    }

    // A cone 600 m high in UTM, 10 m pixels, with a round no-data hole of
    // 200 m radius centred at pixel (60, 60); imported as cone.raw.
    void importCone()
    {
        testkit::GeoTiff cone;
        cone.noData = -9999;
        cone.height = [](int c, int r) {
            if (std::hypot(c + 0.5 - 60, r + 0.5 - 60) < 20)
                return -9999.0;
            return 600 - 4.0 * std::hypot(c + 0.5 - 150, r + 0.5 - 150);
        };
        ASSERT_TRUE(testkit::writeGeoTiff(dir.file("cone.tif"), cone));
        const Output imported = run(importTool + " -q --size 257 " + dir.file("cone.tif") + " " + dir.file("cone.raw"));
        ASSERT_EQ(imported.status, 0) << imported.err;
        std::string error;
        ASSERT_TRUE(cone_.read(dir.file("cone.raw.json"), error)) << error;
    }

    std::string route(const std::string& options, const std::string& map)
    {
        return routeTool + " --path " + options + " " + map + " 10 10 240 240 200 20 20 200 128 250 128 5";
    }

    testkit::TempDir dir;
    vaskur_geo::Sidecar sidecar;
    vaskur_geo::Sidecar cone_;
};

TEST_F(RouteExport, FilesHoldTheWalkedLineWithRealHeightsAndItsOwnFigures)
{
    const Output routed = run(route("--geojson " + dir.file("r.geojson") + " --gpx " + dir.file("r.gpx"),
        dir.file("hill.raw")));
    ASSERT_EQ(routed.status, 0) << routed.err;
    const std::vector<Path> printed = paths(routed.out);
    ASSERT_EQ(printed.size(), 3u);
    const auto figures = properties(dir.file("r.geojson"));
    ASSERT_EQ(figures.size(), 3u);

    vaskur_geo::LonLatTransform lonLat;
    std::string error;
    ASSERT_TRUE(lonLat.setup(sidecar.crsWkt, error)) << error;
    for (const char* file : {"r.geojson", "r.gpx"}) {
        const auto lines = readLines(dir.file(file));
        ASSERT_EQ(lines.size(), printed.size()) << file;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string what = std::string(file) + " route " + std::to_string(i);
            const std::vector<Placed> line = toSamples(lines[i], sidecar);
            expectWalkedOverSamples(line, printed[i], what);
            // Heights in metres as the source has them, not in units of
            // 45 m: within a metre of the hill at that place.
            for (std::size_t k = 0; k < lines[i].size(); k += 7) {
                const double column = (lines[i][k].getX() - 24.0) * 1800, row = (58.5 - lines[i][k].getY()) * 3600;
                EXPECT_NEAR(lines[i][k].getZ(), hillHeight(column, row), 1.0) << what << " point " << k;
            }
            const vaskur_geo::RouteFigures f = recompute(line, sidecar.spacingMetres);
            auto& p = figures[i];
            EXPECT_NEAR(f.groundMetres, p.at("groundMetres"), 0.01 * p.at("groundMetres")) << what;
            EXPECT_NEAR(f.climbMetres, p.at("climbMetres"), 0.01 * p.at("climbMetres") + 0.01) << what;
            EXPECT_NEAR(f.descentMetres, p.at("descentMetres"), 0.01 * p.at("descentMetres") + 0.01) << what;
            EXPECT_NEAR(f.walkSeconds, p.at("walkSeconds"), 0.01 * p.at("walkSeconds")) << what;
        }
    }
    // Over the hill from corner to corner: more ground than the straight
    // line, and climbing as well as descending.
    const double straight = std::hypot(240 - printed[0].front().first, 240 - printed[0].front().second);
    EXPECT_GT(figures[0].at("groundMetres"), straight * sidecar.spacingMetres);
    EXPECT_GT(figures[0].at("climbMetres"), 10);
    EXPECT_NE(text(dir.file("r.gpx")).find(" walk "), std::string::npos);
}

TEST_F(RouteExport, WithoutSidecarGeoJsonKeepsSamplesAndTheOtherFilesAreRefused)
{
    std::filesystem::copy_file(dir.file("hill.raw"), dir.file("bare.raw"));
    for (const char* option : {"--gpx", "--profile", "--profile-svg"}) {
        const Output refused = run(route(std::string(option) + " " + dir.file("bare.out"), dir.file("bare.raw")));
        EXPECT_EQ(refused.status, 1) << option;
        EXPECT_EQ(refused.out, "") << option;
        EXPECT_FALSE(std::filesystem::exists(dir.file("bare.out"))) << option;
    }
    const Output routed = run(route("--quick --geojson " + dir.file("bare.geojson"), dir.file("bare.raw")));
    ASSERT_EQ(routed.status, 0) << routed.err;
    const std::vector<Path> printed = paths(routed.out);
    const auto lines = readLines(dir.file("bare.geojson"));
    ASSERT_EQ(lines.size(), printed.size());
    ASSERT_FALSE(lines.empty());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<Placed> line;
        for (const OGRPoint& p : lines[i])
            line.push_back({p.getX(), p.getY(), 0});
        expectWalkedOverSamples(line, printed[i], "route " + std::to_string(i));
    }
    GDALDatasetUniquePtr ds(GDALDataset::Open(dir.file("bare.geojson").c_str(), GDAL_OF_VECTOR));
    ASSERT_TRUE(ds);
    OGRFeatureUniquePtr first(ds->GetLayer(0)->GetNextFeature());
    ASSERT_TRUE(first);
    EXPECT_STREQ(first->GetFieldAsString("search"), "quick");
    EXPECT_EQ(std::string(first->GetFieldAsString("coordinates")).rfind("map samples", 0), 0u);
}

TEST_F(RouteExport, NoRouteOrAFailedFileLeavesEarlierFilesAsTheyWere)
{
    importCone();
    const std::string cone = dir.file("cone.raw");
    const std::string files = " --geojson " + dir.file("r.geojson") + " --gpx " + dir.file("r.gpx") + " ";
    testkit::writeText(dir.file("r.geojson"), "earlier");
    testkit::writeText(dir.file("r.gpx"), "earlier");
    auto unchanged = [&](const std::string& what) {
        EXPECT_EQ(text(dir.file("r.geojson")), "earlier") << what;
        EXPECT_EQ(text(dir.file("r.gpx")), "earlier") << what;
    };
    // Pixel (60, 60) of the source, 605 m from the west and north edges, is
    // sample (51, 51) in the middle of the hole.
    Output r = run(routeTool + files + cone + " 200 200 51 51");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "vaskur-route: no route from 200 200 to 51 51: 51 51 lies in a wall (no data)\n");
    unchanged("an end in the hole");
    r = run(routeTool + files + cone + " 200 200 300 10");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("300 10 lies outside the map"), std::string::npos) << r.err;
    unchanged("an end outside");
    r = run(routeTool + files + cone);
    EXPECT_EQ(r.status, 2);
    unchanged("no points");

    // A route, but one file cannot be written: neither changes, and the one
    // line names the file asked for, not a temporary.
    r = run(routeTool + " --geojson " + dir.file("r.geojson") + " --gpx /proc/none/r.gpx " + cone + " 200 200 120 128");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("vaskur-route: cannot write /proc/none/r.gpx: ", 0), 0u) << r.err;
    unchanged("a file that cannot be written");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".geojson."), std::string::npos) << "left " << entry.path();
}

TEST_F(RouteExport, EndsLieWhereTheyWereAskedForInAnyCoordinates)
{
    importCone();
    const std::string cone = dir.file("cone.raw");
    // Two places between samples, in UTM metres and in longitude/latitude.
    const std::pair<double, double> a{500333.3, 5998611.1}, b{501987.6, 5997222.2};
    vaskur_geo::LonLatTransform lonLat;
    std::string error;
    ASSERT_TRUE(lonLat.setup(cone_.crsWkt, error)) << error;
    double aLon = 0, aLat = 0, bLon = 0, bLat = 0;
    ASSERT_TRUE(lonLat.toLonLat(a.first, a.second, aLon, aLat));
    ASSERT_TRUE(lonLat.toLonLat(b.first, b.second, bLon, bLat));
    char numbers[256];
    std::snprintf(numbers, sizeof numbers, " %.12g %.12g %.12g %.12g", aLon, aLat, bLon, bLat);
    Output r = run(routeTool + " --lonlat --geojson " + dir.file("ll.geojson") + " " + cone + numbers);
    ASSERT_EQ(r.status, 0) << r.err;
    std::snprintf(numbers, sizeof numbers, " %.12g %.12g %.12g %.12g", a.first, a.second, b.first, b.second);
    r = run(routeTool + " --crs --geojson " + dir.file("crs.geojson") + " " + cone + numbers);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nends "), std::string::npos) << r.out;
    for (const char* file : {"ll.geojson", "crs.geojson"}) {
        const auto lines = readLines(dir.file(file));
        ASSERT_EQ(lines.size(), 1u) << file;
        EXPECT_NEAR(lines[0].front().getX(), aLon, 1e-9) << file;
        EXPECT_NEAR(lines[0].front().getY(), aLat, 1e-9) << file;
        EXPECT_NEAR(lines[0].back().getX(), bLon, 1e-9) << file;
        EXPECT_NEAR(lines[0].back().getY(), bLat, 1e-9) << file;
    }

    // A CSV of three points in the map's metres: two legs, A->B and B->C,
    // the second starting where the first ends.
    testkit::writeText(dir.file("p.csv"), "name,x,y\nA,500333.3,5998611.1\nB,501987.6,5997222.2\nC,500800,5997500\n");
    r = run(routeTool + " --points " + dir.file("p.csv") + " --geojson " + dir.file("p.geojson") + " " + cone);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto legs = readLines(dir.file("p.geojson"));
    ASSERT_EQ(legs.size(), 2u);
    EXPECT_NEAR(legs[0].front().getX(), aLon, 1e-9);
    EXPECT_EQ(legs[0].back().getX(), legs[1].front().getX());
    EXPECT_EQ(legs[0].back().getY(), legs[1].front().getY());
    // A point outside the map is named.
    testkit::writeText(dir.file("far.csv"), "x,y\n500333.3,5998611.1\n400000,5998611.1\n");
    r = run(routeTool + " --points " + dir.file("far.csv") + " " + cone);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("point 2 (400000 5998611.1) lies outside the map"), std::string::npos) << r.err;
}

TEST_F(RouteExport, ProfilesFollowTheWalkedLine)
{
    const Output r = run(route("--geojson " + dir.file("r.geojson") + " --profile " + dir.file("p.csv")
            + " --profile-svg " + dir.file("p.svg"),
        dir.file("hill.raw")));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = readLines(dir.file("r.geojson"));
    const auto figures = properties(dir.file("r.geojson"));
    std::istringstream csv(text(dir.file("p.csv")));
    std::string row;
    std::getline(csv, row);
    EXPECT_EQ(row, "route,distance_m,elevation_m,slope_percent");
    std::vector<std::size_t> rows(lines.size());
    double lastDistance = 0;
    for (int route = 0; std::getline(csv, row);) {
        double distance = 0, elevation = 0, slope = 0;
        ASSERT_EQ(std::sscanf(row.c_str(), "%d,%lf,%lf,%lf", &route, &distance, &elevation, &slope), 4) << row;
        ASSERT_GE(route, 1);
        ASSERT_LE(static_cast<std::size_t>(route), rows.size());
        EXPECT_NEAR(elevation, lines[route - 1][rows[route - 1]].getZ(), 1e-3);
        ++rows[route - 1];
        if (route == 1)
            lastDistance = distance;
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(rows[i], lines[i].size()) << "route " << i;
    EXPECT_NEAR(lastDistance, figures[0].at("groundMetres"), 0.01);
    // One chart of 300 points per route, drawn by cairo.
    const std::string svg = text(dir.file("p.svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("height=\"" + std::to_string(300 * lines.size()) + "pt\""), std::string::npos);
}

TEST_F(RouteExport, BrokenSidecarsAreRefusedByName)
{
    const std::string original = text(dir.file("hill.raw.json"));
    struct Fault {
        const char* field;
        std::function<void(CPLJSONObject&)> spoil;
    };
    const std::vector<Fault> faults{
        {"heightUnitMetres", [](CPLJSONObject& o) { o.Set("heightUnitMetres", HUGE_VAL); }},
        {"heightUnitMetres", [](CPLJSONObject& o) { o.Set("heightUnitMetres", 1e300); }},
        {"spacingMetres", [](CPLJSONObject& o) { o.Set("spacingMetres", -10.0); }},
        {"sampleToCrs", [](CPLJSONObject& o) {
             CPLJSONArray zero;
             for (int i = 0; i < 6; ++i)
                 zero.Add(0.0);
             o.Delete("sampleToCrs");
             o.Add("sampleToCrs", zero);
         }},
        {"bits", [](CPLJSONObject& o) { o.Set("bits", 16); }},
        {"side", [](CPLJSONObject& o) { o.Set("side", 513); }},
        {"wallValue", [](CPLJSONObject& o) { o.Set("wallValue", 70000); }},
    };
    for (const Fault& fault : faults) {
        CPLJSONDocument doc;
        ASSERT_TRUE(doc.LoadMemory(original));
        CPLJSONObject root = doc.GetRoot();
        fault.spoil(root);
        ASSERT_TRUE(doc.Save(dir.file("hill.raw.json")));
        const Output r =
            run(routeTool + " --gpx " + dir.file("r.gpx") + " " + dir.file("hill.raw") + " 10 10 200 200");
        EXPECT_EQ(r.status, 1) << fault.field;
        EXPECT_NE(r.err.find(std::string(fault.field) + " "), std::string::npos) << fault.field << ": " << r.err;
        EXPECT_NE(r.err.find("hill.raw.json"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("r.gpx"))) << fault.field;
    }

    // A sidecar from before the real heights were kept still loads; its
    // heights are the units times the unit.
    CPLJSONDocument doc;
    ASSERT_TRUE(doc.LoadMemory(original));
    doc.GetRoot().Delete("heightsFile");
    doc.GetRoot().Delete("heightsFileNote");
    ASSERT_TRUE(doc.Save(dir.file("hill.raw.json")));
    const Output r = run(route("--geojson " + dir.file("old.geojson"), dir.file("hill.raw")));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = readLines(dir.file("old.geojson"));
    ASSERT_FALSE(lines.empty());
    for (const OGRPoint& p : lines[0]) {
        const double units = (p.getZ() - sidecar.heightOffsetMetres) / sidecar.heightUnitMetres;
        ASSERT_NEAR(units, std::round(units), 1e-6);
    }
}

TEST_F(RouteExport, ImportCommandLine)
{
    const std::string source = " " + dir.file("hill.tif") + " " + dir.file("out.raw");
    EXPECT_EQ(run(importTool + " --srs FOO" + source).status, 2);
    EXPECT_EQ(run(importTool + " --lonlat -200 58 24.1 58.4" + source).status, 2);
    EXPECT_EQ(run(importTool + " --config" + source).status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.raw")));
    // A progress bar when standard error is a terminal (script(1) gives it
    // one), none with -q.
    auto onTerminal = [&](const std::string& options) {
        return run("script -qec '" + importTool + " --size 257 --config GDAL_CACHEMAX 64 " + options + source
            + " >/dev/null' /dev/null");
    };
    const Output bar = onTerminal("");
    EXPECT_EQ(bar.status, 0) << bar.err;
    EXPECT_NE(bar.out.find("] 100%"), std::string::npos) << bar.out;
    const Output quiet = onTerminal("-q");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out.find("100%"), std::string::npos) << quiet.out;
}

} // namespace
