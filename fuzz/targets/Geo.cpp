// The readers of the real-terrain tools: the sidecar beside a map, the
// files of route points and the command line of vaskur-import.
#include "fuzz/Harness.h"

#include "tools/vaskur-geo/PointFile.h"
#include "tools/vaskur-geo/Sidecar.h"
#include "tools/vaskur-import/ImportOptions.h"

#include <cmath>
#include <string>
#include <vector>

namespace fuzz {

namespace {

// Zero bytes separate the arguments.
std::vector<std::string> splitArguments(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words;
    if (size == 0)
        return words;
    words.emplace_back();
    for (std::size_t i = 0; i < size && words.size() <= 64; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    return words;
}

} // namespace

// The bytes are NAME.raw.json. A sidecar that is accepted places every
// sample somewhere finite and can be inverted.
int sidecar(const std::uint8_t* data, std::size_t size)
{
    const std::string file = writeScratch("map.raw.json", data, size);
    vaskur_geo::Sidecar s;
    std::string error;
    if (!s.read(file, error)) {
        require(!error.empty(), "a refused sidecar says why");
        return 0;
    }
    require(s.side == 257 || s.side == 513, "an accepted sidecar has a map size");
    require(s.spacingMetres > 0 && std::isfinite(s.heightMetres(65535)), "an accepted sidecar has finite units");
    double x = 0, y = 0, back = 0, down = 0;
    s.toCrs(s.side - 1, s.side - 1, x, y);
    require(std::isfinite(x) && std::isfinite(y) && s.fromCrs(x, y, back, down), "the transform can be inverted");
    require(s.heightsFile.find('/') == std::string::npos, "the heights file lies beside the sidecar");
    return 0;
}

// The first byte chooses the kind of file (CSV, GeoJSON, GPX); the rest is
// its content. Accepted points are finite and at least two.
int routePoints(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const char* const names[] = {"points.csv", "points.geojson", "points.gpx"};
    const std::string file = writeScratch(names[data[0] % 3], data + 1, size - 1);
    std::vector<vaskur_geo::CrsPoint> points;
    std::string error;
    if (!vaskur_geo::readPointFile(file, "EPSG:32635", vaskur_geo::PointAxes::Guess, points, error)) {
        require(!error.empty(), "a refused points file says why");
        return 0;
    }
    require(points.size() >= 2, "a route has two points at least");
    for (const auto& p : points)
        require(std::isfinite(p.x) && std::isfinite(p.y), "accepted points are finite");
    return 0;
}

// The bytes are the arguments of vaskur-import after the program name.
int importArguments(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> words = splitArguments(data, size);
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    vaskur_import::ImportOptions options;
    std::string error;
    const bool ok = vaskur_import::parseImportArguments(static_cast<int>(argv.size()), argv.data(), options, error);
    require(ok || !error.empty(), "a refused command line says why");
    require(!ok || options.help || options.version || (!options.source.empty() && !options.output.empty()),
        "an accepted command line names the source and the output");
    return 0;
}

} // namespace fuzz
