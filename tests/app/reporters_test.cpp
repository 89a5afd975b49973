// The progress and search reporters drawing on a screen that is a memory
// bitmap here: where the line stands, its font and colours, the grey lines.

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <thread>

#include "app/ProgressTexts.h"
#include "app/ScreenReporters.h"
#include "gui/Font.h"
#include "gui/Skin.h"
#include "gui/alfont/alfont.h"
#include "terrain/Vertex.h"

#include "tests/support/headless.h"
#include "tests/support/pixels.h"

namespace {

const auto* const env = testkit::headlessAllegro({.asciiText = true, .then = [] {
    ASSERT_EQ(alfont_init(), 0);
    set_color_depth(16);
}});

using testkit::BitmapPtr;

constexpr std::chrono::milliseconds direct{0};

BitmapPtr blankScreen(int depth = 16)
{
    BitmapPtr b(create_bitmap_ex(depth, 800, 600));
    clear_to_color(b.get(), makecol_depth(depth, 20, 40, 60));  // a colour the reporters never use
    return b;
}

int differences(BITMAP* a, BITMAP* b)
{
    int n = 0;
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            n += getpixel(a, x, y) != getpixel(b, x, y);
    return n;
}

// `screen` is a memory bitmap; the global skin's fonts 0 and 1 differ.
class ReportersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        screen = screenBitmap.get();
        auto* skin = new Skin("default");
        skin->font(1).setSize(14);
        ASSERT_EQ(skin->font(1).load("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").code(), 0);
        setGlobalSkin(skin);
    }
    void TearDown() override
    {
        screen = nullptr;
        setGlobalSkin(nullptr);
    }
    // What Font::print draws for the same line on a fresh screen.
    BitmapPtr printed(const Font& font, const char* format, auto... values)
    {
        BitmapPtr expected = blankScreen();
        font.print(expected.get(), 30, 550, makecol16(0, 0, 0), makecol16(210, 210, 210), Font::Left, format, values...);
        return expected;
    }
    BitmapPtr screenBitmap = blankScreen();
};

TEST_F(ReportersTest, ProgressLineIsFontOnePrintedBlackOnOpaqueGreyAt30And550)
{
    ASSERT_EQ(&progressFont(), &globalSkin()->font(1));
    ScreenBuildProgress progress(direct);
    progress.stageProgress(2, 7, 64);
    EXPECT_EQ(differences(screen, printed(globalSkin()->font(1), markStageFormat, 7, 64).get()), 0);
    EXPECT_GT(differences(screen, printed(globalSkin()->font(0), markStageFormat, 7, 64).get()), 0);

    // Only the box of the line is touched, all of it black or background.
    const std::string text = formatProgressLine(markStageFormat, 7, 64);
    const int right = 30 + progressFont().textLength(text.c_str());
    const int bottom = 550 + progressFont().textHeight();
    int black = 0, grey = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const int pixel = getpixel(screen, x, y);
            if (x < 30 || x >= right || y < 550 || y >= bottom) {
                ASSERT_EQ(pixel, makecol16(20, 40, 60)) << "touched at " << x << "," << y;
            }
            black += pixel == makecol16(0, 0, 0);
            grey += pixel == makecol16(210, 210, 210);
        }
    }
    EXPECT_GT(black, 50);
    EXPECT_GT(grey, black);
    EXPECT_EQ(getpixel(screen, 30, 550), makecol16(210, 210, 210));

    // Without a skin the lines fall back to the built-in font.
    setGlobalSkin(nullptr);
    EXPECT_TRUE(progressFont().isBuiltIn());
}

TEST_F(ReportersTest, SearchStatusAndExaminedEdges)
{
    ScreenSearchObserver observer(direct);
    observer.searchStatus(SearchKind::full, SearchPhase::correction, 1234.0);
    EXPECT_EQ(differences(screen, printed(progressFont(), searchCorrectionFormat, 1234.0).get()), 0);

    // A grey line shifted by the map view's place, at the screen's own depth.
    for (int depth : {16, 32}) {
        BitmapPtr target = blankScreen(depth);
        screen = target.get();
        Vertex from, to;
        from.y = to.y = 3;
        to.x = 40;
        observer.examinedEdge({5, &from, &to});
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 60; ++x) {
                const bool onLine = y == 13 && x >= 10 && x <= 50;
                ASSERT_EQ(getpixel(screen, x, y), onLine ? makecol_depth(depth, 128, 128, 128)
                                                         : makecol_depth(depth, 20, 40, 60))
                    << depth << ": " << x << "," << y;
            }
        }
    }
    // On a real map drawn at twice its size the line is twice as far out.
    BitmapPtr scaledTarget = blankScreen();
    screen = scaledTarget.get();
    Vertex from, to;
    from.x = from.y = to.y = 3;
    to.x = 40;
    ScreenSearchObserver(direct, 2).examinedEdge({5, &from, &to});
    EXPECT_EQ(getpixel(screen, 16, 16), makecol(128, 128, 128));
    EXPECT_EQ(getpixel(screen, 90, 16), makecol(128, 128, 128));
    EXPECT_EQ(getpixel(screen, 91, 16), makecol(20, 40, 60));
    EXPECT_EQ(getpixel(screen, 15, 16), makecol(20, 40, 60));

    // No screen, no such stage, no vertex: nothing happens.
    screen = nullptr;
    observer.searchStatus(SearchKind::full, SearchPhase::pass, 1.0);
    observer.examinedEdge({1, nullptr, nullptr});
    ScreenBuildProgress(direct).stageProgress(1, 1, 1);
    ScreenBuildProgress().stageProgress(1, 1, 1);
    BitmapPtr untouched = blankScreen();
    screen = untouched.get();
    ScreenBuildProgress(direct).stageProgress(0, 1, 1);
    ScreenBuildProgress().stageProgress(4, 1, 1);
    EXPECT_EQ(differences(screen, blankScreen().get()), 0);
}

