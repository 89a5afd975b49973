// vaskur-mapgen: writes a deterministic, natural-looking raw height map.
//
//   vaskur-mapgen [--side 257|513] [--bits 8|16] [--seed S] [--steep PERCENT]
//                 [--relief H] [--base B] [--rough R] [--smooth P] [--stats] OUT.raw
#include "tools/vaskur-mapgen/MapGen.h"

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

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vaskur-mapgen %s\n", VASKUR_VERSION);
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
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        bool ok = true;
        if (arg == "--stats") {
            stats = true;
        } else if (arg == "--side") {
            const char* v = value();
            ok = v && parseNumber(v, o.side) && (o.side == 257 || o.side == 513);
        } else if (arg == "--bits") {
            const char* v = value();
            ok = v && parseNumber(v, o.bits) && (o.bits == 8 || o.bits == 16);
        } else if (arg == "--seed") {
            const char* v = value();
            ok = v && parseNumber(v, o.seed);
        } else if (arg == "--steep") {
            const char* v = value();
            ok = v && parseDouble(v, o.steepPercent) && o.steepPercent >= 0 && o.steepPercent <= 100;
        } else if (arg == "--relief") {
            const char* v = value();
            ok = v && parseNumber(v, o.maxRelief) && o.maxRelief >= 0;
        } else if (arg == "--base") {
            const char* v = value();
            ok = v && parseNumber(v, o.base) && o.base >= 0 && o.base <= 65535;
        } else if (arg == "--rough") {
            const char* v = value();
            ok = v && parseDouble(v, o.roughness) && o.roughness > 0 && o.roughness < 1;
        } else if (arg == "--smooth") {
            const char* v = value();
            ok = v && parseNumber(v, o.smoothPasses) && o.smoothPasses >= 0 && o.smoothPasses <= 100;
        } else if (!arg.empty() && arg[0] != '-' && !out) {
            out = argv[i];
        } else {
            ok = false;
        }
        if (!ok) {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    if (!out) {
        std::fputs(usage, stderr);
        return 2;
    }
    const auto heights = mapgen::generate(o);
    if (heights.empty() || !mapgen::writeRaw(out, heights, o.side, o.bits)) {
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
