// Route export: the vector files through OGR (one LineString feature per
// route in GeoJSON, one track per route in GPX) and the profiles, all
// written into one FileBatch.
#include "tools/vaskur-geo/RouteExport.h"

#include "tools/vaskur-geo/FileBatch.h"
#include "tools/vaskur-geo/GdalMessages.h"
#include "tools/vaskur-geo/LonLatTransform.h"
#include "tools/vaskur-geo/RouteProfile.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

namespace vaskur_geo {

namespace {

const char* const lonLatNote = "WGS 84 longitude, latitude; heights in metres";
const char* const sampleNote = "map samples: x is the column, y the row from the top of the map; not in the world";

void addField(OGRLayer* layer, const char* name, OGRFieldType type)
{
    OGRFieldDefn field(name, type);
    layer->CreateField(&field);
}

void addGeoJsonFields(OGRLayer* layer, bool placed)
{
    addField(layer, "search", OFTString);
    addField(layer, "startX", OFTInteger);
    addField(layer, "startY", OFTInteger);
    addField(layer, "endX", OFTInteger);
    addField(layer, "endY", OFTInteger);
    addField(layer, "length", OFTReal);
    if (placed) {
        addField(layer, "groundMetres", OFTReal);
        addField(layer, "climbMetres", OFTReal);
        addField(layer, "descentMetres", OFTReal);
        addField(layer, "walkSeconds", OFTReal);
    }
    addField(layer, "patchSize", OFTInteger);
    addField(layer, "threshold", OFTInteger);
    addField(layer, "coordinates", OFTString);
}

// A new vector file with one layer for the routes. On failure `layer` stays
// null and `reason` says why (the file, if made, is returned still open).
GDALDatasetUniquePtr createRouteLayer(const char* driverName, const std::string& file, bool placed,
    OGRLayer*& layer, std::string& reason)
{
    const bool gpx = std::string(driverName) == "GPX";
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    if (!driver) {
        reason = std::string("GDAL has no ") + driverName + " driver";
        return nullptr;
    }
    // The drivers make their files themselves.
    std::remove(file.c_str());
    clearGdalMessage();
    GDALDatasetUniquePtr ds(driver->Create(file.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!ds) {
        reason = "cannot create the file";
        return nullptr;
    }
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const OGRwkbGeometryType type = gpx ? wkbMultiLineString25D : (placed ? wkbLineString25D : wkbLineString);
    layer = ds->CreateLayer(gpx ? "tracks" : "routes", placed ? &wgs84 : nullptr, type, nullptr);
    if (!layer) {
        reason = "cannot create the layer";
        return ds;
    }
    if (!gpx)
        addGeoJsonFields(layer, placed);
    return ds;
}

// The walked line: in longitude, latitude and metres with a sidecar, in
// sample coordinates without. False when a point cannot be placed.
bool routeLine(const RouteTrace& trace, const std::optional<Sidecar>& sidecar, const LonLatTransform& lonLat,
    OGRLineString& line)
{
    for (const TracePoint& p : trace.points) {
        if (!sidecar) {
            line.addPoint(p.at.x, p.at.y);
            continue;
        }
        double crsX = 0.0, crsY = 0.0, lon = 0.0, lat = 0.0;
        sidecar->toCrs(p.at.x, p.at.y, crsX, crsY);
        if (!lonLat.toLonLat(crsX, crsY, lon, lat))
            return false;
        line.addPoint(lon, lat, p.heightMetres);
    }
    return true;
}

// A GPX track: a name, a description with the figures, the line.
void fillGpxTrack(OGRFeature& feature, const ExportedRoute& route, const RouteSettings& settings,
    OGRLineString& line)
{
    const RouteFigures& f = route.trace.figures;
    char text[320];
    std::snprintf(text, sizeof text, "%d %d to %d %d", route.from.x, route.from.y, route.to.x, route.to.y);
    feature.SetField("name", (std::string("route ") + text).c_str());
    std::snprintf(text, sizeof text,
        "%s search, length %.9g, ground %.1f m, climb %.1f m, descent %.1f m, walk %.0f s, patch %d, "
        "threshold %d",
        settings.quick ? "quick" : "full", route.length, f.groundMetres, f.climbMetres, f.descentMetres,
        f.walkSeconds, settings.patchSize, settings.threshold);
    feature.SetField("desc", text);
    OGRMultiLineString track;
    track.addGeometry(&line);
    feature.SetGeometry(&track);
}

// A GeoJSON feature: the fields of addGeoJsonFields and the line.
void fillGeoJsonFeature(OGRFeature& feature, const ExportedRoute& route, const RouteSettings& settings, bool placed,
    OGRLineString& line)
{
    const RouteFigures& f = route.trace.figures;
    feature.SetField("search", settings.quick ? "quick" : "full");
    feature.SetField("startX", route.from.x);
    feature.SetField("startY", route.from.y);
    feature.SetField("endX", route.to.x);
    feature.SetField("endY", route.to.y);
    feature.SetField("length", route.length);
    if (placed) {
        feature.SetField("groundMetres", f.groundMetres);
        feature.SetField("climbMetres", f.climbMetres);
        feature.SetField("descentMetres", f.descentMetres);
        feature.SetField("walkSeconds", f.walkSeconds);
    }
    feature.SetField("patchSize", settings.patchSize);
    feature.SetField("threshold", settings.threshold);
    feature.SetField("coordinates", placed ? lonLatNote : sampleNote);
    feature.SetGeometry(&line);
}

} // namespace

RouteExport::RouteExport(const RouteSettings& settings, std::optional<Sidecar> sidecar)
    : settings_(settings), sidecar_(std::move(sidecar))
{
}

bool RouteExport::check(const RouteOutputs& outputs, std::string& error) const
{
    if (sidecar_)
        return true;
    const std::string& needing = !outputs.gpx.empty() ? outputs.gpx
        : !outputs.profileCsv.empty()                 ? outputs.profileCsv
                                                      : outputs.profileSvg;
    if (needing.empty())
        return true;
    error = "cannot write " + needing + ": it needs heights in metres and places in the world, and the map has no "
        "sidecar (NAME.raw.json from vaskur-import)";
    return false;
}

bool RouteExport::write(const RouteOutputs& outputs, const std::vector<ExportedRoute>& routes,
    std::string& error) const
{
    if (!check(outputs, error))
        return false;
    std::vector<RouteTrace> traces;
    for (const ExportedRoute& r : routes)
        traces.push_back(r.trace);
    using Writer = std::function<bool(const std::string& file, const std::string& shown)>;
    const std::pair<const std::string&, Writer> files[] = {
        {outputs.geojson, [&](auto& file, auto& shown) { return writeVector("GeoJSON", file, shown, routes, error); }},
        {outputs.gpx, [&](auto& file, auto& shown) { return writeVector("GPX", file, shown, routes, error); }},
        {outputs.profileCsv, [&](auto& file, auto& shown) { return writeProfileCsv(file, shown, traces, error); }},
        {outputs.profileSvg, [&](auto& file, auto& shown) { return writeProfileSvg(file, shown, traces, error); }},
    };
    FileBatch batch;
    for (const auto& [target, writer] : files) {
        std::string temporary;
        if (!target.empty() && !(batch.add(target, temporary, error) && writer(temporary, target)))
            return false;
    }
    return batch.commit(error);
}

bool RouteExport::writeVector(const char* driverName, const std::string& file, const std::string& shown,
    const std::vector<ExportedRoute>& routes, std::string& error) const
{
    LonLatTransform lonLat;
    if (sidecar_ && !lonLat.setup(sidecar_->crsWkt, error)) {
        error = "cannot write " + shown + ": " + error;
        return false;
    }
    auto fail = [&](const std::string& reason) {
        error = "cannot write " + shown + ": " + reason + gdalMessage(file, shown);
        return false;
    };
    const bool gpx = std::string(driverName) == "GPX";
    std::string reason;
    OGRLayer* layer = nullptr;
    GDALDatasetUniquePtr ds = createRouteLayer(driverName, file, sidecar_.has_value(), layer, reason);
    if (!ds || !layer)
        return fail(reason);
    for (const ExportedRoute& route : routes) {
        OGRLineString line;
        if (!routeLine(route.trace, sidecar_, lonLat, line))
            return fail("a route point cannot be turned into longitude and latitude");
        OGRFeature feature(layer->GetLayerDefn());
        if (gpx)
            fillGpxTrack(feature, route, settings_, line);
        else
            fillGeoJsonFeature(feature, route, settings_, sidecar_.has_value(), line);
        if (layer->CreateFeature(&feature) != OGRERR_NONE)
            return fail("cannot add a route");
    }
    ds.reset();
    if (CPLGetLastErrorType() >= CE_Failure)
        return fail("the driver failed");
    return true;
}

} // namespace vaskur_geo
