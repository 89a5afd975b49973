// Transition frames of the Animator, checked pixel by pixel on small memory
// bitmaps (headless Allegro).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui/Animator.h"

#include "tests/support/headless.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 32});

constexpr int W = 20;
constexpr int H = 10;

// Every pixel of the new image has a colour of its own, so a canvas pixel
// tells which new-image pixel was copied there.
int newColour(int depth, int x, int y)
{
    return makecol_depth(depth, x * 12 + 3, y * 24 + 3, 200);
}

int oldColour(int depth)
{
    return makecol_depth(depth, 1, 2, 3);
}

struct Images {
    BITMAP* oldImage = nullptr;
    BITMAP* newImage = nullptr;
    BITMAP* canvas = nullptr;

    explicit Images(int depth = 32, int w = W, int h = H)
    {
        oldImage = create_bitmap_ex(depth, w, h);
        newImage = create_bitmap_ex(depth, w, h);
        canvas = create_bitmap_ex(depth, w, h);
        clear_to_color(oldImage, oldColour(depth));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                putpixel(newImage, x, y, newColour(depth, x, y));
        clear_to_color(canvas, makecol_depth(depth, 250, 250, 250));
    }
    ~Images()
    {
        destroy_bitmap(oldImage);
        destroy_bitmap(newImage);
        destroy_bitmap(canvas);
    }
};

// One expected canvas pixel: from the new image at (sx, sy), or old (sx < 0).
struct Expect {
    int cx, cy, sx, sy;
};

constexpr int OLD = -1;

struct FrameCase {
    int kind, t, L;
    std::vector<Expect> pixels;
};

std::string describe(const FrameCase& c, const Expect& e)
{
    return "kind " + std::to_string(c.kind) + " t=" + std::to_string(c.t) + "/" +
           std::to_string(c.L) + " at (" + std::to_string(e.cx) + "," + std::to_string(e.cy) + ")";
}

void checkFrame(const FrameCase& c)
{
    Images img;
    Animator::paintTransition(img.canvas, img.oldImage, img.newImage, c.kind, c.t, c.L);
    for (const Expect& e : c.pixels) {
        int got = getpixel(img.canvas, e.cx, e.cy);
        int want = e.sx == OLD ? oldColour(32) : newColour(32, e.sx, e.sy);
        EXPECT_EQ(got, want) << describe(c, e)
                             << (e.sx == OLD ? " should show the old image"
                                             : " should show new (" + std::to_string(e.sx) + "," +
                                                   std::to_string(e.sy) + ")");
    }
}

// W = 20, H = 10, so hw = 10 and hh = 5. Expected positions worked out by
// hand from the geometry of each kind.
TEST(AnimatorFrames, SlidesAndWipes)
{
    const std::vector<FrameCase> cases = {
        {0, 1, 4, {{0, 0, 0, 0}, {19, 9, 19, 9}, {7, 3, 7, 3}}},
        // slide in from the top: d = 10*3/4 = 7, rows 7..9 of the new image at 0..2
        {2, 1, 4, {{5, 0, 5, 7}, {5, 2, 5, 9}, {5, 3, OLD, 0}}},
        // slide in from the bottom: rows 0..2 at 7..9
        {3, 1, 4, {{5, 7, 5, 0}, {5, 9, 5, 2}, {5, 6, OLD, 0}}},
        // slide in from the right: d = 20*1/4 = 5
        {4, 3, 4, {{5, 4, 0, 4}, {19, 4, 14, 4}, {4, 4, OLD, 0}}},
        // slide in from the left
        {5, 3, 4, {{0, 4, 5, 4}, {14, 4, 19, 4}, {15, 4, OLD, 0}}},
        // wipe downwards: rows below 10*2/4 = 5
        {6, 2, 4, {{3, 0, 3, 0}, {3, 4, 3, 4}, {3, 5, OLD, 0}}},
        // wipe upwards: the last 2 rows
        {7, 1, 4, {{3, 8, 3, 8}, {3, 9, 3, 9}, {3, 7, OLD, 0}}},
        // wipe leftwards: the last 5 columns
        {8, 1, 4, {{15, 2, 15, 2}, {19, 2, 19, 2}, {14, 2, OLD, 0}}},
        // wipe rightwards: the first 15 columns
        {9, 3, 4, {{0, 2, 0, 2}, {14, 2, 14, 2}, {15, 2, OLD, 0}}},
    };
    for (const auto& c : cases)
        checkFrame(c);
}

