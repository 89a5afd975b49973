// The import: open the source, place the area, warp it with GDAL, encode the
// heights and write the raw file, its sidecar and the real heights under
// temporary names that are renamed into place only when all are complete.
#include "tools/vaskur-import/Importer.h"

#include "tools/vaskur-geo/FileBatch.h"
#include "tools/vaskur-geo/GdalMessages.h"
#include "tools/vaskur-geo/HeightFile.h"
#include "tools/vaskur-import/AreaPlan.h"
#include "tools/vaskur-mapgen/MapGen.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <gdal_utils.h>
#include <ogr_spatialref.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <unistd.h>

namespace vaskur_import {

namespace {

using Clock = std::chrono::steady_clock;

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

GDALDatasetUniquePtr fromHandle(GDALDatasetH handle)
{
    return GDALDatasetUniquePtr(GDALDataset::FromHandle(handle));
}

// A bar on standard error, redrawn in place, for the terminal.
int CPL_STDCALL progressBar(double done, const char*, void*)
{
    constexpr int width = 40;
    const int filled = static_cast<int>(done * width + 0.5);
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", width - filled, "",
        static_cast<int>(done * 100 + 0.5));
    if (done >= 1.0)
        std::fputc('\n', stderr);
    std::fflush(stderr);
    return TRUE;
}

// The raw map, its sidecar and the real heights, all three or none: an
// earlier map keeps its files when any of them cannot be written.
bool writeOutputs(const std::string& output, const EncodedHeights& heights, const std::vector<double>& metres,
    vaskur_geo::Sidecar& sidecar, std::string& error)
{
    const std::string sidecarFile = vaskur_geo::sidecarPath(output);
    const std::string heightsFile = vaskur_geo::heightsFilePath(output);
    sidecar.heightsFile = std::filesystem::path(heightsFile).filename().string();
    vaskur_geo::FileBatch batch;
    std::string rawTemp, jsonTemp, heightsTemp;
    if (!batch.add(output, rawTemp, error) || !batch.add(sidecarFile, jsonTemp, error)
        || !batch.add(heightsFile, heightsTemp, error))
        return false;
    if (!mapgen::writeRaw(rawTemp, heights.samples, sidecar.side, heights.bits)) {
        error = "cannot write " + output + ": " + std::strerror(errno);
        return false;
    }
    if (!sidecar.write(jsonTemp, error)) {
        error = "cannot write " + sidecarFile;
        return false;
    }
    if (!vaskur_geo::writeHeightFile(heightsTemp, metres, sidecar, error)) {
        error = "cannot write " + heightsFile + vaskur_geo::gdalMessage(heightsTemp, heightsFile);
        return false;
    }
    return batch.commit(error);
}

bool isFeet(const char* unit)
{
    return unit && (strcasecmp(unit, "ft") == 0 || strcasecmp(unit, "foot") == 0 || strcasecmp(unit, "feet") == 0);
}

} // namespace

bool checkImportOptions(const ImportOptions& options, std::string& error)
{
    OGRSpatialReference srs;
    vaskur_geo::GdalQuiet quiet;
    if (!options.srs.empty() && srs.SetFromUserInput(options.srs.c_str()) != OGRERR_NONE) {
        error = "--srs: unknown coordinate system " + options.srs;
        return false;
    }
    return true;
}

