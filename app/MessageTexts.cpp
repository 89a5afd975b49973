// Formatting a route length and its message, and reading the numbers the
// user types into the model parameters window.
#include "app/MessageTexts.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <sstream>

#include "route/ModelBuild.h"

std::string formatRouteLength(float length)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << length;
    return out.str();
}

std::string routeResultMessage(const Route& route)
{
    switch (route.outcome) {
    case Route::Outcome::found:
        return std::string(texts::routeFoundPrefix) + formatRouteLength(route.length) + texts::routeFoundSuffix;
    case Route::Outcome::sameVertex:
        return texts::sameVertex;
    case Route::Outcome::noRoute:
        break;
    }
    return texts::noRoute;
}

namespace {

// A number with one decimal and a decimal comma.
std::string oneDecimal(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string out(text);
    for (char& c : out)
        if (c == '.')
            c = ',';
    return out;
}

std::string wholeMetres(double metres)
{
    return std::to_string(std::llround(metres)) + " m";
}

} // namespace

std::string formatGroundDistance(double metres)
{
    if (std::llround(metres) < 1000)
        return wholeMetres(metres);
    return oneDecimal(metres / 1000.0) + " km";
}

std::string formatWalkingTime(double seconds)
{
    const long long minutes = std::llround(seconds / 60.0);
    if (minutes < 60)
        return std::to_string(minutes) + " min";
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

std::string routeClimbText(double climbMetres, double descentMetres, double walkSeconds)
{
    return "t\xf5us " + wholeMetres(climbMetres) + ", laskumine " + wholeMetres(descentMetres) + ", aeg "
        + formatWalkingTime(walkSeconds);
}

std::string realRouteMessage(double groundMetres, double climbMetres, double descentMetres, double walkSeconds)
{
    return "Pikkus " + formatGroundDistance(groundMetres) + ", "
        + routeClimbText(climbMetres, descentMetres, walkSeconds) + ". " + texts::routeKeys;
}

std::string realMapLoadedMessage(double extentMetres, double spacingMetres, double lowestMetres, double highestMetres)
{
    const std::string km = oneDecimal(extentMetres / 1000.0);
    // Latin-1 has the multiplication sign (0xd7) but no en dash.
    return std::string(texts::fileLoaded) + " " + km + " \xd7 " + km + " km, samm "
        + std::to_string(std::llround(spacingMetres)) + " m, k\xf5rgus " + std::to_string(std::llround(lowestMetres))
        + "-" + std::to_string(std::llround(highestMetres)) + " m.";
}

int32_t textToInt(const char* text)
{
    if (!text)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (std::isspace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // Accumulate in 64 bits and stop growing once past the int32 range, so
    // a long run of digits cannot overflow.
    const int64_t limit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value <= limit)
            value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t thresholdFromText(const char* text)
{
    return buildThreshold(textToInt(text));
}
