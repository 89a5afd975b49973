// Tests of gui/ScreenUpdate.cpp: choosing a method with fallbacks and what
// each method brings to a memory screen.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include <allegro.h>

#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"

#include "tests/support/headless.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 16});

// Allegro without a graphics driver; `screen` is a memory bitmap so that
// what reaches the screen can be read back.
class ScreenUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = theSettings;
        screen = create_bitmap(160, 120);
        ASSERT_NE(screen, nullptr);
        clear_to_color(screen, black());
    }

    void TearDown() override
    {
        ScreenUpdate::destroyInstance();
        destroy_bitmap(screen);
        screen = nullptr;
        theSettings = saved_;
    }

    static int red() { return makecol(255, 0, 0); }
    static int black() { return makecol(0, 0, 0); }
    static bool isRed(BITMAP* b, int x, int y)
    {
        const int c = getpixel(b, x, y);
        return getr(c) == 255 && getg(c) == 0 && getb(c) == 0;
    }

    Settings saved_;
};

} // namespace

TEST_F(ScreenUpdateTest, SelectionFallsBackWhenThereIsNoVideoMemory)
{
    const std::pair<int, std::string> expected[] = {
        {0, "Double Buffering"},
        {1, "Double Buffering"},   // page flipping needs video pages
        {2, "Double Buffering"},   // no triple buffering, no pages
        {3, "Dirty Rectangle System"},
        {7, "default Allegro update driver"},
        {-1, "default Allegro update driver"},
    };
    for (const auto& [method, name] : expected) {
        auto update = ScreenUpdate::choose(method);
        ASSERT_NE(update, nullptr);
        EXPECT_EQ(update->name(), name) << "method " << method;
        ASSERT_NE(update->target(), nullptr) << "method " << method;
        EXPECT_EQ(update->target()->w, 160);
        EXPECT_EQ(update->target()->h, 120);
    }
}

TEST_F(ScreenUpdateTest, FailedCreationReportsWhatWasMissing)
{
    TripleBufferUpdate triple;
    EXPECT_EQ(triple.create(), Error(Error::TRIPLE_BUFFERING));
    PageFlipUpdate pages;
    EXPECT_EQ(pages.create(), Error(Error::OUT_OF_VIDEO_MEMORY));
    EXPECT_EQ(pages.target(), nullptr);
    EXPECT_STREQ(triple.name(), "Triple Buferring");
    EXPECT_STREQ(pages.name(), "Page Flipping");

    // Without any screen there is nothing to double-buffer or to draw on.
    destroy_bitmap(screen);
    screen = nullptr;
    DoubleBufferUpdate buffer;
    EXPECT_EQ(buffer.create(), Error(Error::OUT_OF_MEMORY));
    auto fallback = ScreenUpdate::choose(0);
    EXPECT_STREQ(fallback->name(), "default Allegro update driver");
    EXPECT_EQ(fallback->target(), nullptr);
    screen = create_bitmap(160, 120);
}

TEST_F(ScreenUpdateTest, OnlyBufferAndPageMethodsRedrawEverything)
{
    EXPECT_TRUE(DoubleBufferUpdate().redrawsEverything());
    EXPECT_TRUE(PageFlipUpdate().redrawsEverything());
    EXPECT_TRUE(TripleBufferUpdate().redrawsEverything());
    EXPECT_FALSE(DirtyRectangleUpdate().redrawsEverything());
    EXPECT_FALSE(DirectUpdate().redrawsEverything());
}

TEST_F(ScreenUpdateTest, DoubleBufferingShowsTheWholeBuffer)
{
    DoubleBufferUpdate update;
    ASSERT_FALSE(update.create().isFatal());
    clear_to_color(update.target(), red());
    EXPECT_FALSE(isRed(screen, 0, 0)) << "nothing may reach the screen before show";
    update.show();
    EXPECT_TRUE(isRed(screen, 0, 0));
    EXPECT_TRUE(isRed(screen, 159, 119));
}

TEST_F(ScreenUpdateTest, DirtyRectanglesBringOnlyRecordedAreasToTheScreen)
{
    DirtyRectangleUpdate update;
    ASSERT_FALSE(update.create().isFatal());
    clear_to_color(update.target(), red());
    update.invalidate(10, 20, 30, 40);
    update.invalidate(Rect(20, 30, 5, 5)); // inside the first: no new entry
    EXPECT_EQ(update.dirtyList().size(), 1u);
    update.show();
    EXPECT_TRUE(update.dirtyList().empty());
    EXPECT_TRUE(isRed(screen, 10, 20));
    EXPECT_TRUE(isRed(screen, 39, 59));
    EXPECT_FALSE(isRed(screen, 40, 20));
    EXPECT_FALSE(isRed(screen, 10, 60));
    EXPECT_FALSE(isRed(screen, 0, 0));

    // A second show without new areas copies nothing.
    clear_to_color(screen, black());
    update.show();
    EXPECT_FALSE(isRed(screen, 10, 20));
}

TEST_F(ScreenUpdateTest, DirectDrawingGoesStraightToTheScreen)
{
    DirectUpdate update;
    ASSERT_FALSE(update.create().isFatal());
    putpixel(update.target(), 5, 7, red());
    EXPECT_TRUE(isRed(screen, 5, 7));
    update.destroy();
    EXPECT_EQ(update.target(), nullptr);
}

TEST_F(ScreenUpdateTest, OneRunningMethodChosenFromTheSettings)
{
    EXPECT_EQ(ScreenUpdate::current(), nullptr);
    theSettings.screenUpdateMethod = 3;
    ScreenUpdate* first = ScreenUpdate::instance();
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name(), "Dirty Rectangle System");
    theSettings.screenUpdateMethod = 0; // not looked at again while one runs
    EXPECT_EQ(ScreenUpdate::instance(), first);
    EXPECT_EQ(ScreenUpdate::current(), first);
    ScreenUpdate::destroyInstance();
    EXPECT_EQ(ScreenUpdate::current(), nullptr);
    EXPECT_STREQ(ScreenUpdate::instance()->name(), "Double Buffering");

    // A method installed from outside replaces it and is not owned.
    DirectUpdate outside;
    ASSERT_FALSE(outside.create().isFatal());
    ScreenUpdate::setCurrent(&outside);
    EXPECT_EQ(ScreenUpdate::current(), &outside);
    ScreenUpdate::setCurrent(nullptr);
    EXPECT_EQ(ScreenUpdate::current(), nullptr);
    EXPECT_NE(outside.target(), nullptr);
}

TEST_F(ScreenUpdateTest, RecreateFollowsANewScreenSize)
{
    theSettings.screenUpdateMethod = 0;
    ScreenUpdate* u = ScreenUpdate::instance();
    destroy_bitmap(screen);
    screen = create_bitmap(200, 100);
    ScreenUpdate::recreate();
    ASSERT_EQ(ScreenUpdate::current(), u);
    ASSERT_NE(u->target(), nullptr);
    EXPECT_EQ(u->target()->w, 200);
    EXPECT_EQ(u->target()->h, 100);
}