bool importHeightMap(const ImportOptions& options, ImportReport& report, std::string& error, const StageTimer& timer)
{
    auto start = Clock::now();
    auto lap = [&](const char* stage) {
        const auto now = Clock::now();
        if (timer)
            timer(stage, std::chrono::duration<double>(now - start).count());
        start = now;
    };
    vaskur_geo::GdalQuiet quiet;
    GDALAllRegister();
    report = ImportReport{};
    const int side = options.side;

    GDALDatasetUniquePtr source(
        GDALDataset::Open(options.source.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    if (!source) {
        std::error_code ec;
        error = std::filesystem::exists(options.source, ec)
            ? "cannot open " + options.source + " as a raster" + vaskur_geo::gdalMessage()
            : "cannot open " + options.source + ": no such file";
        return false;
    }
    const int bands = source->GetRasterCount();
    if (bands < 1) {
        error = options.source + " has no raster bands";
        return false;
    }
    if (options.band == 0 && bands > 1) {
        error = options.source + " has " + std::to_string(bands) + " bands: choose the heights with --band";
        return false;
    }
    if (options.band > bands) {
        error = options.source + " has only " + std::to_string(bands) + " band" + (bands > 1 ? "s" : "");
        return false;
    }
    const int bandNumber = options.band == 0 ? 1 : options.band;
    std::array<double, 6> gt{};
    if (source->GetGeoTransform(gt.data()) != CE_None) {
        error = options.source + " has no georeferencing: its pixels have no place in the world";
        return false;
    }
    OGRSpatialReference srs;
    if (!options.srs.empty()) {
        if (srs.SetFromUserInput(options.srs.c_str()) != OGRERR_NONE) {
            error = "--srs: unknown coordinate system " + options.srs;
            return false;
        }
    } else if (const OGRSpatialReference* own = source->GetSpatialRef(); own && !own->IsEmpty()) {
        srs = *own;
    } else {
        error = options.source + " has no coordinate system: name one with --srs";
        return false;
    }
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (!srs.IsProjected() && !srs.IsGeographic()) {
        error = options.source + " is neither in longitude/latitude nor in a map projection";
        return false;
    }
    GDALRasterBand* band = source->GetRasterBand(bandNumber);
    const double scale = band->GetScale();
    const double offset = band->GetOffset();
    const double toMetres = isFeet(band->GetUnitType()) ? 0.3048 : 1.0;

    AreaPlan plan;
    if (!planArea(options, srs, gt, source->GetRasterXSize(), source->GetRasterYSize(), plan, error))
        return false;
    if (plan.pixelsAcross + 1e-6 < side) {
        error = "the area is " + format("%.1f", plan.pixelsAcross) + " source pixels across, fewer than the "
            + std::to_string(side) + " samples of the output";
        return false;
    }
    const double spacing = plan.side / side;
    lap("open");

    // One band, with the coordinate system given on the command line.
    GDALDatasetUniquePtr single;
    GDALDatasetH warpSource = GDALDataset::ToHandle(source.get());
    if (bands > 1 || !options.srs.empty()) {
        CPLStringList args;
        args.AddString("-of");
        args.AddString("VRT");
        args.AddString("-b");
        args.AddString(std::to_string(bandNumber).c_str());
        if (!options.srs.empty()) {
            args.AddString("-a_srs");
            args.AddString(options.srs.c_str());
        }
        GDALTranslateOptions* translate = GDALTranslateOptionsNew(args.List(), nullptr);
        single = fromHandle(GDALTranslate("", warpSource, translate, nullptr));
        GDALTranslateOptionsFree(translate);
        if (!single) {
            error = "cannot select band " + std::to_string(bandNumber) + vaskur_geo::gdalMessage();
            return false;
        }
        warpSource = GDALDataset::ToHandle(single.get());
    }

    // The resampling keeps the slope between neighbouring samples within a
    // few percent of the true one. Where a sample covers three source pixels
    // or more the mean of the pixels it covers does that (and is cheap);
    // closer to the source's own resolution cubic convolution ripples less.
    // The transforms are exact: the warper's approximation would ripple too.
    const char* resampling = plan.pixelsAcross >= 3.0 * side ? "average" : "cubic";
    CPLStringList args;
    for (const char* a : {"-of", "MEM", "-ot", "Float64", "-r", resampling, "-et", "0", "-dstnodata", "nan", "-wo",
             "INIT_DEST=NO_DATA"})
        args.AddString(a);
    if (plan.local) {
        args.AddString("-t_srs");
        args.AddString(plan.targetWkt.c_str());
    }
    args.AddString("-te");
    for (double v : {plan.minX, plan.minY, plan.minX + plan.side, plan.minY + plan.side})
        args.AddString(format("%.17g", v).c_str());
    args.AddString("-ts");
    args.AddString(std::to_string(side).c_str());
    args.AddString(std::to_string(side).c_str());
    GDALWarpAppOptions* warpOptions = GDALWarpAppOptionsNew(args.List(), nullptr);
    if (!options.quiet && isatty(STDERR_FILENO))
        GDALWarpAppOptionsSetProgress(warpOptions, progressBar, nullptr);
    GDALDatasetUniquePtr warped = fromHandle(GDALWarp("", nullptr, 1, &warpSource, warpOptions, nullptr));
    GDALWarpAppOptionsFree(warpOptions);
    std::vector<double> metres(static_cast<std::size_t>(side) * side);
    std::array<double, 6> outGt{};
    if (!warped || warped->GetGeoTransform(outGt.data()) != CE_None
        || warped->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, side, side, metres.data(), side, side, GDT_Float64, 0,
               0, nullptr)
            != CE_None) {
        error = "cannot resample " + options.source + vaskur_geo::gdalMessage();
        return false;
    }
    warped.reset();
    single.reset();
    source.reset();
    lap("warp");

    // Heights in metres; no data is NaN.
    for (double& h : metres)
        if (std::isfinite(h))
            h = (h * scale + offset) * toMetres;
    EncodeRequest request;
    request.side = side;
    request.spacingMetres = spacing;
    request.maxSlopeDegrees = options.maxSlopeDegrees;
    request.bits = options.bits;
    EncodedHeights heights;
    if (!encodeHeights(metres, request, heights, error))
        return false;
    lap("encode");

    vaskur_geo::Sidecar& sidecar = report.sidecar;
    sidecar.source = options.source;
    sidecar.crsWkt = plan.targetWkt;
    // Sample centres: half a pixel in from the corner of the output raster.
    sidecar.sampleToCrs = {outGt[0] + 0.5 * outGt[1] + 0.5 * outGt[2], outGt[1], outGt[2],
        outGt[3] + 0.5 * outGt[4] + 0.5 * outGt[5], outGt[4], outGt[5]};
    sidecar.side = side;
    sidecar.bits = heights.bits;
    sidecar.spacingMetres = spacing;
    sidecar.heightUnitMetres = heights.unitMetres;
    sidecar.heightOffsetMetres = heights.offsetMetres;
    sidecar.maxSlopeDegrees = options.maxSlopeDegrees;
    sidecar.wallValue = heights.wallValue;
    sidecar.noDataSamples = heights.noDataSamples;
    sidecar.wallSamples = heights.wallSamples;
    report.range = heights.range;
    report.localProjection = plan.local;

    if (!writeOutputs(options.output, heights, metres, sidecar, error))
        return false;
    lap("write");
    return true;
}

} // namespace vaskur_import
