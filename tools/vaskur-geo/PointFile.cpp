// Reading route points with OGR.
#include "tools/vaskur-geo/PointFile.h"

#include "tools/vaskur-geo/GdalMessages.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <memory>
#include <strings.h>

namespace vaskur_geo {

namespace {

// The CSV driver finds the coordinates in columns of these names.
const char* const openOptions[] = {"X_POSSIBLE_NAMES=lon,long,longitude,x,easting",
    "Y_POSSIBLE_NAMES=lat,latitude,y,northing", nullptr};

// Files of thousands of points are someone's track, not a list of stops.
constexpr int pointLimit = 10000;

struct TransformDeleter {
    void operator()(OGRCoordinateTransformation* t) const { OGRCoordinateTransformation::DestroyCT(t); }
};

bool isPointLayer(OGRLayer* layer)
{
    return wkbFlatten(layer->GetGeomType()) == wkbPoint && layer->GetFeatureCount(TRUE) > 0;
}

// A layer without a coordinate system of its own whose coordinate columns
// are called x/y or easting/northing holds the map's coordinates.
bool hasMapColumns(OGRLayer* layer)
{
    OGRFeatureDefn* defn = layer->GetLayerDefn();
    for (int i = 0; i < defn->GetFieldCount(); ++i) {
        const char* name = defn->GetFieldDefn(i)->GetNameRef();
        if (strcasecmp(name, "x") == 0 || strcasecmp(name, "easting") == 0)
            return true;
    }
    return false;
}

} // namespace

bool readPointFile(const std::string& path, const std::string& mapCrs, PointAxes axes,
    std::vector<CrsPoint>& points, std::string& error)
{
    points.clear();
    GDALAllRegister();
    clearGdalMessage();
    auto fail = [&](const std::string& reason) {
        error = "cannot read the points " + path + ": " + reason;
        return false;
    };
    const unsigned flags = GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR;
    GDALDatasetUniquePtr ds(GDALDataset::FromHandle(GDALOpenEx(path.c_str(), flags, nullptr, openOptions, nullptr)));
    if (!ds)
        return fail("not a file of points OGR can read" + gdalMessage());
    OGRLayer* layer = nullptr;
    for (OGRLayer* candidate : ds->GetLayers())
        if (isPointLayer(candidate)) {
            layer = candidate;
            break;
        }
    if (!layer)
        return fail("it has no layer of points");

    OGRSpatialReference map, own;
    if (map.SetFromUserInput(mapCrs.c_str()) != OGRERR_NONE)
        return fail("the map's coordinate system is unknown");
    map.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const OGRSpatialReference* layerCrs = layer->GetSpatialRef();
    const bool mapAxes = !layerCrs && (axes == PointAxes::Map || (axes == PointAxes::Guess && hasMapColumns(layer)));
    if (layerCrs)
        own = *layerCrs;
    else
        own.SetWellKnownGeogCS("WGS84");
    own.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation, TransformDeleter> toMap(
        mapAxes ? nullptr : OGRCreateCoordinateTransformation(&own, &map));
    if (!mapAxes && !toMap)
        return fail("its points cannot be carried into the map's coordinate system");

    int number = 0;
    for (auto& feature : *layer) {
        ++number;
        const OGRGeometry* g = feature->GetGeometryRef();
        if (!g || wkbFlatten(g->getGeometryType()) != wkbPoint || g->IsEmpty())
            return fail("feature " + std::to_string(number) + " is not a point");
        CrsPoint p{g->toPoint()->getX(), g->toPoint()->getY()};
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || (toMap && !toMap->Transform(1, &p.x, &p.y)))
            return fail("point " + std::to_string(number) + " has no place in the map's coordinate system");
        if (number > pointLimit)
            return fail("it holds more than " + std::to_string(pointLimit) + " points");
        points.push_back(p);
    }
    if (points.size() < 2)
        return fail("a route needs at least two points, and it holds " + std::to_string(points.size()));
    return true;
}

} // namespace vaskur_geo
