// Tests of the click tracker (gui/ClickTracker.h): button edges, the
// double-click state machine and its window in ticks.
#include <gtest/gtest.h>

#include <vector>

#include "gui/ClickTracker.h"

namespace {

using State = ClickTracker::MouseState;

State at(int x, int y, int buttons, int wheel = 0)
{
    State s;
    s.pos = Point(x, y);
    s.buttons = buttons;
    s.wheel = wheel;
    return s;
}

// Feeds button states one tick each; returns the ticks (0-based) on which a
// double click was reported.
std::vector<int> doubleClicks(ClickTracker& t, const std::vector<int>& buttons)
{
    std::vector<int> reported;
    State before = at(0, 0, 0);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const State now = at(0, 0, buttons[i]);
        if (t.step(before, now).doubleClick)
            reported.push_back(static_cast<int>(i));
        before = now;
    }
    return reported;
}

// Button states recorded between two polls, all at the origin.
std::vector<InputSource::ButtonEdge> recorded(const std::vector<int>& buttons)
{
    std::vector<InputSource::ButtonEdge> edges;
    for (int b : buttons)
        edges.push_back({b, Point(0, 0)});
    return edges;
}

} // namespace

TEST(ClickTrackerTest, EdgesAreWhatChangedBetweenTwoPolls)
{
    ClickTracker t;
    t.reset(10);
    const ClickTracker::Edges e = t.step(at(10, 20, 1 | 4, 3), at(15, 18, 1 | 2, 1));
    EXPECT_EQ(e.down, 2);
    EXPECT_EQ(e.up, 4);
    EXPECT_EQ(e.movement, Point(5, -2));
    EXPECT_EQ(e.wheel, -2);
    EXPECT_FALSE(e.doubleClick);
}

TEST(ClickTrackerTest, DoubleClickIsReportedOnTheTickAfterTheSecondPress)
{
    ClickTracker t;
    t.reset(10);
    // Press, release, release, press (3 ticks later), then one more tick.
    EXPECT_EQ(doubleClicks(t, {1, 0, 0, 1, 1}), std::vector<int>{4});

    // A second press after the window has passed is a new single click.
    t.reset(10);
    std::vector<int> late{1};
    for (int i = 0; i < 10; ++i)
        late.push_back(0);
    late.push_back(1);
    late.push_back(0);
    EXPECT_TRUE(doubleClicks(t, late).empty());

    // Left then right is no double click either.
    t.reset(10);
    EXPECT_TRUE(doubleClicks(t, {1, 0, 2, 0, 0}).empty());
}

TEST(ClickTrackerTest, PressesAndReleasesBetweenTwoPollsAreKeptInOrder)
{
    ClickTracker t;
    t.reset(10);
    // Two taps of the left button and a right press, all within one tick;
    // the polled state is not looked at when changes were recorded.
    const ClickTracker::Edges e = t.step(at(0, 0, 0), at(0, 0, 0), recorded({1, 0, 1, 0, 2}));
    ASSERT_EQ(e.changes.size(), 5u);
    const int expected[5][2] = {{1, 0}, {0, 1}, {1, 0}, {0, 1}, {2, 0}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(e.changes[i].down, expected[i][0]) << i;
        EXPECT_EQ(e.changes[i].up, expected[i][1]) << i;
    }
    EXPECT_FALSE(e.doubleClick);
    EXPECT_TRUE(t.step(at(0, 0, 2), at(0, 0, 2), {}).doubleClick) << "the two taps, one tick later";

    // Taps three ticks apart are a double click too.
    t.reset(10);
    State rest = at(0, 0, 0);
    std::vector<bool> reported;
    for (const std::vector<int>& tick : std::vector<std::vector<int>>{{1, 0}, {}, {}, {1, 0}, {}})
        reported.push_back(t.step(rest, rest, recorded(tick)).doubleClick);
    EXPECT_EQ(reported, (std::vector<bool>{false, false, false, false, true}));
}

TEST(ClickTrackerTest, WindowComesFromTheDelayAndTheLogicRate)
{
    EXPECT_EQ(ClickTracker::windowFor(200, 50), 10) << "200 ms at 50 ticks a second";
    EXPECT_EQ(ClickTracker::windowFor(300, 100), 30);
    // A settings file may ask for a very long delay; the window still holds
    // the whole number of ticks.
    EXPECT_EQ(ClickTracker::windowFor(100000000, 50), 5000000);
}
