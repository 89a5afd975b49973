// vaskur-import: turns an elevation model that GDAL can read (GeoTIFF, SRTM
// .hgt, ASCII grids and the like) into a raw height map for Vaskur, with a
// sidecar NAME.raw.json that places its samples in the world.
#include "tools/vaskur-import/Importer.h"
#include "tools/vaskur-import/ImportOptions.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    vaskur_import::ImportOptions options;
    std::string error;
    if (!vaskur_import::parseImportArguments(argc - 1, argv + 1, options, error)) {
        std::fprintf(stderr, "vaskur-import: %s; %s\n", error.c_str(), vaskur_import::importUsage);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n"
                    "Reads one band of a raster GDAL can open and writes OUT.raw (a side of 257 or 513 samples, "
                    "north at the top)\n"
                    "and OUT.raw.json. The area is the whole raster, a pixel window, a box in the source's "
                    "coordinates or in\n"
                    "longitude/latitude, cut to its largest centred square. One height unit is the rise of "
                    "--max-slope (default 30\n"
                    "degrees) over one sample spacing, so steeper ground cannot be walked; no-data samples become "
                    "walls.\n",
            vaskur_import::importUsage);
        return 0;
    }
    if (options.version) {
        std::printf("vaskur-import %s\n", VASKUR_VERSION);
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
