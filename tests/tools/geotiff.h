// Test support: small GeoTIFFs for the import and export tests, made with
// GDAL from a height function of the pixel column and row, a coordinate
// system, a geotransform and an optional no-data value.
#pragma once

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace testkit {

struct GeoTiff {
    int columns = 300;
    int rows = 300;
    int bands = 1;
    std::string crs = "EPSG:32633";           // anything SetFromUserInput takes; empty for none
    std::array<double, 6> transform{500000, 10, 0, 6000000, 0, -10};
    std::optional<double> noData;
    // Height at the centre of pixel (column, row).
    std::function<double(int column, int row)> height = [](int, int) { return 100.0; };
};

inline bool writeGeoTiff(const std::string& path, const GeoTiff& tiff)
{
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    GDALDatasetUniquePtr ds(driver->Create(path.c_str(), tiff.columns, tiff.rows, tiff.bands, GDT_Float32, nullptr));
    if (!ds)
        return false;
    std::array<double, 6> t = tiff.transform;
    ds->SetGeoTransform(t.data());
    if (!tiff.crs.empty()) {
        OGRSpatialReference srs;
        srs.SetFromUserInput(tiff.crs.c_str());
        ds->SetSpatialRef(&srs);
    }
    std::vector<float> values(static_cast<std::size_t>(tiff.columns) * tiff.rows);
    for (int r = 0; r < tiff.rows; ++r)
        for (int c = 0; c < tiff.columns; ++c)
            values[static_cast<std::size_t>(r) * tiff.columns + c] = static_cast<float>(tiff.height(c, r));
    for (int b = 1; b <= tiff.bands; ++b) {
        GDALRasterBand* band = ds->GetRasterBand(b);
        if (tiff.noData)
            band->SetNoDataValue(*tiff.noData);
        if (band->RasterIO(GF_Write, 0, 0, tiff.columns, tiff.rows, values.data(), tiff.columns, tiff.rows,
                GDT_Float32, 0, 0, nullptr)
            != CE_None)
            return false;
    }
    return true;
}

// A plane rising northwards at `degrees` over a projected raster whose
// pixels are `pixel` metres square.
inline GeoTiff northSlope(double degrees, double pixel = 10.0)
{
    GeoTiff tiff;
    tiff.transform = {500000, pixel, 0, 6000000, 0, -pixel};
    const double rise = std::tan(degrees * std::numbers::pi / 180.0) * pixel;
    const int rows = tiff.rows;
    tiff.height = [rise, rows](int, int row) { return 100.0 + (rows - 0.5 - row) * rise; };
    return tiff;
}

} // namespace testkit
