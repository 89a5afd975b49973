// Route export through OGR: one LineString feature per route in GeoJSON, one
// track per route in GPX. The file is written under a temporary name and
// renamed when complete.
#include "tools/vaskur-geo/RouteExport.h"

#include "tools/vaskur-geo/LonLatTransform.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace vaskur_geo {

namespace {

const char* const lonLatNote = "WGS 84 longitude, latitude; heights in metres";
const char* const sampleNote = "map samples: x is the column, y the row from the top of the map; not in the world";

std::string lastGdalError()
{
    const char* message = CPLGetLastErrorMsg();
    return message && *message ? std::string(": ") + message : std::string();
}

void addField(OGRLayer* layer, const char* name, OGRFieldType type)
{
    OGRFieldDefn field(name, type);
    layer->CreateField(&field);
}

} // namespace

RouteExport::RouteExport(const RouteSettings& settings, HeightLookup height, std::optional<Sidecar> sidecar)
    : settings_(settings), height_(std::move(height)), sidecar_(std::move(sidecar))
{
}

bool RouteExport::writeGeoJson(const std::string& path, const std::vector<ExportedRoute>& routes,
    std::string& error) const
{
    return write("GeoJSON", path, routes, error);
}

bool RouteExport::writeGpx(const std::string& path, const std::vector<ExportedRoute>& routes, std::string& error) const
{
    if (!sidecar_) {
        error = "GPX needs longitude and latitude, and the map has no sidecar (NAME.raw.json from vaskur-import) "
                "to place it in the world";
        return false;
    }
    return write("GPX", path, routes, error);
}

bool RouteExport::write(const char* driverName, const std::string& path, const std::vector<ExportedRoute>& routes,
    std::string& error) const
{
    const bool gpx = std::string(driverName) == "GPX";
    LonLatTransform lonLat;
    if (sidecar_ && !lonLat.setup(sidecar_->crsWkt, error))
        return false;

    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    if (!driver) {
        error = std::string("GDAL has no ") + driverName + " driver";
        return false;
    }
    const std::string temp = path + ".part" + std::to_string(static_cast<long>(getpid()));
    auto fail = [&](const std::string& reason) {
        error = "cannot write " + path + ": " + reason + lastGdalError();
        VSIUnlink(temp.c_str());
        return false;
    };

    CPLErrorReset();
    GDALDatasetUniquePtr ds(driver->Create(temp.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!ds)
        return fail("cannot create the file");
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const OGRwkbGeometryType type = gpx ? wkbMultiLineString25D : (sidecar_ ? wkbLineString25D : wkbLineString);
    OGRLayer* layer = ds->CreateLayer(gpx ? "tracks" : "routes", sidecar_ ? &wgs84 : nullptr, type, nullptr);
    if (!layer)
        return fail("cannot create the layer");
    if (!gpx) {
        addField(layer, "search", OFTString);
        addField(layer, "startX", OFTInteger);
        addField(layer, "startY", OFTInteger);
        addField(layer, "endX", OFTInteger);
        addField(layer, "endY", OFTInteger);
        addField(layer, "length", OFTReal);
        if (sidecar_) {
            addField(layer, "groundMetres", OFTReal);
            addField(layer, "climbMetres", OFTReal);
            addField(layer, "descentMetres", OFTReal);
            addField(layer, "walkSeconds", OFTReal);
        }
        addField(layer, "patchSize", OFTInteger);
        addField(layer, "threshold", OFTInteger);
        addField(layer, "coordinates", OFTString);
    }

    const char* search = settings_.quick ? "quick" : "full";
    for (const ExportedRoute& route : routes) {
        OGRLineString line;
        for (const SamplePoint& p : route.path) {
            if (!sidecar_) {
                line.addPoint(p.x, p.y);
                continue;
            }
            double crsX = 0.0, crsY = 0.0, lon = 0.0, lat = 0.0;
            sidecar_->toCrs(p.x, p.y, crsX, crsY);
            if (!lonLat.toLonLat(crsX, crsY, lon, lat))
                return fail("a route point cannot be turned into longitude and latitude");
            line.addPoint(lon, lat, sidecar_->heightMetres(height_(p.x, p.y)));
        }
        OGRFeature feature(layer->GetLayerDefn());
        GroundProfile profile;
        if (sidecar_)
            profile = groundProfile(route.path, height_, sidecar_->spacingMetres, sidecar_->heightUnitMetres);
        char text[256];
        std::snprintf(text, sizeof text, "%d %d to %d %d", route.from.x, route.from.y, route.to.x, route.to.y);
        if (gpx) {
            feature.SetField("name", (std::string("route ") + text).c_str());
            std::snprintf(text, sizeof text,
                "%s search, length %.9g, ground %.1f m, climb %.1f m, descent %.1f m, walk %.0f s, patch %d, "
                "threshold %d",
                search, route.length, profile.groundMetres, profile.climbMetres, profile.descentMetres,
                profile.walkSeconds, settings_.patchSize, settings_.threshold);
            feature.SetField("desc", text);
            OGRMultiLineString track;
            track.addGeometry(&line);
            feature.SetGeometry(&track);
        } else {
            feature.SetField("search", search);
            feature.SetField("startX", route.from.x);
            feature.SetField("startY", route.from.y);
            feature.SetField("endX", route.to.x);
            feature.SetField("endY", route.to.y);
            feature.SetField("length", route.length);
            if (sidecar_) {
                feature.SetField("groundMetres", profile.groundMetres);
                feature.SetField("climbMetres", profile.climbMetres);
                feature.SetField("descentMetres", profile.descentMetres);
                feature.SetField("walkSeconds", profile.walkSeconds);
            }
            feature.SetField("patchSize", settings_.patchSize);
            feature.SetField("threshold", settings_.threshold);
            feature.SetField("coordinates", sidecar_ ? lonLatNote : sampleNote);
            feature.SetGeometry(&line);
        }
        if (layer->CreateFeature(&feature) != OGRERR_NONE)
            return fail("cannot add a route");
    }
    ds.reset();
    if (CPLGetLastErrorType() >= CE_Failure)
        return fail("the driver failed");
    VSIStatBufL stat;
    if (VSIStatL(temp.c_str(), &stat) != 0)
        return fail("the driver wrote nothing");
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        return fail("cannot rename the finished file into place");
    return true;
}

} // namespace vaskur_geo