TEST(AnimatorFrames, RowAndColumnBlinds)
{
    const std::vector<FrameCase> cases = {
        // p = 4*2/4 = 2: rows 2 and 6
        {10, 2, 4, {{1, 2, 1, 2}, {1, 6, 1, 6}, {1, 1, OLD, 0}, {1, 3, OLD, 0}, {1, 5, OLD, 0}}},
        // p = 4*3/4 = 3: rows 3 and 7
        {11, 1, 4, {{1, 3, 1, 3}, {1, 7, 1, 7}, {1, 2, OLD, 0}, {1, 6, OLD, 0}}},
        // p = 3: columns 3, 7, ..., 19
        {12, 1, 4, {{3, 5, 3, 5}, {19, 5, 19, 5}, {4, 5, OLD, 0}, {0, 5, OLD, 0}}},
        // p = 2: columns 2, 6, ..., 18
        {13, 2, 4, {{2, 5, 2, 5}, {18, 5, 18, 5}, {3, 5, OLD, 0}, {19, 5, OLD, 0}}},
    };
    for (const auto& c : cases)
        checkFrame(c);
}

TEST(AnimatorFrames, OpeningFromTheMiddle)
{
    const std::vector<FrameCase> cases = {
        // u = 5*1/4 = 1: new row 0 at row 4; a = 5 + 3 = 8: rows 8, 9 at 5, 6
        {14, 1, 4, {{2, 4, 2, 0}, {2, 5, 2, 8}, {2, 6, 2, 9}, {2, 3, OLD, 0}, {2, 7, OLD, 0}}},
        // u = 10*2/4 = 5: columns 0..4 at 5..9; a = 15: columns 15..19 at 10..14
        {15, 2, 4, {{5, 1, 0, 1}, {9, 1, 4, 1}, {10, 1, 15, 1}, {14, 1, 19, 1},
                    {4, 1, OLD, 0}, {15, 1, OLD, 0}}},
        // fx = 5, fy = 2, gx = 5, gy = 2
        {16, 2, 4, {{5, 3, 0, 0}, {9, 4, 4, 1}, {5, 5, 0, 7}, {10, 3, 15, 0}, {10, 5, 15, 7},
                    {14, 7, 19, 9}, {4, 4, OLD, 0}, {0, 0, OLD, 0}, {15, 5, OLD, 0}}},
        // d = 5*3/4 = 3: rows 3..6 in place
        {17, 1, 4, {{8, 3, 8, 3}, {8, 6, 8, 6}, {8, 2, OLD, 0}, {8, 7, OLD, 0}}},
        // d = 10*3/4 = 7: columns 7..12 in place
        {18, 1, 4, {{7, 0, 7, 0}, {12, 9, 12, 9}, {6, 0, OLD, 0}, {13, 0, OLD, 0}}},
        // dx = 5, dy = 2: the rectangle (5, 2, 10, 6) in place
        {19, 2, 4, {{5, 2, 5, 2}, {14, 7, 14, 7}, {4, 2, OLD, 0}, {15, 7, OLD, 0}, {5, 8, OLD, 0}}},
    };
    for (const auto& c : cases)
        checkFrame(c);
}

TEST(AnimatorFrames, HalvesAndQuartersSlidingIn)
{
    const std::vector<FrameCase> cases = {
        // d = 2: rows 2..4 at 0..2, rows 5..7 at 7..9
        {20, 2, 4, {{0, 0, 0, 2}, {0, 2, 0, 4}, {0, 7, 0, 5}, {0, 9, 0, 7},
                    {0, 3, OLD, 0}, {0, 6, OLD, 0}}},
        // d = 5: columns 5..9 at 0..4, columns 10..14 at 15..19
        {21, 2, 4, {{0, 3, 5, 3}, {4, 3, 9, 3}, {15, 3, 10, 3}, {19, 3, 14, 3},
                    {5, 3, OLD, 0}, {14, 3, OLD, 0}}},
        // dx = 5, dy = 2, pieces 5 x 3
        {22, 2, 4, {{0, 0, 5, 2}, {4, 2, 9, 4}, {0, 7, 5, 5}, {15, 0, 10, 2}, {19, 9, 14, 7},
                    {5, 0, OLD, 0}, {0, 3, OLD, 0}, {14, 9, OLD, 0}}},
    };
    for (const auto& c : cases)
        checkFrame(c);
}

