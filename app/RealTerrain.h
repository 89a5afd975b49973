// What the program knows of a map imported from real terrain: its sidecar,
// its heights in metres and how large the map view draws it. A map written by
// vaskur-import has a sidecar (NAME.raw.json) that places it in the world and
// gives its heights in metres, with the real heights in a file beside it.
// RealTerrain holds that for the loaded map, read as vaskur-route reads it; a
// map without a sidecar, or with one that cannot be used, leaves it empty and
// the program shows the map as it always has.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/vaskur-geo/GroundHeights.h"
#include "tools/vaskur-geo/Sidecar.h"

class HeightMap;

class RealTerrain {
public:
    // How a load went: no sidecar beside the map, a usable one, or one that
    // could not be read or does not describe this map.
    enum class Result { None, Loaded, Failed };

    // Forgets the previous map, then reads the sidecar of the map at
    // `mapPath` (already loaded into `map`, which must outlive the terrain)
    // and the heights in metres. Failed comes with a reason in `error`.
    Result load(const std::string& mapPath, const HeightMap& map, std::string& error);
    void clear();

    bool loaded() const { return sidecar_.has_value(); }
    const vaskur_geo::Sidecar& sidecar() const { return *sidecar_; }
    // Heights in metres anywhere on the map, as the route figures take them.
    const vaskur_geo::GroundHeights& ground() const { return *ground_; }
    const std::string& mapPath() const { return mapPath_; }

    int side() const { return side_; }
    // Picture pixels per sample spacing: a 257-sample map is drawn at twice
    // its size, so that it fills the view as a 513-sample one does.
    int scale() const { return scale_; }
    // Side of the picture of the map: sample i stands at pixel scale i.
    int pictureSide() const { return (side_ - 1) * scale_ + 1; }

    bool isWall(int x, int y) const { return walls_[index(x, y)] != 0; }
    double metresAt(int x, int y) const { return metres_[index(x, y)]; }
    // Lowest and highest sample that is no wall, in metres.
    double lowestMetres() const { return lowest_; }
    double highestMetres() const { return highest_; }
    // Distance between the outermost sample centres, in metres.
    double extentMetres() const;

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(side_) + static_cast<std::size_t>(x);
    }
    void readHeights(const HeightMap& map);

    std::optional<vaskur_geo::Sidecar> sidecar_;
    std::optional<vaskur_geo::GroundHeights> ground_;
    std::string mapPath_;
    int side_ = 0;
    int scale_ = 1;
    std::vector<float> metres_;
    std::vector<std::uint8_t> walls_;
    double lowest_ = 0.0;
    double highest_ = 0.0;
};
