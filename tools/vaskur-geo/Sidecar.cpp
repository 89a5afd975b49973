// Reading and writing the sidecar JSON with GDAL's JSON classes.
#include "tools/vaskur-geo/Sidecar.h"

#include <cpl_json.h>

#include <cmath>

namespace vaskur_geo {

namespace {

constexpr int formatVersion = 1;

} // namespace

std::string sidecarPath(const std::string& rawPath)
{
    return rawPath + ".json";
}

bool Sidecar::write(const std::string& path, std::string& error) const
{
    CPLJSONDocument doc;
    CPLJSONObject root = doc.GetRoot();
    root.Add("vaskurSidecar", formatVersion);
    root.Add("source", source);
    root.Add("side", side);
    root.Add("bits", bits);
    root.Add("spacingMetres", spacingMetres);
    root.Add("heightUnitMetres", heightUnitMetres);
    root.Add("heightOffsetMetres", heightOffsetMetres);
    root.Add("maxSlopeDegrees", maxSlopeDegrees);
    root.Add("wallValue", wallValue);
    root.Add("noDataSamples", static_cast<GInt64>(noDataSamples));
    root.Add("wallSamples", static_cast<GInt64>(wallSamples));
    CPLJSONArray transform;
    for (double t : sampleToCrs)
        transform.Add(t);
    root.Add("sampleToCrs", transform);
    root.Add("sampleToCrsNote", "X = t0 + x*t1 + y*t2, Y = t3 + x*t4 + y*t5 for the centre of sample column x, "
                                "row y (row 0 at the top of the map, north up)");
    root.Add("crsWkt", crsWkt);
    if (!doc.Save(path)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool Sidecar::read(const std::string& path, std::string& error)
{
    CPLJSONDocument doc;
    if (!doc.Load(path)) {
        error = "cannot read the sidecar " + path;
        return false;
    }
    const CPLJSONObject root = doc.GetRoot();
    const CPLJSONArray transform = root.GetArray("sampleToCrs");
    if (root.GetInteger("vaskurSidecar") != formatVersion || !transform.IsValid() || transform.Size() != 6) {
        error = path + " is not a Vaskur sidecar";
        return false;
    }
    source = root.GetString("source");
    crsWkt = root.GetString("crsWkt");
    side = root.GetInteger("side");
    bits = root.GetInteger("bits");
    spacingMetres = root.GetDouble("spacingMetres");
    heightUnitMetres = root.GetDouble("heightUnitMetres");
    heightOffsetMetres = root.GetDouble("heightOffsetMetres");
    maxSlopeDegrees = root.GetDouble("maxSlopeDegrees");
    wallValue = root.GetInteger("wallValue");
    noDataSamples = root.GetLong("noDataSamples");
    wallSamples = root.GetLong("wallSamples");
    for (int i = 0; i < 6; ++i)
        sampleToCrs[static_cast<std::size_t>(i)] = transform[i].ToDouble();
    if (crsWkt.empty() || !(spacingMetres > 0.0) || !(heightUnitMetres > 0.0) || (side != 257 && side != 513)) {
        error = path + " lacks the coordinate system, spacing, height unit or size";
        return false;
    }
    return true;
}

void Sidecar::toCrs(double x, double y, double& crsX, double& crsY) const
{
    const auto& t = sampleToCrs;
    crsX = t[0] + x * t[1] + y * t[2];
    crsY = t[3] + x * t[4] + y * t[5];
}

bool Sidecar::fromCrs(double crsX, double crsY, double& x, double& y) const
{
    const auto& t = sampleToCrs;
    const double det = t[1] * t[5] - t[2] * t[4];
    if (det == 0.0 || !std::isfinite(det))
        return false;
    const double dx = crsX - t[0], dy = crsY - t[3];
    x = (dx * t[5] - dy * t[2]) / det;
    y = (dy * t[1] - dx * t[4]) / det;
    return true;
}

} // namespace vaskur_geo