TEST(AnimatorFrames, WipesTowardsTheMiddle)
{
    const std::vector<FrameCase> cases = {
        // top band 5*1/4 = 1 row; q = 3: rows 8, 9
        {23, 1, 4, {{10, 0, 10, 0}, {10, 8, 10, 8}, {10, 9, 10, 9}, {10, 1, OLD, 0}, {10, 7, OLD, 0}}},
        // left band 2 columns; q = 7: columns 17..19
        {24, 1, 4, {{0, 5, 0, 5}, {1, 5, 1, 5}, {17, 5, 17, 5}, {2, 5, OLD, 0}, {16, 5, OLD, 0}}},
        // four corners, fx = 5, fy = 2, gx = 5, gy = 2
        {25, 2, 4, {{4, 1, 4, 1}, {0, 9, 0, 9}, {15, 0, 15, 0}, {19, 9, 19, 9},
                    {5, 0, OLD, 0}, {0, 2, OLD, 0}, {10, 5, OLD, 0}, {15, 6, OLD, 0}}},
        // all four edges
        {26, 1, 4, {{10, 0, 10, 0}, {10, 9, 10, 9}, {0, 5, 0, 5}, {19, 5, 19, 5},
                    {10, 5, OLD, 0}, {5, 2, OLD, 0}}},
    };
    for (const auto& c : cases)
        checkFrame(c);
}

TEST(AnimatorFrames, UnknownKindsShowOnlyTheOldImage)
{
    for (int kind : {-1, 27, 1000}) {
        Images img;
        Animator::paintTransition(img.canvas, img.oldImage, img.newImage, kind, 2, 4);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(getpixel(img.canvas, x, y), oldColour(32)) << "kind " << kind;
    }
}

TEST(AnimatorFrames, FinalCounterShowsTheWholeNewImageForEveryKind)
{
    for (int kind = 0; kind < Animator::kindCount; ++kind) {
        Images img;
        Animator::paintTransition(img.canvas, img.oldImage, img.newImage, kind, 4, 4);
        if (kind >= 10 && kind <= 13)
            continue;  // the blinds show a single set of rows or columns at a time
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(getpixel(img.canvas, x, y), newColour(32, x, y))
                    << "kind " << kind << " at (" << x << "," << y << ")";
    }
}

TEST(AnimatorFade, AlphaGrowsWithTheSquareOfTheCounter)
{
    for (int depth : {16, 32}) {
        BITMAP* oldImage = create_bitmap_ex(depth, 4, 4);
        BITMAP* newImage = create_bitmap_ex(depth, 4, 4);
        BITMAP* canvas = create_bitmap_ex(depth, 4, 4);
        clear_to_color(oldImage, makecol_depth(depth, 0, 0, 0));
        clear_to_color(newImage, makecol_depth(depth, 255, 255, 255));

        // alpha = 256 * t^2 / L^2: 0 at t = 0, 64 at t = 1 of 2, full at t = L.
        Animator::paintTransition(canvas, oldImage, newImage, 1, 0, 2);
        EXPECT_EQ(getr_depth(depth, getpixel(canvas, 1, 1)), 0) << depth;

        Animator::paintTransition(canvas, oldImage, newImage, 1, 1, 2);
        int quarter = getg_depth(depth, getpixel(canvas, 1, 1));
        EXPECT_NEAR(quarter, 64, 8) << depth;

        Animator::paintTransition(canvas, oldImage, newImage, 1, 3, 4);
        int later = getg_depth(depth, getpixel(canvas, 1, 1));
        EXPECT_NEAR(later, 144, 8) << depth;  // 256 * 9 / 16

        Animator::paintTransition(canvas, oldImage, newImage, 1, 2, 2);
        EXPECT_EQ(getpixel(canvas, 2, 2), makecol_depth(depth, 255, 255, 255)) << depth;

        destroy_bitmap(oldImage);
        destroy_bitmap(newImage);
        destroy_bitmap(canvas);
    }
}

