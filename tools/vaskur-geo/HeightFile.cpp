// Writing and reading the real heights GeoTIFF through GDAL.
#include "tools/vaskur-geo/HeightFile.h"

#include "tools/vaskur-geo/GdalMessages.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <array>
#include <cmath>
#include <limits>

namespace vaskur_geo {

bool writeHeightFile(const std::string& path, const std::vector<double>& metres, const Sidecar& sidecar,
    std::string& error)
{
    const int side = sidecar.side;
    const std::size_t count = static_cast<std::size_t>(side) * side;
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    if (metres.size() != count || !driver) {
        error = "cannot write the heights " + path + ": " + (driver ? "wrong size" : "GDAL has no GeoTIFF driver");
        return false;
    }
    clearGdalMessage();
    const char* options[] = {"COMPRESS=DEFLATE", "PREDICTOR=3", nullptr};
    GDALDatasetUniquePtr ds(driver->Create(path.c_str(), side, side, 1, GDT_Float32, const_cast<char**>(options)));
    std::vector<float> values(count);
    for (std::size_t i = 0; i < count; ++i)
        values[i] = std::isfinite(metres[i]) ? static_cast<float>(metres[i]) : std::numeric_limits<float>::quiet_NaN();
    // The sidecar's transform is for sample centres; GDAL's is for corners.
    const auto& t = sidecar.sampleToCrs;
    std::array<double, 6> gt{t[0] - 0.5 * t[1] - 0.5 * t[2], t[1], t[2], t[3] - 0.5 * t[4] - 0.5 * t[5], t[4], t[5]};
    OGRSpatialReference crs;
    bool ok = ds && crs.SetFromUserInput(sidecar.crsWkt.c_str()) == OGRERR_NONE
        && ds->SetGeoTransform(gt.data()) == CE_None && ds->SetSpatialRef(&crs) == CE_None;
    if (ok) {
        GDALRasterBand* band = ds->GetRasterBand(1);
        band->SetNoDataValue(std::numeric_limits<double>::quiet_NaN());
        band->SetUnitType("m");
        ok = band->RasterIO(GF_Write, 0, 0, side, side, values.data(), side, side, GDT_Float32, 0, 0, nullptr)
            == CE_None;
    }
    // Closing flushes the file; a failure there shows as a GDAL error.
    ds.reset();
    if (CPLGetLastErrorType() >= CE_Failure)
        ok = false;
    if (!ok)
        error = "cannot write the heights " + path + gdalMessage();
    return ok;
}

bool readHeightFile(const std::string& path, int side, std::vector<float>& metres, std::string& error)
{
    GDALAllRegister();
    clearGdalMessage();
    GDALDatasetUniquePtr ds(
        GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    if (!ds) {
        error = "cannot read the heights " + path + gdalMessage();
        return false;
    }
    if (ds->GetRasterXSize() != side || ds->GetRasterYSize() != side || ds->GetRasterCount() < 1) {
        error = "cannot read the heights " + path + ": it is not a grid of " + std::to_string(side) + " x "
            + std::to_string(side) + " samples";
        return false;
    }
    metres.assign(static_cast<std::size_t>(side) * side, 0.0f);
    if (ds->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, side, side, metres.data(), side, side, GDT_Float32, 0, 0,
            nullptr)
        != CE_None) {
        error = "cannot read the heights " + path + gdalMessage();
        return false;
    }
    return true;
}

} // namespace vaskur_geo
