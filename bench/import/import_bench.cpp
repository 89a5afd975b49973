// Times the import of a generated 3601 x 3601 GeoTIFF (16-bit heights, one
// arc second, longitude/latitude like an SRTM tile) to a 513 map: GDAL's
// plain read of the whole band for comparison, then each stage of the
// import, best of a few runs. Wall-clock times, and the process's CPU time
// for the whole import, which a busy machine disturbs less.
//
//     vaskur-bench-import [RUNS]
#include "tools/vaskur-import/Importer.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int tile = 3601;

bool makeTile(const std::string& path)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    GDALDatasetUniquePtr ds(driver->Create(path.c_str(), tile, tile, 1, GDT_Int16, nullptr));
    if (!ds)
        return false;
    double transform[6] = {7.0 - 0.5 / 3600, 1.0 / 3600, 0, 47.0 + 0.5 / 3600, 0, -1.0 / 3600};
    ds->SetGeoTransform(transform);
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    ds->SetSpatialRef(&wgs84);
    // Rolling hills and a valley: a few hundred metres of relief.
    std::vector<std::int16_t> row(tile);
    for (int r = 0; r < tile; ++r) {
        for (int c = 0; c < tile; ++c)
            row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(800 + 250 * std::sin(c * 0.004)
                + 180 * std::cos(r * 0.003 + c * 0.001) + 60 * std::sin(r * 0.02) * std::cos(c * 0.017));
        if (ds->GetRasterBand(1)->RasterIO(GF_Write, 0, r, tile, 1, row.data(), tile, 1, GDT_Int16, 0, 0, nullptr)
            != CE_None)
            return false;
    }
    return true;
}

double readWholeBand(const std::string& path)
{
    const auto start = Clock::now();
    GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    std::vector<std::int16_t> all(static_cast<std::size_t>(tile) * tile);
    if (!ds || ds->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, tile, tile, all.data(), tile, tile, GDT_Int16, 0, 0,
                   nullptr)
            != CE_None)
        return -1;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    GDALAllRegister();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vaskur-bench-import";
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "tile.tif").string();
    if (!makeTile(source)) {
        std::fprintf(stderr, "cannot write %s\n", source.c_str());
        return 1;
    }
    // Without this GDAL's block cache would serve later runs from memory.
    GDALSetCacheMax64(0);

    double bestRead = 1e9;
    std::map<std::string, double> best;
    double bestTotal = 1e9;
    double bestCpu = 1e9;
    for (int i = 0; i < runs; ++i) {
        bestRead = std::min(bestRead, readWholeBand(source));
        vaskur_import::ImportOptions options;
        options.source = source;
        options.output = (dir / "tile.raw").string();
        vaskur_import::ImportReport report;
        std::string error;
        std::map<std::string, double> stages;
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        if (!vaskur_import::importHeightMap(options, report, error,
                [&](const char* stage, double seconds) { stages[stage] = seconds; })) {
            std::fprintf(stderr, "import failed: %s\n", error.c_str());
            return 1;
        }
        bestTotal = std::min(bestTotal, std::chrono::duration<double>(Clock::now() - start).count());
        bestCpu = std::min(bestCpu, static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        for (const auto& [stage, seconds] : stages)
            best[stage] = best.count(stage) ? std::min(best[stage], seconds) : seconds;
        if (i == 0)
            std::printf("map %d, spacing %.3f m, unit %.3f m, %d bits\n", report.sidecar.side,
                report.sidecar.spacingMetres, report.sidecar.heightUnitMetres, report.sidecar.bits);
    }
    std::printf("gdal read of the whole band  %.3f s\n", bestRead);
    for (const char* stage : {"open", "warp", "encode", "write"})
        std::printf("import %-6s %.3f s\n", stage, best[stage]);
    std::printf("import total  %.3f s, cpu %.3f s (best of %d)\n", bestTotal, bestCpu, runs);
    std::filesystem::remove_all(dir);
    return 0;
}
