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

// The source's pixel-to-coordinate transform both ways.
struct PixelGrid {
    std::array<double, 6> gt;
    double inverse[6];
    int columns, rows;

    XY toSource(XY p) const { return {gt[0] + p.x * gt[1] + p.y * gt[2], gt[3] + p.x * gt[4] + p.y * gt[5]}; }
    XY toPixel(XY p) const
    {
        return {inverse[0] + p.x * inverse[1] + p.y * inverse[2], inverse[3] + p.x * inverse[4] + p.y * inverse[5]};
    }
};

// The requested rectangle in its own space: pixels, source coordinates or
// lon/lat. False when a window lies outside the raster.
bool requestedBox(const ImportOptions& options, const PixelGrid& grid, double box[4], std::string& error)
{
    box[0] = 0, box[1] = 0, box[2] = grid.columns, box[3] = grid.rows;
    if (options.area != AreaKind::Whole) {
        box[0] = options.area0;
        box[1] = options.area1;
        box[2] = options.area == AreaKind::Window ? options.area0 + options.area2 : options.area2;
        box[3] = options.area == AreaKind::Window ? options.area1 + options.area3 : options.area3;
    }
    if (options.area == AreaKind::Window
        && (box[0] < 0 || box[1] < 0 || box[2] > grid.columns || box[3] > grid.rows)) {
        error = "the window lies outside the raster of " + std::to_string(grid.columns) + " x "
            + std::to_string(grid.rows) + " pixels";
        return false;
    }
    return true;
}

// The outline of the box, outlineSteps + 1 points a side; sides in order:
// (x0..x1, y0), (x1, y0..y1), (x1..x0, y1), (x0, y1..y0).
std::vector<XY> traceOutline(const double box[4])
{
    const double x0 = box[0], y0 = box[1], x1 = box[2], y1 = box[3];
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
    return outline;
}

// Carries the outline into the source's coordinates and checks that it lies
// within the raster; a little slack absorbs rounding.
bool outlineInSource(const ImportOptions& options, const OGRSpatialReference& source, const PixelGrid& grid,
    std::vector<XY>& outline, std::string& error)
{
    if (options.area == AreaKind::Whole || options.area == AreaKind::Window) {
        for (XY& p : outline)
            p = grid.toSource(p);
    } else if (options.area == AreaKind::LonLat) {
        OGRSpatialReference wgs84;
        wgs84.SetWellKnownGeogCS("WGS84");
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        Transform fromLonLat(OGRCreateCoordinateTransformation(&wgs84, &source));
        if (!fromLonLat || !transformPoints(fromLonLat, outline)) {
            error = "the longitude/latitude box cannot be placed in the source's coordinate system";
            return false;
        }
    }
    const double slack = 1e-6 * std::max(grid.columns, grid.rows) + 1e-9;
    for (const XY& p : outline) {
        const XY q = grid.toPixel(p);
        if (!(q.x >= -slack && q.y >= -slack && q.x <= grid.columns + slack && q.y <= grid.rows + slack)) {
            error = "the area reaches outside the raster";
            return false;
        }
    }
    return true;
}

// A transverse Mercator in metres centred on the outline (in the source's
// coordinates).
bool localMercator(const OGRSpatialReference& source, const std::vector<XY>& outline, OGRSpatialReference& target,
    std::string& error)
{
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
    return true;
}

// The output coordinate system: the source's own when it is projected in
// metres, else a local transverse Mercator (plan.local).
bool targetSystem(const OGRSpatialReference& source, const std::vector<XY>& outline, OGRSpatialReference& target,
    AreaPlan& plan, std::string& error)
{
    if (source.IsProjected() && std::fabs(source.GetLinearUnits() - 1.0) < 1e-12) {
        target = source;
    } else {
        if (!localMercator(source, outline, target, error))
            return false;
        plan.local = true;
    }
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return true;
}

// The largest axis-aligned square centred inside the placed outline. Each
// side of the outline faces west, east, south or north; the inner rectangle
// keeps within all four.
bool innerSquare(const std::vector<XY>& placed, AreaPlan& plan, std::string& error)
{
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
    return true;
}

// Source pixels across the square's two middle lines, the fewer of the two.
bool measurePixelsAcross(const Transform& toSource, const PixelGrid& grid, AreaPlan& plan, std::string& error)
{
    const double midX = plan.minX + plan.side / 2, midY = plan.minY + plan.side / 2;
    std::vector<XY> ends{{plan.minX, midY}, {plan.minX + plan.side, midY}, {midX, plan.minY}, {midX, plan.minY + plan.side}};
    if (!transformPoints(toSource, ends)) {
        error = "the area cannot be carried back into the source";
        return false;
    }
    for (XY& p : ends)
        p = grid.toPixel(p);
    plan.pixelsAcross = std::min(std::hypot(ends[1].x - ends[0].x, ends[1].y - ends[0].y),
        std::hypot(ends[3].x - ends[2].x, ends[3].y - ends[2].y));
    return true;
}

std::string wktOf(const OGRSpatialReference& target)
{
    char* wkt = nullptr;
    const char* wktOptions[] = {"FORMAT=WKT2_2019", nullptr};
    target.exportToWkt(&wkt, wktOptions);
    std::string text = wkt ? wkt : "";
    CPLFree(wkt);
    return text;
}

} // namespace

bool planArea(const ImportOptions& options, const OGRSpatialReference& source,
    const std::array<double, 6>& gt, int columns, int rows, AreaPlan& plan, std::string& error)
{
    plan = AreaPlan{};
    PixelGrid grid{gt, {}, columns, rows};
    if (!GDALInvGeoTransform(const_cast<double*>(gt.data()), grid.inverse)) {
        error = "the source's georeferencing cannot be inverted";
        return false;
    }
    double box[4];
    if (!requestedBox(options, grid, box, error))
        return false;
    std::vector<XY> outline = traceOutline(box);
    OGRSpatialReference target;
    if (!outlineInSource(options, source, grid, outline, error) || !targetSystem(source, outline, target, plan, error))
        return false;

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
    if (!innerSquare(placed, plan, error) || !measurePixelsAcross(toSource, grid, plan, error))
        return false;
    plan.targetWkt = wktOf(target);
    return true;
}

} // namespace vaskur_import
