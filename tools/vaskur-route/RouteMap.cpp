// Loading the map, its sidecar and its real heights for vaskur-route.
#include "tools/vaskur-route/RouteMap.h"

#include "terrain/HeightMap.h"
#include "tools/vaskur-geo/MapPlacement.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <utility>

namespace vaskur_route {

std::string mapFileFault(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? "no such file" : std::strerror(errno);
    if (S_ISDIR(info.st_mode))
        return "it is a directory";
    const long long size = info.st_size;
    if (size != 66049 && size != 132098 && size != 263169 && size != 526338)
        return std::to_string(size) + " bytes is not a 257- or 513-sample map of 1 or 2 bytes";
    return "it cannot be opened";
}

bool RouteMap::load(const Options& options, std::string& error)
{
    if (!model_.load(options.map)) {
        error = "cannot read " + options.map + ": " + mapFileFault(options.map);
        return false;
    }
    const HeightMap& map = model_.heightMap();
    vaskur_geo::RawLookup raw = [&map](std::int32_t x, std::int32_t y) { return map.heightAt(x, y); };
    if (!loadSidecar(options, raw, error))
        return false;
    // Without a sidecar one spacing and one height unit count as a metre, as
    // the program shows lengths.
    if (!ground_)
        ground_.emplace(model_.mapColumns(), 1.0, 1.0, 0.0, raw);
    return true;
}

bool RouteMap::loadSidecar(const Options& options, const vaskur_geo::RawLookup& raw, std::string& error)
{
    const std::string file = vaskur_geo::sidecarPath(options.map);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        const char* needing = options.kind == PointKind::LonLat ? "--lonlat"
            : options.kind == PointKind::Crs                    ? "--crs"
            : !options.pointsFile.empty()                       ? "--points"
                                                                : nullptr;
        if (needing)
            error = std::string(needing) + " needs the map's place in the world, and " + options.map
                + " has no sidecar " + file + " (vaskur-import writes one)";
        return !needing;
    }
    vaskur_geo::MapPlacement placement;
    if (!vaskur_geo::readMapPlacement(file, model_.mapColumns(), model_.bitsPerSample(), raw, placement, error))
        return false;
    sidecar_ = std::move(placement.sidecar);
    ground_ = std::move(placement.ground);
    return true;
}

bool RouteMap::inside(MapPoint p) const
{
    return p.x >= 0 && p.y >= 0 && p.x < model_.mapColumns() && p.y < model_.mapRows();
}

bool RouteMap::isWall(MapPoint p) const
{
    return sidecar_ && sidecar_->wallSamples > 0 && model_.heightMap().heightAt(p.x, p.y) == sidecar_->wallValue;
}

} // namespace vaskur_route
