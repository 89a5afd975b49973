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
