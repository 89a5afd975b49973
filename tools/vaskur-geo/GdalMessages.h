// GDAL's own messages for the command-line tools: kept off the console and
// folded into the tool's one line of error, except the debug output asked
// for with --debug. Also GDAL's common options (--config KEY VALUE,
// --debug on, --formats and the like) on a tool's command line.
#pragma once

#include <string>

namespace vaskur_geo {

// Registers GDAL's drivers, installs the message handler and takes GDAL's
// common options out of argv (which then points at a copy kept to the end
// of the process). Returns true when the tool goes on; otherwise the tool
// ends with `status`: 0 when an option such as --formats did its work, 2
// when one is malformed, with the reason in `error`.
bool startGdal(int& argc, char**& argv, int& status, std::string& error);

// The last failure GDAL reported since clearGdalMessage, as "; GDAL: ...",
// or an empty string. `temporary` in the message becomes `shown`, so that a
// message about a temporary file names the file the user asked for.
// While one lives, GDAL's messages stay off the console (debug lines
// apart) for code that runs without startGdal, such as the import library.
class GdalQuiet {
public:
    GdalQuiet();
    ~GdalQuiet();
    GdalQuiet(const GdalQuiet&) = delete;
    GdalQuiet& operator=(const GdalQuiet&) = delete;
};

std::string gdalMessage(const std::string& temporary = {}, const std::string& shown = {});
void clearGdalMessage();

} // namespace vaskur_geo
