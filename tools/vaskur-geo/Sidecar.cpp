// Reading and writing the sidecar JSON with GDAL's JSON classes. Reading is
// strict: every field is checked for its type and range, and a refusal names
// the field, so that a damaged sidecar cannot put routes in the wrong place.
#include "tools/vaskur-geo/Sidecar.h"

#include <cpl_json.h>

#include <cmath>
#include <filesystem>
#include <numbers>

namespace vaskur_geo {

namespace {

constexpr int formatVersion = 1;
// No place on Earth is this far from sea level, and no sample spacing this
// wide: larger values can only come from a damaged file.
constexpr double heightLimitMetres = 1e5;
constexpr double spacingLimitMetres = 1e5;

// Reads the named fields of one sidecar and remembers the first fault.
class FieldReader {
public:
    FieldReader(const CPLJSONObject& root, const std::string& path) : root_(root), path_(path) {}

    double number(const char* name)
    {
        const CPLJSONObject field = root_.GetObj(name);
        const auto type = field.GetType();
        if (type != CPLJSONObject::Type::Integer && type != CPLJSONObject::Type::Long
            && type != CPLJSONObject::Type::Double) {
            fault(name, "is missing or not a number");
            return 0.0;
        }
        const double value = field.ToDouble();
        if (!std::isfinite(value))
            fault(name, "is not a finite number");
        return value;
    }

    std::int64_t integer(const char* name, std::int64_t low, std::int64_t high)
    {
        const double value = number(name);
        const bool whole = value == std::floor(value);
        if (ok() && (!whole || value < static_cast<double>(low) || value > static_cast<double>(high)))
            fault(name, "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
        return ok() ? static_cast<std::int64_t>(value) : 0;
    }

    std::string text(const char* name, bool required)
    {
        const CPLJSONObject field = root_.GetObj(name);
        if (field.GetType() == CPLJSONObject::Type::String)
            return field.ToString();
        if (required || field.IsValid())
            fault(name, "is missing or not a string");
        return {};
    }

    void fault(const char* name, const std::string& reason)
    {
        if (error_.empty())
            error_ = path_ + ": " + name + " " + reason;
    }
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

private:
    const CPLJSONObject& root_;
    const std::string& path_;
    std::string error_;
};

// The six numbers of sampleToCrs; a transform that folds the map onto a line
// (or a point) is refused.
std::array<double, 6> readTransform(const CPLJSONObject& root, FieldReader& f)
{
    std::array<double, 6> t{};
    const CPLJSONArray array = root.GetArray("sampleToCrs");
    if (!array.IsValid() || array.Size() != 6) {
        f.fault("sampleToCrs", "must be an array of six numbers");
        return t;
    }
    for (int i = 0; i < 6; ++i) {
        const auto type = array[i].GetType();
        const double value = array[i].ToDouble();
        if ((type != CPLJSONObject::Type::Integer && type != CPLJSONObject::Type::Long
                && type != CPLJSONObject::Type::Double)
            || !std::isfinite(value)) {
            f.fault("sampleToCrs", "must hold six finite numbers");
            return t;
        }
        t[static_cast<std::size_t>(i)] = value;
    }
    const double det = t[1] * t[5] - t[2] * t[4];
    const double scale = t[1] * t[1] + t[2] * t[2] + t[4] * t[4] + t[5] * t[5];
    if (!(std::fabs(det) > 1e-12 * scale))
        f.fault("sampleToCrs", "is degenerate: it does not spread the samples over a plane");
    return t;
}

} // namespace

std::string sidecarPath(const std::string& rawPath)
{
    return rawPath + ".json";
}

std::string heightsFilePath(const std::string& rawPath)
{
    return rawPath + ".heights.tif";
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
    if (!heightsFile.empty()) {
        root.Add("heightsFile", heightsFile);
        root.Add("heightsFileNote", "real heights in metres of every sample, NaN where the source has no data; "
                                    "the walking cost uses the raw samples");
    }
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
        error = "cannot read the sidecar " + path + ": it is not JSON";
        return false;
    }
    const CPLJSONObject root = doc.GetRoot();
    if (root.GetObj("vaskurSidecar").GetType() != CPLJSONObject::Type::Integer
        || root.GetInteger("vaskurSidecar") != formatVersion) {
        error = path + " is not a Vaskur sidecar (vaskurSidecar is not " + std::to_string(formatVersion) + ")";
        return false;
    }
    FieldReader f(root, path);
    source = f.text("source", true);
    crsWkt = f.text("crsWkt", true);
    heightsFile = f.text("heightsFile", false);
    side = static_cast<int>(f.integer("side", 257, 513));
    if (f.ok() && side != 257 && side != 513)
        f.fault("side", "must be 257 or 513");
    bits = static_cast<int>(f.integer("bits", 8, 16));
    if (f.ok() && bits != 8 && bits != 16)
        f.fault("bits", "must be 8 or 16");
    spacingMetres = f.number("spacingMetres");
    if (f.ok() && !(spacingMetres > 0.0 && spacingMetres <= spacingLimitMetres))
        f.fault("spacingMetres", "must be positive and at most 100 km");
    heightUnitMetres = f.number("heightUnitMetres");
    heightOffsetMetres = f.number("heightOffsetMetres");
    maxSlopeDegrees = f.number("maxSlopeDegrees");
    if (f.ok() && !(maxSlopeDegrees > 0.0 && maxSlopeDegrees < 90.0))
        f.fault("maxSlopeDegrees", "must lie between 0 and 90 degrees");
    // One unit is the rise of the steepest walkable slope over one spacing.
    const double unit = spacingMetres * std::tan(maxSlopeDegrees * std::numbers::pi / 180.0);
    if (f.ok() && !(std::fabs(heightUnitMetres - unit) <= 1e-9 * unit))
        f.fault("heightUnitMetres", "is not the rise of maxSlopeDegrees over spacingMetres");
    if (f.ok() && !(std::fabs(heightOffsetMetres) <= heightLimitMetres))
        f.fault("heightOffsetMetres", "lies more than 100 km from sea level");
    wallValue = static_cast<int>(f.integer("wallValue", 0, bits == 16 ? 65535 : 255));
    const std::int64_t samples = static_cast<std::int64_t>(side) * side;
    noDataSamples = f.integer("noDataSamples", 0, samples);
    wallSamples = f.integer("wallSamples", 0, samples);
    sampleToCrs = readTransform(root, f);
    if (f.ok() && crsWkt.empty())
        f.fault("crsWkt", "is empty");
    if (f.ok() && heightsFile.find('/') != std::string::npos)
        f.fault("heightsFile", "must be a file name in the sidecar's folder");
    error = f.error();
    return f.ok();
}

bool Sidecar::matches(int mapSide, int mapBits, std::string& error) const
{
    if (side != mapSide)
        error = "side is " + std::to_string(side) + ", but the map has " + std::to_string(mapSide)
            + " samples a side";
    else if (bits != mapBits)
        error = "bits is " + std::to_string(bits) + ", but the map has " + std::to_string(mapBits) + "-bit samples";
    return error.empty();
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
    return std::isfinite(x) && std::isfinite(y);
}

std::string Sidecar::heightsPath(const std::string& sidecarPath) const
{
    if (heightsFile.empty())
        return {};
    return (std::filesystem::path(sidecarPath).parent_path() / heightsFile).string();
}

} // namespace vaskur_geo