TEST(AnimatorState, LengthBecomesTicks)
{
    EXPECT_EQ(Animator::lengthToTicks(100, 50), 5);
    EXPECT_EQ(Animator::lengthToTicks(1000, 60), 60);
    EXPECT_EQ(Animator::lengthToTicks(19, 50), 1);   // 0.95 ticks rounds down, at least 1
    EXPECT_EQ(Animator::lengthToTicks(0, 50), 1);
    EXPECT_EQ(Animator::lengthToTicks(500, 0), 1);   // no logic rate: a single tick
    EXPECT_EQ(Animator::lengthToTicks(2000000000, 1000), 2000000000);  // no overflow
}

TEST(AnimatorState, CounterRunsFromOneToTheNumberOfTicks)
{
    BITMAP* canvas = create_bitmap_ex(32, 8, 6);
    clear_to_color(canvas, makecol(10, 20, 30));

    Animator a;
    EXPECT_FALSE(a.started());
    EXPECT_FALSE(a.inProgress());
    EXPECT_EQ(a.counter(), 1);
    EXPECT_FALSE(a.step());

    ASSERT_TRUE(a.start(canvas, 60, 50));  // 3 ticks
    EXPECT_EQ(a.ticks(), 3);
    EXPECT_EQ(a.counter(), 1);
    EXPECT_TRUE(a.inProgress());
    ASSERT_NE(a.oldImage(), nullptr);
    ASSERT_NE(a.newImage(), nullptr);
    EXPECT_EQ(a.newImage()->w, 8);
    EXPECT_EQ(a.newImage()->h, 6);
    EXPECT_EQ(getpixel(a.oldImage(), 7, 5), makecol(10, 20, 30));

    EXPECT_FALSE(a.step());
    EXPECT_EQ(a.counter(), 2);
    EXPECT_TRUE(a.step());   // reaches 3: ends
    EXPECT_FALSE(a.inProgress());
    EXPECT_FALSE(a.step());  // stays ended
    EXPECT_EQ(a.counter(), 3);

    // The final picture goes wherever it is asked to.
    clear_to_color(a.newImage(), makecol(200, 0, 0));
    BITMAP* target = create_bitmap_ex(32, 20, 20);
    clear_to_color(target, 0);
    a.finish(target, 5, 7);
    EXPECT_EQ(getpixel(target, 5, 7), makecol(200, 0, 0));
    EXPECT_EQ(getpixel(target, 12, 12), makecol(200, 0, 0));
    EXPECT_EQ(getpixel(target, 13, 12), 0);
    EXPECT_EQ(getpixel(target, 4, 7), 0);

    a.reset();
    EXPECT_FALSE(a.started());
    EXPECT_EQ(a.counter(), 1);
    EXPECT_EQ(a.newImage(), nullptr);

    EXPECT_FALSE(a.start(nullptr, 100, 50));
    EXPECT_FALSE(a.started());

    destroy_bitmap(target);
    destroy_bitmap(canvas);
}

TEST(AnimatorState, FramesFollowTheCounter)
{
    BITMAP* canvas = create_bitmap_ex(32, 10, 10);
    clear_to_color(canvas, makecol(0, 0, 255));
    Animator a;
    ASSERT_TRUE(a.start(canvas, 200, 50));  // 10 ticks
    clear_to_color(a.newImage(), makecol(255, 0, 0));

    // Wipe downwards: t rows of the new image after t ticks.
    for (int t = 1; t < 10; ++t) {
        a.paintFrame(canvas, 6);
        EXPECT_EQ(getpixel(canvas, 3, t - 1), makecol(255, 0, 0)) << t;
        EXPECT_EQ(getpixel(canvas, 3, t), makecol(0, 0, 255)) << t;
        a.step();
    }
    destroy_bitmap(canvas);
}

}  // namespace
