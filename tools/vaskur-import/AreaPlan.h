// Where an import lies: the coordinate system of the output (the source's own
// when it is projected in metres, else a transverse Mercator centred on the
// area) and the largest square of the requested area in it.
#pragma once

#include "tools/vaskur-import/ImportOptions.h"

#include <array>
#include <string>

class OGRSpatialReference;

namespace vaskur_import {

struct AreaPlan {
    std::string targetWkt;
    bool local = false;         // a transverse Mercator made for this area
    double minX = 0, minY = 0;  // south-west corner of the square
    double side = 0;            // in metres
    double pixelsAcross = 0;    // source pixels across the square, the fewer of the two directions
};

// `source` is the source's coordinate system (longitude/latitude in GIS
// order), `geoTransform` its pixel-to-coordinate transform, `columns` and
// `rows` its size. False with a reason when the area lies (partly) outside
// the raster or cannot be placed.
bool planArea(const ImportOptions& options, const OGRSpatialReference& source,
    const std::array<double, 6>& geoTransform, int columns, int rows, AreaPlan& plan, std::string& error);

} // namespace vaskur_import
