// Parsing the options of vaskur-import.
#include "tools/vaskur-import/ImportOptions.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace vaskur_import {

const char* const importUsage =
    "usage: vaskur-import [--size 257|513] [--window X Y W H | --bbox XMIN YMIN XMAX YMAX | "
    "--lonlat WEST SOUTH EAST NORTH] [--band N] [--max-slope DEG] [--bits 8|16] [--srs SRS] [-q] SOURCE OUT.raw";

const char* const importHelp =
    "Reads one band of a raster GDAL can open and writes OUT.raw (a side of 257 or 513 samples, north at the\n"
    "top), its sidecar OUT.raw.json and the real heights OUT.raw.heights.tif. The area is cut to its largest\n"
    "centred square. One height unit is the rise of --max-slope over one sample spacing, so steeper ground\n"
    "cannot be walked; no-data samples become walls.\n"
    "\n"
    "  --size 257|513                   samples a side (default 513)\n"
    "  --window X Y W H                 the area as a window of the source's pixels\n"
    "  --bbox XMIN YMIN XMAX YMAX       the area as a box in the source's coordinates\n"
    "  --lonlat WEST SOUTH EAST NORTH   the area as a box in WGS 84 longitude and latitude\n"
    "  --band N                         the band that holds the heights (needed when there are several)\n"
    "  --max-slope DEG                  the steepest walkable slope in degrees (default 30)\n"
    "  --bits 8|16                      the sample width (default: the narrowest that holds the heights)\n"
    "  --srs SRS                        the source's coordinate system, when it names none or a wrong one\n"
    "  -q, --quiet                      no progress bar (shown on a terminal)\n"
    "  --config KEY VALUE               set a GDAL configuration option\n"
    "  --debug on                       print GDAL's debug messages\n"
    "  --help                           print this help\n"
    "  --version                        print the version\n"
    "\n"
    "Examples:\n"
    "  vaskur-import --size 513 N46E007.hgt maps/alps.raw\n"
    "  vaskur-import --size 257 --lonlat 7.60 46.00 7.75 46.10 --max-slope 35 N46E007.hgt maps/zermatt.raw\n";

namespace {

// A decimal number, at most one leading sign, nothing else.
bool parseNumber(std::string_view text, double& out)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        // from_chars takes a minus itself: "+-7" must not pass as -7.
        if (!text.empty() && text.front() == '-')
            return false;
    }
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && std::isfinite(out);
}

bool parseInteger(std::string_view text, int& out)
{
    double value = 0;
    if (!parseNumber(text, value) || value != std::floor(value) || std::fabs(value) > 1e9)
        return false;
    out = static_cast<int>(value);
    return true;
}

// The arguments with a cursor: the option at `i` takes the values after it.
struct ArgumentCursor {
    int argc;
    const char* const* argv;
    int i = 0;

    // `n` numbers after the option, into `out`.
    bool values(int n, double* out)
    {
        if (i + n >= argc)
            return false;
        for (int k = 0; k < n; ++k)
            if (!parseNumber(argv[i + 1 + k], out[k]))
                return false;
        i += n;
        return true;
    }
    bool integer(int& out) { return i + 1 < argc && parseInteger(argv[++i], out); }
};

// The four numbers of --window, --bbox or --lonlat, checked for their kind.
bool checkArea(std::string_view arg, AreaKind kind, const double v[4], std::string& error)
{
    if (kind == AreaKind::Window) {
        for (int k = 0; k < 4; ++k)
            if (v[k] != std::floor(v[k])) {
                error = "--window takes whole pixels";
                return false;
            }
        if (v[2] <= 0 || v[3] <= 0) {
            error = "--window needs a positive width and height";
            return false;
        }
    } else if (!(v[2] > v[0] && v[3] > v[1])) {
        error = std::string(arg) + " needs its minimum before its maximum on both axes";
        return false;
    } else if (kind == AreaKind::LonLat && !(v[0] >= -180 && v[2] <= 180 && v[1] >= -90 && v[3] <= 90)) {
        error = "--lonlat takes longitudes from -180 to 180 and latitudes from -90 to 90";
        return false;
    }
    return true;
}

