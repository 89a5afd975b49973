#include "tools/vaskur-route/Options.h"

#include <charconv>
#include <string_view>

namespace vaskur_route {

const char* const usageText =
    "usage: vaskur-route [--patch 16|32|64|128|256] [--threshold T] [--quick] [--path] [--time] "
    "[--geojson FILE] [--gpx FILE] [--jobs N] MAP.raw [X1 Y1 X2 Y2]...";

namespace {

// A whole decimal int32, one optional sign, nothing else.
bool parseInt(std::string_view text, std::int32_t& out)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        // from_chars takes a minus itself: "+-7" must not pass as -7.
        if (!text.empty() && text.front() == '-')
            return false;
    }
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

bool isOption(std::string_view arg)
{
    return arg.size() >= 2 && arg[0] == '-' && arg[1] == '-';
}

} // namespace

bool parseArguments(int argc, const char* const* argv, Options& options, std::string& error)
{
    options = Options{};
    int i = 0;
    // Options come before the map; after it only coordinates follow, which
    // may be negative.
    for (; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (!isOption(arg))
            break;
        std::string_view name = arg, value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= argc)
                return false;
            value = argv[++i];
            return true;
        };
        if (name == "--quick" || name == "--path" || name == "--time" || name == "--help") {
            if (hasValue) {
                error = "option " + std::string(name) + " takes no value";
                return false;
            }
            if (name == "--quick") options.quick = true;
            else if (name == "--path") options.path = true;
            else if (name == "--time") options.time = true;
            else options.help = true;
        } else if (name == "--patch") {
            std::int32_t n = 0;
            if (!takeValue() || !parseInt(value, n) || (n != 16 && n != 32 && n != 64 && n != 128 && n != 256)) {
                error = "--patch must be one of 16, 32, 64, 128, 256";
                return false;
            }
            options.patchSize = n;
        } else if (name == "--threshold") {
            std::int32_t t = 0;
            if (!takeValue() || !parseInt(value, t)) {
                error = "--threshold must be an integer";
                return false;
            }
            options.threshold = t < 0 ? 5 : t;
        } else if (name == "--jobs") {
            std::int32_t n = 0;
            if (!takeValue() || !parseInt(value, n) || n < 1) {
                error = "--jobs must be a positive integer";
                return false;
            }
            options.jobs = n;
        } else if (name == "--geojson" || name == "--gpx") {
            if (!takeValue() || value.empty()) {
                error = std::string(name) + " needs a file name";
                return false;
            }
            (name == "--gpx" ? options.gpx : options.geojson) = value;
        } else {
            error = "unknown option " + std::string(name);
            return false;
        }
    }
    if (options.help)
        return true;
    if (i >= argc) {
        error = "no map file given";
        return false;
    }
    options.map = argv[i++];
    const int rest = argc - i;
    if (rest % 4 != 0) {
        error = "route points come in groups of four: X1 Y1 X2 Y2";
        return false;
    }
    for (; i < argc; i += 4) {
        RouteQuery q{};
        if (!parseInt(argv[i], q.x1) || !parseInt(argv[i + 1], q.y1) || !parseInt(argv[i + 2], q.x2)
            || !parseInt(argv[i + 3], q.y2)) {
            error = "route points must be integers";
            return false;
        }
        options.queries.push_back(q);
    }
    return true;
}

} // namespace vaskur_route
