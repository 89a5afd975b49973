// vaskur-import: turns an elevation model that GDAL can read (GeoTIFF, SRTM
// .hgt, ASCII grids and the like) into a raw height map for Vaskur, with a
// sidecar NAME.raw.json that places its samples in the world and the real
// heights NAME.raw.heights.tif.
#include "tools/vaskur-geo/GdalMessages.h"
#include "tools/vaskur-import/Importer.h"
#include "tools/vaskur-import/ImportOptions.h"
#include "vaskur/Version.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    int status = 0;
    std::string error;
    // Our own --version before GDAL's, which would print GDAL's.
    const bool version = argc == 2 && std::string(argv[1]) == "--version";
    if (!version && !vaskur_geo::startGdal(argc, argv, status, error)) {
        if (status != 0)
            std::fprintf(stderr, "vaskur-import: %s; %s\n", error.c_str(), vaskur_import::importUsage);
        return status;
    }
    vaskur_import::ImportOptions options;
    if (!vaskur_import::parseImportArguments(argc - 1, argv + 1, options, error)
        || (!options.help && !options.version && !vaskur_import::checkImportOptions(options, error))) {
        std::fprintf(stderr, "vaskur-import: %s; %s\n", error.c_str(), vaskur_import::importUsage);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n\n%s", vaskur_import::importUsage, vaskur_import::importHelp);
        return 0;
    }
    if (options.version) {
        std::printf("vaskur-import %s\n", vaskurVersion);
        return 0;
    }
    vaskur_import::ImportReport report;
    if (!vaskur_import::importHeightMap(options, report, error)) {
        std::fprintf(stderr, "vaskur-import: %s\n", error.c_str());
        return 1;
    }
    const vaskur_geo::Sidecar& s = report.sidecar;
    std::printf("size %d\n", s.side);
    std::printf("spacing %.6f m\n", s.spacingMetres);
    std::printf("unit %.6f m\n", s.heightUnitMetres);
    std::printf("offset %.3f m\n", s.heightOffsetMetres);
    std::printf("range %d units\n", report.range);
    std::printf("bits %d\n", s.bits);
    std::printf("nodata %lld samples\n", static_cast<long long>(s.noDataSamples));
    if (s.wallSamples != s.noDataSamples)
        std::printf("walls %lld samples\n", static_cast<long long>(s.wallSamples));
    std::printf("projection %s\n", report.localProjection ? "local transverse Mercator" : "the source's own");
    return 0;
}
