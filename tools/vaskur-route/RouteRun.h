// One run of vaskur-route after its command line is read: load the map,
// build the model, look for every leg, print what was found and write the
// route files when every leg has a route. Returns the exit status: 0, 1 for
// a failure, 3 when a leg has no route.
#pragma once

#include "tools/vaskur-route/Options.h"

namespace vaskur_route {

int runRoutes(const Options& options);

} // namespace vaskur_route
