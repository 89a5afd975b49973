// The import: open the source, place the area, warp it with GDAL, encode the
// heights and write the raw file, its sidecar and the real heights under
// temporary names that are renamed into place only when all are complete.
#include "tools/vaskur-import/Importer.h"

#include "terrain/HeightMap.h"
#include "tools/vaskur-geo/FileBatch.h"
#include "tools/vaskur-geo/GdalMessages.h"
#include "tools/vaskur-geo/HeightFile.h"
#include "tools/vaskur-import/AreaPlan.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <gdal_utils.h>
#include <ogr_spatialref.h>

#include <array>
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
    if (!writeRaw(rawTemp, heights.samples, sidecar.side, heights.bits)) {
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

namespace {

// The opened source and what the import reads from it before warping.
struct Source {
    GDALDatasetUniquePtr dataset;
    int bands = 0;
    int bandNumber = 1;
    std::array<double, 6> gt{};
    OGRSpatialReference srs;
    double scale = 1, offset = 0, toMetres = 1; // stored value to metres
};

bool openDataset(const ImportOptions& options, Source& source, std::string& error)
{
    source.dataset.reset(
        GDALDataset::Open(options.source.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    if (!source.dataset) {
        std::error_code ec;
        error = std::filesystem::exists(options.source, ec)
            ? "cannot open " + options.source + " as a raster" + vaskur_geo::gdalMessage()
            : "cannot open " + options.source + ": no such file";
        return false;
    }
    return true;
}

// The band of heights: --band, or the only one.
bool chooseBand(const ImportOptions& options, Source& source, std::string& error)
{
    const int bands = source.bands = source.dataset->GetRasterCount();
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
    source.bandNumber = options.band == 0 ? 1 : options.band;
    return true;
}

// Where the pixels lie: the geotransform and the coordinate system (--srs,
// or the source's own).
bool placeSource(const ImportOptions& options, Source& source, std::string& error)
{
    if (source.dataset->GetGeoTransform(source.gt.data()) != CE_None) {
        error = options.source + " has no georeferencing: its pixels have no place in the world";
        return false;
    }
    OGRSpatialReference& srs = source.srs;
    if (!options.srs.empty()) {
        if (srs.SetFromUserInput(options.srs.c_str()) != OGRERR_NONE) {
            error = "--srs: unknown coordinate system " + options.srs;
            return false;
        }
    } else if (const OGRSpatialReference* own = source.dataset->GetSpatialRef(); own && !own->IsEmpty()) {
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
    return true;
}

bool openSource(const ImportOptions& options, Source& source, std::string& error)
{
    if (!openDataset(options, source, error) || !chooseBand(options, source, error)
        || !placeSource(options, source, error))
        return false;
    GDALRasterBand* band = source.dataset->GetRasterBand(source.bandNumber);
    source.scale = band->GetScale();
    source.offset = band->GetOffset();
    source.toMetres = isFeet(band->GetUnitType()) ? 0.3048 : 1.0;
    return true;
}

// The square of the output in the output's coordinate system, with at least
// one source pixel per sample.
bool planOutput(const ImportOptions& options, const Source& source, AreaPlan& plan, std::string& error)
{
    if (!planArea(options, source.srs, source.gt, source.dataset->GetRasterXSize(),
            source.dataset->GetRasterYSize(), plan, error))
        return false;
    if (plan.pixelsAcross + 1e-6 < options.side) {
        error = "the area is " + format("%.1f", plan.pixelsAcross) + " source pixels across, fewer than the "
            + std::to_string(options.side) + " samples of the output";
        return false;
    }
    return true;
}

// One band, with the coordinate system given on the command line: a virtual
// copy of the source when either differs from it, else nothing (`single`
// stays empty and `warpSource` the source).
bool selectBand(const ImportOptions& options, const Source& source, GDALDatasetUniquePtr& single,
    GDALDatasetH& warpSource, std::string& error)
{
    warpSource = GDALDataset::ToHandle(source.dataset.get());
    if (source.bands <= 1 && options.srs.empty())
        return true;
    CPLStringList args;
    args.AddString("-of");
    args.AddString("VRT");
    args.AddString("-b");
    args.AddString(std::to_string(source.bandNumber).c_str());
    if (!options.srs.empty()) {
        args.AddString("-a_srs");
        args.AddString(options.srs.c_str());
    }
    GDALTranslateOptions* translate = GDALTranslateOptionsNew(args.List(), nullptr);
    single = fromHandle(GDALTranslate("", warpSource, translate, nullptr));
    GDALTranslateOptionsFree(translate);
    if (!single) {
        error = "cannot select band " + std::to_string(source.bandNumber) + vaskur_geo::gdalMessage();
        return false;
    }
    warpSource = GDALDataset::ToHandle(single.get());
    return true;
}

// gdalwarp's arguments for the square of `plan` at `side` samples a side.
CPLStringList warpArguments(const AreaPlan& plan, int side)
{
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
    return args;
}

// Warps the source onto the output grid: `metres` gets the stored values
// (no data is NaN), `outGt` the output raster's geotransform.
bool warpArea(const ImportOptions& options, const AreaPlan& plan, GDALDatasetH warpSource,
    std::vector<double>& metres, std::array<double, 6>& outGt, std::string& error)
{
    const int side = options.side;
    CPLStringList args = warpArguments(plan, side);
    GDALWarpAppOptions* warpOptions = GDALWarpAppOptionsNew(args.List(), nullptr);
    if (!options.quiet && isatty(STDERR_FILENO))
        GDALWarpAppOptionsSetProgress(warpOptions, progressBar, nullptr);
    GDALDatasetUniquePtr warped = fromHandle(GDALWarp("", nullptr, 1, &warpSource, warpOptions, nullptr));
    GDALWarpAppOptionsFree(warpOptions);
    metres.assign(static_cast<std::size_t>(side) * side, 0.0);
    if (!warped || warped->GetGeoTransform(outGt.data()) != CE_None
        || warped->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, side, side, metres.data(), side, side, GDT_Float64, 0,
               0, nullptr)
            != CE_None) {
        error = "cannot resample " + options.source + vaskur_geo::gdalMessage();
        return false;
    }
    return true;
}

// Heights in metres from the stored values; no data stays NaN.
void toMetres(std::vector<double>& metres, const Source& source)
{
    for (double& h : metres)
        if (std::isfinite(h))
            h = (h * source.scale + source.offset) * source.toMetres;
}

bool encode(const ImportOptions& options, double spacing, const std::vector<double>& metres,
    EncodedHeights& heights, std::string& error)
{
    EncodeRequest request;
    request.side = options.side;
    request.spacingMetres = spacing;
    request.maxSlopeDegrees = options.maxSlopeDegrees;
    request.bits = options.bits;
    return encodeHeights(metres, request, heights, error);
}

// What the sidecar and the report say about the import.
void describe(const ImportOptions& options, const AreaPlan& plan, const std::array<double, 6>& outGt,
    double spacing, const EncodedHeights& heights, ImportReport& report)
{
    vaskur_geo::Sidecar& sidecar = report.sidecar;
    sidecar.source = options.source;
    sidecar.crsWkt = plan.targetWkt;
    // Sample centres: half a pixel in from the corner of the output raster.
    sidecar.sampleToCrs = {outGt[0] + 0.5 * outGt[1] + 0.5 * outGt[2], outGt[1], outGt[2],
        outGt[3] + 0.5 * outGt[4] + 0.5 * outGt[5], outGt[4], outGt[5]};
    sidecar.side = options.side;
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
}

// Calls the stage timer with the seconds since the previous lap.
class StageClock {
public:
    explicit StageClock(const StageTimer& timer) : timer_(timer) {}
    void lap(const char* stage)
    {
        const auto now = Clock::now();
        if (timer_)
            timer_(stage, std::chrono::duration<double>(now - start_).count());
        start_ = now;
    }

private:
    const StageTimer& timer_;
    Clock::time_point start_ = Clock::now();
};

} // namespace

bool importHeightMap(const ImportOptions& options, ImportReport& report, std::string& error, const StageTimer& timer)
{
    StageClock clock(timer);
    vaskur_geo::GdalQuiet quiet;
    GDALAllRegister();
    report = ImportReport{};

    Source source;
    AreaPlan plan;
    if (!openSource(options, source, error) || !planOutput(options, source, plan, error))
        return false;
    const double spacing = plan.side / options.side;
    clock.lap("open");

    GDALDatasetUniquePtr single;
    GDALDatasetH warpSource = nullptr;
    std::vector<double> metres;
    std::array<double, 6> outGt{};
    if (!selectBand(options, source, single, warpSource, error)
        || !warpArea(options, plan, warpSource, metres, outGt, error))
        return false;
    single.reset();
    source.dataset.reset();
    clock.lap("warp");

    toMetres(metres, source);
    EncodedHeights heights;
    if (!encode(options, spacing, metres, heights, error))
        return false;
    clock.lap("encode");

    describe(options, plan, outGt, spacing, heights, report);
    if (!writeOutputs(options.output, heights, metres, report.sidecar, error))
        return false;
    clock.lap("write");
    return true;
}

} // namespace vaskur_import