bool parseArea(std::string_view arg, ArgumentCursor& args, ImportOptions& options, bool& areaGiven,
    std::string& error)
{
    double v[4];
    if (areaGiven) {
        error = "give only one of --window, --bbox and --lonlat";
        return false;
    }
    if (!args.values(4, v)) {
        error = std::string(arg) + " takes four numbers";
        return false;
    }
    areaGiven = true;
    options.area = arg == "--window" ? AreaKind::Window : arg == "--bbox" ? AreaKind::Box : AreaKind::LonLat;
    options.area0 = v[0];
    options.area1 = v[1];
    options.area2 = v[2];
    options.area3 = v[3];
    return checkArea(arg, options.area, v, error);
}

// The option at the cursor, with its values.
bool parseOption(std::string_view arg, ArgumentCursor& args, ImportOptions& options, bool& areaGiven,
    std::string& error)
{
    if (arg == "--help") {
        options.help = true;
    } else if (arg == "-q" || arg == "--quiet") {
        options.quiet = true;
    } else if (arg == "--version") {
        options.version = true;
    } else if (arg == "--size") {
        if (!args.integer(options.side) || (options.side != 257 && options.side != 513)) {
            error = "--size must be 257 or 513";
            return false;
        }
    } else if (arg == "--window" || arg == "--bbox" || arg == "--lonlat") {
        return parseArea(arg, args, options, areaGiven, error);
    } else if (arg == "--band") {
        if (!args.integer(options.band) || options.band < 1) {
            error = "--band must be a band number from 1";
            return false;
        }
    } else if (arg == "--max-slope") {
        double v = 0;
        if (!args.values(1, &v) || !(v > 0 && v < 90)) {
            error = "--max-slope must be an angle in degrees between 0 and 90";
            return false;
        }
        options.maxSlopeDegrees = v;
    } else if (arg == "--bits") {
        if (!args.integer(options.bits) || (options.bits != 8 && options.bits != 16)) {
            error = "--bits must be 8 or 16";
            return false;
        }
    } else if (arg == "--srs") {
        if (args.i + 1 >= args.argc || !*args.argv[args.i + 1]) {
            error = "--srs needs a coordinate system";
            return false;
        }
        options.srs = args.argv[++args.i];
    } else {
        error = "unknown option " + std::string(arg);
        return false;
    }
    return true;
}

// The source and the output file, the only two names.
bool takeFileNames(const std::vector<std::string_view>& positional, ImportOptions& options, std::string& error)
{
    if (positional.size() != 2) {
        error = positional.size() < 2 ? "give a source file and an output file" : "too many file names";
        return false;
    }
    if (positional[0].empty() || positional[1].empty()) {
        error = "a file name is empty";
        return false;
    }
    options.source = positional[0];
    options.output = positional[1];
    return true;
}

} // namespace

bool parseImportArguments(int argc, const char* const* argv, ImportOptions& options, std::string& error)
{
    options = ImportOptions{};
    std::vector<std::string_view> positional;
    bool areaGiven = false;
    ArgumentCursor args{argc, argv};
    for (; args.i < argc; ++args.i) {
        const std::string_view arg = argv[args.i];
        if (arg == "--") {
            for (++args.i; args.i < argc; ++args.i)
                positional.push_back(argv[args.i]);
            break;
        }
        if ((arg.size() < 2 || arg.substr(0, 2) != "--") && arg != "-q")
            positional.push_back(arg);
        else if (!parseOption(arg, args, options, areaGiven, error))
            return false;
    }
    if (options.help || options.version)
        return true;
    return takeFileNames(positional, options, error);
}

} // namespace vaskur_import
