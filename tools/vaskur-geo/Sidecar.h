// The sidecar NAME.raw.json beside an imported raw height map: where the
// samples lie in the world, what their values mean in metres and which file
// holds the real heights.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vaskur_geo {

struct Sidecar {
    std::string source;            // the file the map was imported from
    std::string crsWkt;            // coordinate system of the projected coordinates
    // Sample (x, y) -- column x, row y counted from the top of the map view,
    // the sample's centre -- to projected coordinates:
    //   X = t[0] + x t[1] + y t[2],  Y = t[3] + x t[4] + y t[5].
    std::array<double, 6> sampleToCrs{};
    int side = 0;                  // samples per side
    int bits = 0;                  // 8 or 16
    double spacingMetres = 0.0;
    double heightUnitMetres = 0.0;
    double heightOffsetMetres = 0.0; // the height of sample value 0
    double maxSlopeDegrees = 0.0;
    int wallValue = 0;             // the value of samples that stand for no data
    std::int64_t noDataSamples = 0;
    std::int64_t wallSamples = 0;  // no-data samples and the few added to close diagonal gaps
    // The GeoTIFF of real heights in metres beside the map (a name in the
    // sidecar's folder); empty for maps imported before it was kept.
    std::string heightsFile;

    // Writes the sidecar as JSON; false with a reason on failure.
    bool write(const std::string& path, std::string& error) const;
    // Reads a sidecar; false with a one-line reason naming the file and the
    // field when it is missing, malformed or holds impossible values.
    bool read(const std::string& path, std::string& error);
    // False with a reason naming the field when the sidecar does not
    // describe a map of this side and sample width.
    bool matches(int mapSide, int mapBits, std::string& error) const;

    void toCrs(double x, double y, double& crsX, double& crsY) const;
    // The inverse of toCrs; false when the transform is singular.
    bool fromCrs(double crsX, double crsY, double& x, double& y) const;
    double heightMetres(std::uint16_t value) const { return heightOffsetMetres + value * heightUnitMetres; }
    // The path of the heights file for a sidecar read from `sidecarPath`;
    // empty when it names none.
    std::string heightsPath(const std::string& sidecarPath) const;
};

// The sidecar path of a raw map: NAME.raw -> NAME.raw.json.
std::string sidecarPath(const std::string& rawPath);
// The real heights beside a raw map: NAME.raw -> NAME.raw.heights.tif.
std::string heightsFilePath(const std::string& rawPath);

} // namespace vaskur_geo
