// vaskur-mapgen: writes a deterministic, natural-looking raw height map.
//
//   vaskur-mapgen [--side 257|513] [--bits 8|16] [--seed S] [--steep PERCENT]
//                 [--relief H] [--base B] [--rough R] [--smooth P] [--stats] OUT.raw
#include "terrain/HeightMap.h"
#include "tools/vaskur-mapgen/MapGen.h"
#include "vaskur/Version.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

const char* const usage =
    "usage: vaskur-mapgen [--side 257|513] [--bits 8|16] [--seed S] [--steep PERCENT] "
    "[--relief H] [--base B] [--rough R] [--smooth P] [--stats] OUT.raw\n";

const char* const help =
    "\n"
    "Writes a deterministic, natural-looking raw height map: the same options give the same file.\n"
    "\n"
    "  --side 257|513     samples a side (default 513)\n"
    "  --bits 8|16        sample width (default 16)\n"
    "  --seed S           seed of the generator, a whole number (default 1)\n"
    "  --steep PERCENT    share of neighbour steps allowed to reach one unit, 0 to 100 (default 2)\n"
    "  --relief H         highest height above the base (default: as much as the sample width holds)\n"
    "  --base B           lowest height, 0 to 65535 (default 0 for 8 bits, 1000 for 16 bits)\n"
    "  --rough R          amplitude kept per halving of the cell size, between 0 and 1 (default 0.45)\n"
    "  --smooth P         3 x 3 smoothing passes after the fractal, 0 to 100 (default 4)\n"
    "  --stats            print the height range, the share of gentle steps and what is reachable\n"
    "  --help             print this help\n"
    "  --version          print the version\n"
    "\n"
    "Examples:\n"
    "  vaskur-mapgen --side 257 --bits 8 --seed 7 hills.raw\n"
    "  vaskur-mapgen --rough 0.6 --smooth 1 --steep 18 --stats rough.raw\n";

template <typename T>
bool parseNumber(std::string_view text, T& out)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool parseDouble(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0';
}

// One option at argv[i] with its value (moving i past it), or the output
// file; false when it is unknown, lacks its value or the value is out of
// range.
bool readArgument(int argc, char** argv, int& i, mapgen::Options& o, bool& stats, const char*& out)
{
    const std::string_view arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (arg == "--stats") {
        stats = true;
        return true;
    }
    if (arg == "--side") {
        const char* v = value();
        return v && parseNumber(v, o.side) && (o.side == 257 || o.side == 513);
    }
    if (arg == "--bits") {
        const char* v = value();
        return v && parseNumber(v, o.bits) && (o.bits == 8 || o.bits == 16);
    }
    if (arg == "--seed") {
        const char* v = value();
        return v && parseNumber(v, o.seed);
    }
    if (arg == "--steep") {
        const char* v = value();
        return v && parseDouble(v, o.steepPercent) && o.steepPercent >= 0 && o.steepPercent <= 100;
    }
    if (arg == "--relief") {
        const char* v = value();
        return v && parseNumber(v, o.maxRelief) && o.maxRelief >= 0;
    }
    if (arg == "--base") {
        const char* v = value();
        return v && parseNumber(v, o.base) && o.base >= 0 && o.base <= 65535;
    }
    if (arg == "--rough") {
        const char* v = value();
        return v && parseDouble(v, o.roughness) && o.roughness > 0 && o.roughness < 1;
    }
    if (arg == "--smooth") {
        const char* v = value();
        return v && parseNumber(v, o.smoothPasses) && o.smoothPasses >= 0 && o.smoothPasses <= 100;
    }
    if (!arg.empty() && arg[0] != '-' && !out) {
        out = argv[i];
        return true;
    }
    return false;
}

// The options and the output file; false on any fault (usage error).
bool parseArguments(int argc, char** argv, mapgen::Options& o, bool& stats, const char*& out)
{
    for (int i = 1; i < argc; ++i)
        if (!readArgument(argc, argv, i, o, stats, out))
            return false;
    return out != nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vaskur-mapgen %s\n", vaskurVersion);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        std::fputs(help, stdout);
        return 0;
    }
    mapgen::Options o;
    bool stats = false;
    const char* out = nullptr;
    if (!parseArguments(argc, argv, o, stats, out)) {
        std::fputs(usage, stderr);
        return 2;
    }
    const auto heights = mapgen::generate(o);
    if (heights.empty() || !writeRaw(out, heights, o.side, o.bits)) {
        std::fprintf(stderr, "vaskur-mapgen: cannot write %s\n", out);
        return 1;
    }
    if (stats) {
        const auto s = mapgen::measure(heights, o.side);
        std::printf("%s: %dx%d %d-bit heights %d..%d gentle steps %.2f%% reachable from (0,0) %.2f%%\n", out,
            o.side, o.side, o.bits, s.minHeight, s.maxHeight, 100.0 * s.gentleShare, 100.0 * s.reachableShare);
    }
    return 0;
}
