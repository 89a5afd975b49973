// Imports a single-band raster that GDAL can read as a raw height map with
// its sidecar: picks the area, warps it onto a square grid of fixed spacing
// in metres and encodes the heights.
#pragma once

#include "tools/vaskur-geo/Sidecar.h"
#include "tools/vaskur-import/HeightEncoder.h"
#include "tools/vaskur-import/ImportOptions.h"

#include <functional>
#include <string>

namespace vaskur_import {

struct ImportReport {
    vaskur_geo::Sidecar sidecar;
    int range = 0;              // highest sample in units
    bool localProjection = false; // warped to a local transverse Mercator
};

// Called after each stage with its name and the seconds it took.
using StageTimer = std::function<void(const char* stage, double seconds)>;

// Checks what the parser cannot: that --srs names a coordinate system. False
// with a one-line reason (a usage error).
bool checkImportOptions(const ImportOptions& options, std::string& error);

// Writes options.output, its sidecar and its real heights. On failure
// returns false with a one-line reason and leaves no output file (earlier
// ones are kept as they were).
bool importHeightMap(const ImportOptions& options, ImportReport& report, std::string& error,
    const StageTimer& timer = {});

} // namespace vaskur_import
