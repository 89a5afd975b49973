// Formatting a route length and its message, and reading the numbers the
// user types into the model parameters window.
#include "app/MessageTexts.h"

#include <cctype>
#include <limits>
#include <locale>
#include <sstream>

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
    const int32_t threshold = textToInt(text);
    return threshold < 0 ? 5 : threshold;
}
