// Height maps and the command line of vaskur-route.
#include "fuzz/Harness.h"

#include "terrain/HeightMap.h"
#include "tools/vaskur-route/Options.h"

#include <string>
#include <vector>

namespace fuzz {

namespace {

// Walks the map's diagonals and edges as the graph builder would, so that
// a map whose size disagrees with its samples shows up.
void walk(const HeightMap& map)
{
    const int c = map.columns() - 1, r = map.rows() - 1;
    (void)map.segmentCost(0, 0, c, r);
    (void)map.segmentCost(c, 0, 0, r);
    (void)map.segmentCost(0, r, c, r);
}

} // namespace

// The bytes are a raw height map file. The load command picks the format by
// the file size, so almost every input is refused there; the two raw readers
// are then given the same file with a small side taken from its first two
// bytes, as the loader would with a size it knows.
int heightMap(const std::uint8_t* data, std::size_t size)
{
    const std::string file = writeScratch("map.raw", data, size);
    HeightMap map;
    if (map.load(file))
        walk(map);
    if (size < 2)
        return 0;
    const int columns = 1 + data[0] % 64, rows = 1 + data[1] % 64;
    for (const bool wide : {false, true}) {
        HeightMap part;
        const bool loaded = wide ? part.loadRaw16(file, columns, rows) : part.loadRaw8(file, columns, rows);
        const std::size_t needed = static_cast<std::size_t>(columns) * rows * (wide ? 2 : 1);
        require(loaded == (size >= needed), "a raw map loads exactly when the file holds its samples");
        if (loaded)
            walk(part);
    }
    return 0;
}

// The bytes are the arguments after the program name, separated by zero
// bytes.
int routeArguments(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size && words.size() <= 64; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    if (size == 0)
        words.clear();
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    vaskur_route::Options options;
    std::string error;
    const bool ok = vaskur_route::parseArguments(static_cast<int>(argv.size()), argv.data(), options, error);
    require(ok || !error.empty(), "a refused command line says why");
    return 0;
}

} // namespace fuzz
