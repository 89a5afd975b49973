// Placing the requested area: its outline is traced in the source's pixels,
// checked against the raster, carried into the output coordinate system and
// shrunk to the largest axis-aligned square centred inside it.
#include "tools/vaskur-import/AreaPlan.h"

#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace vaskur_import {

namespace {

struct XY {
    double x, y;
};

struct TransformDeleter {
    void operator()(OGRCoordinateTransformation* t) const { OGRCoordinateTransformation::DestroyCT(t); }
};
using Transform = std::unique_ptr<OGRCoordinateTransformation, TransformDeleter>;

// Points per side of the traced outline.
constexpr int outlineSteps = 32;

bool transformPoints(const Transform& t, std::vector<XY>& points)
{
    if (!t)
        return true;
    for (XY& p : points)
        if (!t->Transform(1, &p.x, &p.y))
            return false;
    return true;
}

} // namespace

bool planArea(const ImportOptions& options, const OGRSpatialReference& source,
    const std::array<double, 6>& gt, int columns, int rows, AreaPlan& plan, std::string& error)
{
    plan = AreaPlan{};
    double inverse[6];
    if (!GDALInvGeoTransform(const_cast<double*>(gt.data()), inverse)) {
        error = "the source's georeferencing cannot be inverted";
        return false;
    }
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);

    // The outline in its own space: pixels, source coordinates or lon/lat.
    double x0 = 0, y0 = 0, x1 = columns, y1 = rows;
    if (options.area != AreaKind::Whole) {
        x0 = options.area0;
        y0 = options.area1;
        x1 = options.area == AreaKind::Window ? options.area0 + options.area2 : options.area2;
        y1 = options.area == AreaKind::Window ? options.area1 + options.area3 : options.area3;
    }
    if (options.area == AreaKind::Window && (x0 < 0 || y0 < 0 || x1 > columns || y1 > rows)) {
        error = "the window lies outside the raster of " + std::to_string(columns) + " x " + std::to_string(rows)
            + " pixels";
        return false;
    }
    // Sides in order: (x0..x1, y0), (x1, y0..y1), (x1..x0, y1), (x0, y1..y0).
    std::vector<XY> outline;
    for (int s = 0; s < 4; ++s)
        for (int k = 0; k <= outlineSteps; ++k) {
            const double f = static_cast<double>(k) / outlineSteps;
            switch (s) {
            case 0: outline.push_back({x0 + f * (x1 - x0), y0}); break;
            case 1: outline.push_back({x1, y0 + f * (y1 - y0)}); break;
            case 2: outline.push_back({x1 + f * (x0 - x1), y1}); break;
            default: outline.push_back({x0, y1 + f * (y0 - y1)}); break;
            }
        }
    auto pixelToSource = [&](std::vector<XY>& points) {
        for (XY& p : points)
            p = {gt[0] + p.x * gt[1] + p.y * gt[2], gt[3] + p.x * gt[4] + p.y * gt[5]};
    };
    auto sourceToPixel = [&](XY p) {
        return XY{inverse[0] + p.x * inverse[1] + p.y * inverse[2], inverse[3] + p.x * inverse[4] + p.y * inverse[5]};
    };

    if (options.area == AreaKind::Whole || options.area == AreaKind::Window)
        pixelToSource(outline);
    else if (options.area == AreaKind::LonLat) {
        Transform fromLonLat(OGRCreateCoordinateTransformation(&wgs84, &source));
        if (!fromLonLat || !transformPoints(fromLonLat, outline)) {
            error = "the longitude/latitude box cannot be placed in the source's coordinate system";
            return false;
        }
    }
    // A box must lie within the raster; a little slack absorbs rounding.
    const double slack = 1e-6 * std::max(columns, rows) + 1e-9;
    for (const XY& p : outline) {
        const XY q = sourceToPixel(p);
        if (!(q.x >= -slack && q.y >= -slack && q.x <= columns + slack && q.y <= rows + slack)) {
            error = "the area reaches outside the raster";
            return false;
        }
    }

    // The output coordinate system.
    OGRSpatialReference target;
    if (source.IsProjected() && std::fabs(source.GetLinearUnits() - 1.0) < 1e-12) {
        target = source;
    } else {
        // Centre of the area in the source's own longitude and latitude.
        std::unique_ptr<OGRSpatialReference> geographic(source.CloneGeogCS());
        if (!geographic) {
            error = "the source's coordinate system has no geographic base";
            return false;
        }
        geographic->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        double cx = 0, cy = 0;
        for (const XY& p : outline) {
            cx += p.x;
            cy += p.y;
        }
        std::vector<XY> centre{{cx / outline.size(), cy / outline.size()}};
        Transform toGeographic(source.IsGeographic() ? nullptr
                                                     : OGRCreateCoordinateTransformation(&source, geographic.get()));
        if (!source.IsGeographic() && (!toGeographic || !transformPoints(toGeographic, centre))) {
            error = "the area's centre cannot be turned into longitude and latitude";
            return false;
        }
        target.SetProjCS("Local transverse Mercator");
        target.CopyGeogCSFrom(geographic.get());
        target.SetTM(centre[0].y, centre[0].x, 1.0, 0.0, 0.0);
        target.SetLinearUnits(SRS_UL_METER, 1.0);
        plan.local = true;
    }
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    Transform toTarget(plan.local ? OGRCreateCoordinateTransformation(&source, &target) : nullptr);
    Transform toSource(plan.local ? OGRCreateCoordinateTransformation(&target, &source) : nullptr);
    if (plan.local && (!toTarget || !toSource)) {
        error = "no transform from the source's coordinate system to a local one in metres";
        return false;
    }
    std::vector<XY> placed = outline;
    if (!transformPoints(toTarget, placed)) {
        error = "the area cannot be carried into metres";
        return false;
    }

    // Each side of the outline faces west, east, south or north; the inner
    // rectangle keeps within all four.
    XY centre{0, 0};
    for (const XY& p : placed) {
        centre.x += p.x / placed.size();
        centre.y += p.y / placed.size();
    }
    double west = -std::numeric_limits<double>::infinity(), east = -west, south = west, north = east;
    int facing[4] = {0, 0, 0, 0};
    for (int s = 0; s < 4; ++s) {
        const auto first = placed.begin() + s * (outlineSteps + 1);
        const auto last = first + outlineSteps + 1;
        XY mean{0, 0};
        for (auto p = first; p != last; ++p) {
            mean.x += (p->x - centre.x) / (outlineSteps + 1);
            mean.y += (p->y - centre.y) / (outlineSteps + 1);
        }
        const bool horizontal = std::fabs(mean.x) > std::fabs(mean.y);
        for (auto p = first; p != last; ++p) {
            if (horizontal && mean.x < 0) west = std::max(west, p->x);
            if (horizontal && mean.x >= 0) east = std::min(east, p->x);
            if (!horizontal && mean.y < 0) south = std::max(south, p->y);
            if (!horizontal && mean.y >= 0) north = std::min(north, p->y);
        }
        ++facing[horizontal ? (mean.x < 0 ? 0 : 1) : (mean.y < 0 ? 2 : 3)];
    }
    if (facing[0] != 1 || facing[1] != 1 || facing[2] != 1 || facing[3] != 1 || !(east > west) || !(north > south)) {
        error = "the area is turned too far from north to be cut into a square";
        return false;
    }
    plan.side = std::min(east - west, north - south);
    plan.minX = (west + east - plan.side) / 2;
    plan.minY = (south + north - plan.side) / 2;

    // Source pixels across the square's two middle lines.
    const double midX = plan.minX + plan.side / 2, midY = plan.minY + plan.side / 2;
    std::vector<XY> ends{{plan.minX, midY}, {plan.minX + plan.side, midY}, {midX, plan.minY}, {midX, plan.minY + plan.side}};
    if (!transformPoints(toSource, ends)) {
        error = "the area cannot be carried back into the source";
        return false;
    }
    for (XY& p : ends)
        p = sourceToPixel(p);
    plan.pixelsAcross = std::min(std::hypot(ends[1].x - ends[0].x, ends[1].y - ends[0].y),
        std::hypot(ends[3].x - ends[2].x, ends[3].y - ends[2].y));

    char* wkt = nullptr;
    const char* wktOptions[] = {"FORMAT=WKT2_2019", nullptr};
    target.exportToWkt(&wkt, wktOptions);
    plan.targetWkt = wkt ? wkt : "";
    CPLFree(wkt);
    return true;
}

} // namespace vaskur_import
