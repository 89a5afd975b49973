// Reading and checking the sidecar of a loaded map and its heights in metres.
#include "app/RealTerrain.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>

#include "terrain/HeightMap.h"
#include "tools/vaskur-geo/GdalMessages.h"
#include "tools/vaskur-geo/MapPlacement.h"

RealTerrain::Result RealTerrain::load(const std::string& mapPath, const HeightMap& map, std::string& error)
{
    clear();
    const std::string path = vaskur_geo::sidecarPath(mapPath);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return Result::None;
    const vaskur_geo::GdalQuiet quiet;  // the reasons come back in `error`
    vaskur_geo::MapPlacement placement;
    vaskur_geo::RawLookup raw = [&map](std::int32_t x, std::int32_t y) { return map.heightAt(x, y); };
    if (!vaskur_geo::readMapPlacement(path, map.columns(), map.bitsPerSample(), raw, placement, error))
        return Result::Failed;
    sidecar_ = std::move(placement.sidecar);
    ground_ = std::move(placement.ground);
    mapPath_ = mapPath;
    side_ = map.columns();
    scale_ = side_ <= 257 ? 2 : 1;
    readHeights(map);
    return Result::Loaded;
}

void RealTerrain::clear()
{
    sidecar_.reset();
    ground_.reset();
    mapPath_.clear();
    side_ = 0;
    scale_ = 1;
    metres_.clear();
    walls_.clear();
    lowest_ = highest_ = 0.0;
}

double RealTerrain::extentMetres() const
{
    return loaded() ? (side_ - 1) * sidecar_->spacingMetres : 0.0;
}

void RealTerrain::readHeights(const HeightMap& map)
{
    const vaskur_geo::Sidecar& s = *sidecar_;
    const std::size_t count = static_cast<std::size_t>(side_) * static_cast<std::size_t>(side_);
    metres_.assign(count, 0.0f);
    walls_.assign(count, 0);
    lowest_ = std::numeric_limits<double>::infinity();
    highest_ = -std::numeric_limits<double>::infinity();
    for (int y = 0; y < side_; ++y) {
        for (int x = 0; x < side_; ++x) {
            const std::uint16_t value = map.heightAt(x, y);
            const std::size_t i = index(x, y);
            if (s.wallSamples > 0 && value == s.wallValue) {
                walls_[i] = 1;
                continue;
            }
            const double metres = ground_->at(x, y);
            metres_[i] = static_cast<float>(metres);
            lowest_ = std::min(lowest_, metres);
            highest_ = std::max(highest_, metres);
        }
    }
    if (lowest_ > highest_)
        lowest_ = highest_ = s.heightOffsetMetres;  // walls only
}