// Batched drawing shows nothing until its interval has passed or it is
// flushed, and then exactly what direct drawing shows.
TEST_F(ReportersTest, BatchedDrawingEndsWithThePixelsOfDirectDrawing)
{
    Vertex a, b, c;
    a.x = 3, a.y = 4, b.x = 200, b.y = 90, c.x = 512, c.y = 512;
    auto draw = [&](ScreenSearchObserver& observer) {
        observer.searchStatus(SearchKind::full, SearchPhase::pass, 0.0);
        observer.examinedEdge({1, &a, &b});
        observer.examinedEdge({1, &b, &c});
        observer.examinedEdge({1, &c, &a});
        observer.searchStatus(SearchKind::full, SearchPhase::correction, 987.5);
    };
    BitmapPtr directScreen = blankScreen();
    screen = directScreen.get();
    ScreenBuildProgress(direct).stageProgress(1, 1, 4);
    BitmapPtr afterProgress = blankScreen();
    blit(directScreen.get(), afterProgress.get(), 0, 0, 0, 0, 800, 600);
    {
        ScreenSearchObserver observer(direct);
        draw(observer);
    }
    screen = screenBitmap.get();
    {
        ScreenBuildProgress progress(std::chrono::hours(1));
        progress.stageProgress(1, 1, 4);
        EXPECT_EQ(differences(screen, blankScreen().get()), 0) << "shown before its time";
    }
    EXPECT_EQ(differences(screen, afterProgress.get()), 0);
    {
        ScreenSearchObserver observer(std::chrono::hours(1));
        draw(observer);
        EXPECT_EQ(differences(screen, afterProgress.get()), 0) << "shown before its time";
        observer.searchStatus(SearchKind::full, SearchPhase::pass, 1.0);
        observer.examinedEdge({1, &a, &c});
    }
    // The last two calls are drawn over what direct drawing left.
    ScreenSearchObserver more(direct);
    screen = directScreen.get();
    more.searchStatus(SearchKind::full, SearchPhase::pass, 1.0);
    more.examinedEdge({1, &a, &c});
    screen = screenBitmap.get();
    EXPECT_EQ(differences(screen, directScreen.get()), 0);

    // Lines of different widths, as a build and a search print them: the
    // tails that shorter lines leave of longer ones come out the same.
    BitmapPtr directLines = blankScreen(), batchedLines = blankScreen();
    auto printAll = [&](std::chrono::milliseconds interval) {
        {
            ScreenBuildProgress progress(interval);
            for (int32_t stage : {1, 2, 3})
                for (int done : {1, 9, 10, 99, 100, 1024})
                    progress.stageProgress(stage, done, 1024);
        }
        ScreenSearchObserver observer(interval);
        for (double length : {0.0, 0.0, 3.0, 1234.5, 7.0, 100000.0, 12.0})
            for (auto [kind, phase] : {std::pair{SearchKind::full, SearchPhase::correction},
                     std::pair{SearchKind::full, SearchPhase::pass}, std::pair{SearchKind::quick, SearchPhase::pass}})
                observer.searchStatus(kind, phase, length);
    };
    screen = directLines.get();
    printAll(direct);
    screen = batchedLines.get();
    printAll(std::chrono::hours(1));
    EXPECT_EQ(differences(directLines.get(), batchedLines.get()), 0);
    screen = screenBitmap.get();

    // A short interval shows the picture while the work goes on.
    BitmapPtr live = blankScreen();
    screen = live.get();
    ScreenSearchObserver observer(std::chrono::milliseconds(1));
    observer.examinedEdge({1, &a, &b});
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    observer.examinedEdge({1, &b, &c});
    EXPECT_EQ(getpixel(screen, b.x + 10, b.y + 10), makecol16(128, 128, 128));
}

}  // namespace
