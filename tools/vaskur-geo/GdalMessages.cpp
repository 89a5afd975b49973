// GDAL's message handler and common options for the command-line tools.
#include "tools/vaskur-geo/GdalMessages.h"

#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal.h>

#include <cstdio>
#include <cstdlib>

namespace vaskur_geo {

namespace {

// Debug lines go to standard error as GDAL's tools print them; failures and
// warnings stay quiet and are read back through CPLGetLastErrorMsg.
void CPL_STDCALL toolHandler(CPLErr level, CPLErrorNum, const char* message)
{
    if (level == CE_Debug)
        std::fprintf(stderr, "%s\n", message);
}

char** keptArguments = nullptr;

void freeArguments()
{
    CSLDestroy(keptArguments);
    keptArguments = nullptr;
}

} // namespace

bool startGdal(int& argc, char**& argv, int& status, std::string& error)
{
    GDALAllRegister();
    CPLSetErrorHandler(toolHandler);
    CPLErrorReset();
    const int count = GDALGeneralCmdLineProcessor(argc, &argv, 0);
    if (count < 1) {
        // GDAL printed what --formats and the like ask for, or refused one of
        // its own options.
        status = CPLGetLastErrorType() >= CE_Failure ? 2 : 0;
        error = CPLGetLastErrorMsg();
        while (!error.empty() && (error.back() == '.' || error.back() == ' '))
            error.pop_back();
        return false;
    }
    argc = count;
    keptArguments = argv;
    std::atexit(freeArguments);
    CPLErrorReset();
    return true;
}

GdalQuiet::GdalQuiet()
{
    CPLPushErrorHandler(toolHandler);
    CPLErrorReset();
}

GdalQuiet::~GdalQuiet()
{
    CPLPopErrorHandler();
}

std::string gdalMessage(const std::string& temporary, const std::string& shown)
{
    if (CPLGetLastErrorType() < CE_Warning)
        return {};
    std::string message = CPLGetLastErrorMsg();
    if (message.empty())
        return {};
    if (!temporary.empty())
        for (std::size_t at = message.find(temporary); at != std::string::npos;
             at = message.find(temporary, at + shown.size()))
            message.replace(at, temporary.size(), shown);
    // One line: GDAL's message may span several.
    for (char& c : message)
        if (c == '\n' || c == '\r')
            c = ' ';
    return "; GDAL: " + message;
}

void clearGdalMessage()
{
    CPLErrorReset();
}

} // namespace vaskur_geo
