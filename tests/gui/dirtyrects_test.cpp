// Tests of the dirty rectangle list (gui/DirtyRects.cpp): cutting overlaps,
// corner cases and random sequences against the covered union.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gui/DirtyRects.h"

namespace {

// Which pixels of the area -50..249 the rectangles cover (1) or not (0).
std::vector<char> pixels(const std::vector<Rect>& rects)
{
    constexpr int side = 300, off = 50;
    std::vector<char> out(side * side, 0);
    for (const Rect& r : rects)
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x)
                out[(y + off) * side + x + off] = 1;
    return out;
}

void expectNoOverlaps(const DirtyRectList& list)
{
    const auto& rs = list.rects();
    for (std::size_t i = 0; i < rs.size(); ++i)
        for (std::size_t j = i + 1; j < rs.size(); ++j)
            EXPECT_FALSE(DirtyRectList::overlaps(rs[i], rs[j]))
                << "entries " << i << " and " << j << " overlap";
}

} // namespace

TEST(DirtyRects, SeparateAndTouchingRectanglesAreKeptAsGiven)
{
    DirtyRectList list;
    list.add(Rect(0, 0, 10, 10));
    list.add(Rect(10, 0, 10, 10)); // touches the right edge only
    list.add(Rect(0, 10, 10, 10)); // touches the bottom edge only
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.rects()[1], Rect(10, 0, 10, 10));
    EXPECT_EQ(list.rects()[2], Rect(0, 10, 10, 10));
}

TEST(DirtyRects, SameRectangleTwiceLeavesOneEntry)
{
    DirtyRectList list;
    list.add(Rect(5, 6, 30, 40));
    list.add(Rect(5, 6, 30, 40));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.rects()[0], Rect(5, 6, 30, 40));
}

TEST(DirtyRects, RectangleInsideRecordedOneAddsNothing)
{
    DirtyRectList list;
    list.add(Rect(0, 0, 100, 100));
    list.add(Rect(10, 10, 20, 20));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.rects()[0], Rect(0, 0, 100, 100));
}

TEST(DirtyRects, EnclosingRectangleRecordsFourPiecesAroundTheRecordedOne)
{
    DirtyRectList list;
    const Rect inner(40, 40, 20, 20);
    const Rect outer(0, 0, 100, 100);
    list.add(inner);
    list.add(outer);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list.rects()[0], inner);
    // Above, left, right, below.
    EXPECT_EQ(list.rects()[1], Rect(0, 0, 100, 40));
    EXPECT_EQ(list.rects()[2], Rect(0, 40, 40, 20));
    EXPECT_EQ(list.rects()[3], Rect(60, 40, 40, 20));
    EXPECT_EQ(list.rects()[4], Rect(0, 60, 100, 40));
    EXPECT_EQ(pixels(list.rects()), pixels({outer}));
    expectNoOverlaps(list);
}

TEST(DirtyRects, TopHalfOverlapRecordsOnlyTheLowerPart)
{
    DirtyRectList list;
    list.add(Rect(0, 0, 100, 50));
    list.add(Rect(10, 20, 50, 60)); // its top corners lie in the first one
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.rects()[1], Rect(10, 50, 50, 30));
}

TEST(DirtyRects, EachCornerCaseCutsTheRightPieces)
{
    const Rect q(50, 50, 50, 50);
    struct Case {
        Rect r;
        std::vector<Rect> expected;
    };
    const std::vector<Case> cases = {
        // top-left corner inside: right part, then strip below
        {Rect(60, 60, 60, 60), {Rect(100, 60, 20, 40), Rect(60, 100, 60, 20)}},
        // top-right corner inside: left part, then strip below
        {Rect(30, 60, 40, 60), {Rect(30, 60, 20, 40), Rect(30, 100, 40, 20)}},
        // bottom-left inside: strip above, then right part
        {Rect(60, 30, 60, 40), {Rect(60, 30, 60, 20), Rect(100, 50, 20, 20)}},
        // bottom-right inside: strip above, then left part
        {Rect(30, 30, 40, 40), {Rect(30, 30, 40, 20), Rect(30, 50, 20, 20)}},
        // left side inside (corners 1 and 4): right part only
        {Rect(60, 60, 60, 20), {Rect(100, 60, 20, 20)}},
        // right side inside (corners 2 and 8): left part only
        {Rect(30, 60, 40, 20), {Rect(30, 60, 20, 20)}},
        // bottom side inside (corners 4 and 8): strip above only
        {Rect(60, 30, 20, 40), {Rect(60, 30, 20, 20)}},
        // top side inside (corners 1 and 2): strip below only
        {Rect(60, 60, 20, 60), {Rect(60, 100, 20, 20)}},
        // a bar crossing q: the parts left and right of it
        {Rect(30, 60, 100, 10), {Rect(30, 60, 20, 10), Rect(100, 60, 30, 10)}},
    };
    for (const Case& c : cases) {
        DirtyRectList list;
        list.add(q);
        list.add(c.r);
        std::vector<Rect> got(list.rects().begin() + 1, list.rects().end());
        EXPECT_EQ(got, c.expected) << "r = " << c.r.x << "," << c.r.y << " " << c.r.w << "x" << c.r.h;
    }
}

TEST(DirtyRects, EmptyRectanglesAreIgnored)
{
    DirtyRectList list;
    list.add(Rect(10, 10, 0, 30));
    list.add(Rect(10, 10, 30, -4));
    EXPECT_TRUE(list.empty());
}

TEST(DirtyRects, RandomSequencesCoverExactlyTheUnionWithoutOverlap)
{
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> pos(-20, 120);
    std::uniform_int_distribution<int> size(1, 60);
    for (int round = 0; round < 100; ++round) {
        DirtyRectList list;
        std::vector<Rect> added;
        const int n = 1 + round % 12;
        for (int i = 0; i < n; ++i) {
            const Rect r(pos(rng), pos(rng), size(rng), size(rng));
            added.push_back(r);
            list.add(r);
        }
        expectNoOverlaps(list);
        EXPECT_EQ(pixels(list.rects()), pixels(added)) << "round " << round;
        if (HasFailure())
            return;
    }
}
