// Parsing the command line of vaskur-route, and its help.
#include "tools/vaskur-route/Options.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "route/ModelBuild.h"

namespace vaskur_route {

const char* const usageText =
    "usage: vaskur-route [--patch 16|32|64|128|256] [--threshold T] [--quick] [--path] [--time] "
    "[--lonlat | --crs] [--points FILE] [--geojson FILE] [--gpx FILE] [--profile FILE.csv] "
    "[--profile-svg FILE.svg] [--jobs N] MAP.raw [X1 Y1 X2 Y2]...";

const char* const helpText =
    "Builds the terrain model and route graph of MAP.raw as the program does and finds the cheapest route\n"
    "between each pair of points. Points are map columns and rows unless --lonlat or --crs says otherwise.\n"
    "\n"
    "  --patch N           patch size: 16, 32, 64, 128 or 256 (default 32)\n"
    "  --threshold T       split threshold, an integer (default 25; a negative one is 5)\n"
    "  --quick             the quick search, which stops when it first reaches the end\n"
    "  --path              print the model vertices of every route found\n"
    "  --time              print the seconds of the load, the build stages and the searches on stderr\n"
    "  --lonlat            the points are WGS 84 longitude and latitude (needs the map's sidecar)\n"
    "  --crs               the points are in the map's own coordinate system (needs the sidecar)\n"
    "  --points FILE       route A->B, B->C, ... between the points of FILE (CSV, GeoJSON, GPX)\n"
    "  --geojson FILE      write the routes as GeoJSON (sample coordinates without a sidecar)\n"
    "  --gpx FILE          write the routes as GPX tracks with elevations\n"
    "  --profile FILE      write distance, elevation and slope at every vertex as CSV\n"
    "  --profile-svg FILE  draw the elevation profile of every route as SVG\n"
    "  --config KEY VALUE  set a GDAL configuration option\n"
    "  --debug on          print GDAL's debug messages\n"
    "  --jobs N            search the routes on N threads (default: one per core); same output\n"
    "  --help              print this help\n"
    "  --version           print the version\n"
    "\n"
    "Examples:\n"
    "  vaskur-route --patch 16 maps/hills-513-16.raw 0 0 512 512\n"
    "  vaskur-route --lonlat --gpx walk.gpx --profile-svg walk.svg maps/jacksboro-257.raw "
    "-84.30 36.55 -84.20 36.62\n";

namespace {

// A decimal number with at most one sign; from_chars takes a minus itself,
// so "+-7" must not pass as -7.
std::string_view withoutPlus(std::string_view text, bool& ok)
{
    ok = true;
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        ok = text.empty() || text.front() != '-';
    }
    return text;
}

// A whole decimal int32, one optional sign, nothing else.
bool parseInt(std::string_view text, std::int32_t& out)
{
    bool ok = false;
    text = withoutPlus(text, ok);
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ok && !text.empty() && ec == std::errc() && ptr == end;
}

bool parseReal(std::string_view text, double& out)
{
    bool ok = false;
    text = withoutPlus(text, ok);
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ok && !text.empty() && ec == std::errc() && ptr == end && std::isfinite(out);
}

bool isOption(std::string_view arg)
{
    return arg.size() >= 2 && arg[0] == '-' && arg[1] == '-';
}

bool isFlag(std::string_view name)
{
    return name == "--quick" || name == "--path" || name == "--time" || name == "--help" || name == "--lonlat"
        || name == "--crs";
}

std::string* fileOption(std::string_view name, Options& options)
{
    if (name == "--geojson") return &options.geojson;
    if (name == "--gpx") return &options.gpx;
    if (name == "--profile") return &options.profileCsv;
    if (name == "--profile-svg") return &options.profileSvg;
    if (name == "--points") return &options.pointsFile;
    return nullptr;
}

void setFlag(std::string_view name, Options& options, bool& lonLat, bool& crs)
{
    if (name == "--quick") options.quick = true;
    else if (name == "--path") options.path = true;
    else if (name == "--time") options.time = true;
    else if (name == "--lonlat") lonLat = true;
    else if (name == "--crs") crs = true;
    else options.help = true;
}

// One option with its value; false with a reason.
bool takeOption(std::string_view name, std::string_view value, Options& options, std::string& error)
{
    if (name == "--patch") {
        std::int32_t n = 0;
        if (!parseInt(value, n) || (n != 16 && n != 32 && n != 64 && n != 128 && n != 256)) {
            error = "--patch must be one of 16, 32, 64, 128, 256";
            return false;
        }
        options.patchSize = n;
    } else if (name == "--threshold") {
        std::int32_t t = 0;
        if (!parseInt(value, t)) {
            error = "--threshold must be an integer";
            return false;
        }
        options.threshold = buildThreshold(t);
    } else if (name == "--jobs") {
        std::int32_t n = 0;
        if (!parseInt(value, n) || n < 1) {
            error = "--jobs must be a positive integer";
            return false;
        }
        options.jobs = n;
    } else if (std::string* file = fileOption(name, options)) {
        if (value.empty()) {
            error = std::string(name) + " needs a file name";
            return false;
        }
        *file = value;
    }
    return true;
}

// One point of a pair: two numbers of the kind the options chose.
bool parsePoint(const char* x, const char* y, PointKind kind, QueryPoint& point, std::string& error)
{
    point.text = std::string(x) + " " + y;
    if (kind == PointKind::Samples) {
        std::int32_t ix = 0, iy = 0;
        if (!parseInt(x, ix) || !parseInt(y, iy)) {
            error = "route points must be integers (map columns and rows): " + point.text;
            return false;
        }
        point.x = ix;
        point.y = iy;
        return true;
    }
    if (!parseReal(x, point.x) || !parseReal(y, point.y)) {
        error = "route points must be numbers: " + point.text;
        return false;
    }
    if (kind == PointKind::LonLat && !(std::fabs(point.x) <= 180 && std::fabs(point.y) <= 90)) {
        error = "--lonlat: " + point.text + " is not a longitude from -180 to 180 and a latitude from -90 to 90";
        return false;
    }
    return true;
}

bool parsePoints(int argc, const char* const* argv, int i, Options& options, std::string& error)
{
    const int rest = argc - i;
    if (rest % 4 != 0) {
        error = "route points come in groups of four: X1 Y1 X2 Y2";
        return false;
    }
    if (rest > 0 && !options.pointsFile.empty()) {
        error = "give the route points either on the command line or with --points, not both";
        return false;
    }
    for (; i < argc; i += 4) {
        RouteQuery q;
        if (!parsePoint(argv[i], argv[i + 1], options.kind, q.from, error)
            || !parsePoint(argv[i + 2], argv[i + 3], options.kind, q.to, error))
            return false;
        options.queries.push_back(q);
    }
    const bool files = !options.geojson.empty() || !options.gpx.empty() || !options.profileCsv.empty()
        || !options.profileSvg.empty();
    if (files && options.queries.empty() && options.pointsFile.empty()) {
        error = "route files need at least one pair of points (or --points FILE)";
        return false;
    }
    return true;
}

// The option at argv[i] (NAME, NAME=VALUE or NAME VALUE); moves i past its
// value.
bool readOption(int argc, const char* const* argv, int& i, Options& options, bool& lonLat, bool& crs,
    std::string& error)
{
    const std::string_view arg = argv[i];
    std::string_view name = arg, value;
    const auto eq = arg.find('=');
    if (eq != std::string_view::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
    }
    if (isFlag(name)) {
        if (eq != std::string_view::npos) {
            error = "option " + std::string(name) + " takes no value";
            return false;
        }
        setFlag(name, options, lonLat, crs);
        return true;
    }
    if (name != "--patch" && name != "--threshold" && name != "--jobs" && !fileOption(name, options)) {
        error = "unknown option " + std::string(name);
        return false;
    }
    if (eq == std::string_view::npos) {
        if (i + 1 >= argc) {
            error = std::string(name) + " needs a value";
            return false;
        }
        value = argv[++i];
    }
    return takeOption(name, value, options, error);
}

} // namespace

bool parseArguments(int argc, const char* const* argv, Options& options, std::string& error)
{
    options = Options{};
    bool lonLat = false, crs = false;
    int i = 0;
    // Options come before the map; after it only coordinates follow, which
    // may be negative.
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (!isOption(arg))
            break;
        if (!readOption(argc, argv, i, options, lonLat, crs, error))
            return false;
    }
    if (options.help)
        return true;
    if (lonLat && crs) {
        error = "give only one of --lonlat and --crs";
        return false;
    }
    options.kind = lonLat ? PointKind::LonLat : crs ? PointKind::Crs : PointKind::Samples;
    if (i >= argc) {
        error = "no map file given";
        return false;
    }
    options.map = argv[i++];
    return parsePoints(argc, argv, i, options, error);
}

} // namespace vaskur_route
