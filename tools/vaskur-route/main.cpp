// vaskur-route: builds the terrain model and route graph of a height map the
// way the main window does and finds routes between given points, printing
// plain text for scripts, tests and benchmarks, and writing the routes as
// GeoJSON, GPX and elevation profiles.
#include "tools/vaskur-geo/GdalMessages.h"
#include "tools/vaskur-route/Options.h"
#include "tools/vaskur-route/RouteRun.h"
#include "vaskur/Version.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vaskur-route %s\n", vaskurVersion);
        return 0;
    }
    int status = 0;
    std::string error;
    if (!vaskur_geo::startGdal(argc, argv, status, error)) {
        if (status != 0)
            std::fprintf(stderr, "vaskur-route: %s; %s\n", error.c_str(), vaskur_route::usageText);
        return status;
    }
    vaskur_route::Options options;
    if (!vaskur_route::parseArguments(argc - 1, argv + 1, options, error)) {
        std::fprintf(stderr, "vaskur-route: %s; %s\n", error.c_str(), vaskur_route::usageText);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n\n%s", vaskur_route::usageText, vaskur_route::helpText);
        return 0;
    }
    return vaskur_route::runRoutes(options);
}
