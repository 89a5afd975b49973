// Command line of vaskur-import.
#pragma once

#include <string>

namespace vaskur_import {

enum class AreaKind { Whole, Window, Box, LonLat };

struct ImportOptions {
    int side = 513;
    AreaKind area = AreaKind::Whole;
    double area0 = 0, area1 = 0, area2 = 0, area3 = 0;  // window X Y W H, or box X/lon min, Y/lat min, max, max
    int band = 0;                 // 0: the only band
    double maxSlopeDegrees = 30.0;
    int bits = 0;                 // 0: as the range needs
    std::string srs;              // coordinate system to assume for the source
    bool quiet = false;           // no progress bar
    bool help = false;
    bool version = false;
    std::string source;
    std::string output;
};

extern const char* const importUsage;
// Every option with a line each, and examples.
extern const char* const importHelp;

// Parses the arguments after the program name; false with a one-line reason.
bool parseImportArguments(int argc, const char* const* argv, ImportOptions& options, std::string& error);

} // namespace vaskur_import
