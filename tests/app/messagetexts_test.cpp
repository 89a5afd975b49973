// Tests of app/MessageTexts.cpp: route length texts and the numbers read
// from what the user types.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/MessageTexts.h"

// Route lengths read as a classic-locale stream writes a float.
TEST(RouteLengthText, SixSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(formatRouteLength(1234.5678f), "1234.57");
    EXPECT_EQ(formatRouteLength(100.0f), "100");
    EXPECT_EQ(formatRouteLength(2.5f), "2.5");
    EXPECT_EQ(formatRouteLength(0.125f), "0.125");
    EXPECT_EQ(formatRouteLength(999999.0f), "999999");
}

TEST(RouteLengthText, ExponentFormOutsideTheFixedRange)
{
    EXPECT_EQ(formatRouteLength(1234567.0f), "1.23457e+06");
    EXPECT_EQ(formatRouteLength(1000000.0f), "1e+06");
    EXPECT_EQ(formatRouteLength(0.0001f), "0.0001");
    EXPECT_EQ(formatRouteLength(0.00001234f), "1.234e-05");
}

TEST(RouteLengthText, MessageByOutcomeOfTheSearch)
{
    auto message = [](Route::Outcome outcome, float length) {
        Route route;
        route.outcome = outcome;
        route.length = length;
        return routeResultMessage(route);
    };
    EXPECT_EQ(message(Route::Outcome::found, 1234.5678f), "Leitud tee pikkus: 1234.57m.");
    EXPECT_EQ(message(Route::Outcome::found, 100.0f), "Leitud tee pikkus: 100m.");
    EXPECT_EQ(message(Route::Outcome::sameVertex, 0.0f), "Algus ja l\xf5pptipp sama!");
    EXPECT_EQ(message(Route::Outcome::noRoute, 0.0f), "Teed ei leitud!");
}

TEST(TextToInt, ReadsLikeTheStandardConversion)
{
    EXPECT_EQ(textToInt("32"), 32);
    EXPECT_EQ(textToInt("  \t-3"), -3);
    EXPECT_EQ(textToInt("+12abc"), 12);
    EXPECT_EQ(textToInt("40 50"), 40);
    EXPECT_EQ(textToInt("abc"), 0);
    EXPECT_EQ(textToInt("- 5"), 0);
    EXPECT_EQ(textToInt(""), 0);
    EXPECT_EQ(textToInt(nullptr), 0);
}

TEST(TextToInt, LongDigitRunsStopAtTheRangeEnds)
{
    EXPECT_EQ(textToInt("2147483647"), INT_MAX);
    EXPECT_EQ(textToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(textToInt("2147483648"), INT_MAX);
    EXPECT_EQ(textToInt("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(textToInt("-99999999999999999999999999"), INT_MIN);
}

TEST(Threshold, NegativeBecomesFiveAndNonNumbersZero)
{
    EXPECT_EQ(thresholdFromText("-3"), 5);
    EXPECT_EQ(thresholdFromText("-1"), 5);
    EXPECT_EQ(thresholdFromText("0"), 0);
    EXPECT_EQ(thresholdFromText("x25"), 0);
    EXPECT_EQ(thresholdFromText("25"), 25);
    EXPECT_EQ(thresholdFromText(" 40"), 40);
}

// Real maps: metres below 1 km, else km with a decimal comma; whole minutes;
// Latin-1 bytes with a plain hyphen for the height range.
TEST(RealMapTexts, DistancesTimesAndTheLoadMessage)
{
    EXPECT_EQ(formatGroundDistance(296.4), "296 m");
    EXPECT_EQ(formatGroundDistance(999.7), "1,0 km");
    EXPECT_EQ(formatGroundDistance(31512.0), "31,5 km");
    EXPECT_EQ(formatWalkingTime(42 * 60 + 20), "42 min");
    EXPECT_EQ(formatWalkingTime(9 * 3600 + 5 * 60), "9 h 5 min");
    EXPECT_EQ(realRouteMessage(31512.0, 1752.4, 2021.6, 9 * 3600 + 300),
              "Pikkus 31,5 km, t\xf5us 1752 m, laskumine 2022 m, aeg 9 h 5 min. "
              "Ctrl+S: salvesta, Ctrl+P: profiil.");
    EXPECT_EQ(realMapLoadedMessage(256 * 116.8, 116.8, 245.2, 1053.0),
              "Fail laetud. 29,9 \xd7 29,9 km, samm 117 m, k\xf5rgus 245-1053 m.");
}
