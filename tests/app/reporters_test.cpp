// The progress and search reporters drawing on a screen that is a memory
// bitmap here: where the line stands, its font and colours, the grey lines.

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "app/MapViews.h"
#include "app/ScreenReporters.h"
#include "gui/Font.h"
#include "gui/Skin.h"
#include "gui/alfont/alfont.h"
#include "route/ModelBuild.h"
#include "route/RouteSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/PatchGrid.h"
#include "terrain/Vertex.h"

namespace {

const char* const sansPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class AllegroEnv : public ::testing::Environment {
public:
    void SetUp() override
    {
        set_uformat(U_ASCII);
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
        ASSERT_EQ(alfont_init(), 0);
        set_color_depth(16);
    }
};

const auto* const env = ::testing::AddGlobalTestEnvironment(new AllegroEnv);

struct BitmapDeleter {
    void operator()(BITMAP* b) const { destroy_bitmap(b); }
};
using BitmapPtr = std::unique_ptr<BITMAP, BitmapDeleter>;

constexpr int screenBackground = 0x3c;  // some colour the reporters never use

BitmapPtr blankScreen(int depth)
{
    BitmapPtr b(create_bitmap_ex(depth, 800, 600));
    clear_to_color(b.get(), makecol_depth(depth, 20, 40, screenBackground));
    return b;
}

// Number of pixels where two bitmaps of one size differ.
int differences(BITMAP* a, BITMAP* b)
{
    int n = 0;
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            n += getpixel(a, x, y) != getpixel(b, x, y);
    return n;
}

// Differences inside the box a line of `text` covers at (30, 550).
int differencesInLine(BITMAP* a, BITMAP* b, const Font& font, const std::string& text)
{
    int n = 0;
    const int right = 30 + font.textLength(text.c_str());
    for (int y = 550; y < 550 + font.textHeight(); ++y)
        for (int x = 30; x < right; ++x)
            n += getpixel(a, x, y) != getpixel(b, x, y);
    return n;
}

// The reporters draw on whatever `screen` is; each test gives it a memory
// bitmap and a global skin whose fonts 0 and 1 differ.
class ReportersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedScreen_ = screen;
        screenBitmap = blankScreen(16);
        screen = screenBitmap.get();
        auto* skin = new Skin("default");
        skin->font(1).setSize(14);
        ASSERT_EQ(skin->font(1).load(sansPath).code(), 0);
        setGlobalSkin(skin);
    }
    void TearDown() override
    {
        screen = savedScreen_;
        setGlobalSkin(nullptr);
    }

    // What Font::print draws for the same line on a fresh screen.
    BitmapPtr expectedLine(const Font& font, const char* format, auto... values)
    {
        BitmapPtr expected = blankScreen(bitmap_color_depth(screenBitmap.get()));
        font.print(expected.get(), 30, 550, makecol16(0, 0, 0), makecol16(210, 210, 210), Font::Left, format,
                   values...);
        return expected;
    }

    BitmapPtr screenBitmap;

private:
    BITMAP* savedScreen_ = nullptr;
};

TEST_F(ReportersTest, LinesArePrintedInFontOneOfTheGlobalSkin)
{
    const Font& font = globalSkin()->font(1);
    EXPECT_EQ(&progressFont(), &font);

    ScreenBuildProgress progress;
    progress.stageProgress(2, markStageFormat, 7, 64);
    BitmapPtr expected = expectedLine(font, markStageFormat, 7, 64);
    EXPECT_EQ(differences(screenBitmap.get(), expected.get()), 0);

    // The same line in font 0 would look different: the slot matters.
    BitmapPtr other = blankScreen(16);
    globalSkin()->font(0).print(other.get(), 30, 550, makecol16(0, 0, 0), makecol16(210, 210, 210), Font::Left,
                                markStageFormat, 7, 64);
    EXPECT_GT(differences(other.get(), expected.get()), 0);
}

TEST_F(ReportersTest, ProgressLineIsBlackOnOpaqueGreyAtItsPlace)
{
    ScreenBuildProgress progress;
    progress.stageProgress(1, modelStageFormat, 12, 12);

    const Font& font = progressFont();
    const std::string text = formatProgressLine(modelStageFormat, 12, 12);
    const int right = 30 + font.textLength(text.c_str());
    const int bottom = 550 + font.textHeight();
    int black = 0;
    int grey = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const int pixel = getpixel(screen, x, y);
            const bool inside = x >= 30 && x < right && y >= 550 && y < bottom;
            if (!inside) {
                ASSERT_EQ(pixel, makecol16(20, 40, screenBackground)) << "touched at " << x << "," << y;
                continue;
            }
            black += pixel == makecol16(0, 0, 0);
            grey += pixel == makecol16(210, 210, 210);
        }
    }
    EXPECT_GT(black, 50);
    EXPECT_GT(grey, black);  // the background is opaque over the whole line
    // Left-aligned at x = 30, top at y = 550: the first column and row of
    // the line are background (the glyphs have side bearings and the line
    // an ascent above the letters).
    EXPECT_EQ(getpixel(screen, 30, 550), makecol16(210, 210, 210));
}

TEST_F(ReportersTest, ANewLineCoversTheOldOneWithItsBackground)
{
    ScreenBuildProgress progress;
    progress.stageProgress(1, modelStageFormat, 12345, 67890);
    progress.stageProgress(1, modelStageFormat, 1, 2);
    BitmapPtr expected = expectedLine(progressFont(), modelStageFormat, 12345, 67890);
    progressFont().print(expected.get(), 30, 550, makecol16(0, 0, 0), makecol16(210, 210, 210), Font::Left,
                         modelStageFormat, 1, 2);
    EXPECT_EQ(differences(screen, expected.get()), 0);
    // Over its own width the new line is all there is (the old digits are
    // gone under the opaque background).
    BitmapPtr onlyLast = expectedLine(progressFont(), modelStageFormat, 1, 2);
    EXPECT_EQ(differencesInLine(screen, onlyLast.get(), progressFont(), formatProgressLine(modelStageFormat, 1, 2)), 0);
}

TEST_F(ReportersTest, SearchStatusMatchesTheFormattedLine)
{
    ScreenSearchObserver observer;
    observer.statusLine(searchCorrectionFormat, 1234.0);
    BitmapPtr expected = expectedLine(progressFont(), searchCorrectionFormat, 1234.0);
    EXPECT_EQ(differences(screen, expected.get()), 0);

    BitmapPtr different = expectedLine(progressFont(), searchCorrectionFormat, 1235.0);
    EXPECT_GT(differences(screen, different.get()), 0);
}

TEST_F(ReportersTest, ExaminedEdgesAreGreyLinesMovedToTheMapView)
{
    for (int depth : {16, 32}) {
        BitmapPtr target = blankScreen(depth);
        screen = target.get();
        Vertex from, to;
        from.x = 0, from.y = 3;
        to.x = 40, to.y = 3;
        ScreenSearchObserver observer;
        observer.examinedEdge({5, &from, &to});

        int grey = 0;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 60; ++x) {
                const int pixel = getpixel(screen, x, y);
                const bool onLine = y == 13 && x >= 10 && x <= 50;
                if (onLine) {
                    ++grey;
                    ASSERT_EQ(pixel, makecol_depth(depth, 128, 128, 128)) << x;
                } else {
                    ASSERT_EQ(pixel, makecol_depth(depth, 20, 40, screenBackground)) << x << "," << y;
                }
            }
        }
        EXPECT_EQ(grey, 41);
        screen = screenBitmap.get();
    }
}

TEST_F(ReportersTest, NothingIsDrawnWithoutAScreenOrAFormat)
{
    ScreenBuildProgress progress;
    ScreenSearchObserver observer;
    Vertex a, b;
    progress.stageProgress(1, nullptr, 1, 1);
    observer.statusLine(nullptr, 1.0);
    BitmapPtr untouched = blankScreen(16);
    EXPECT_EQ(differences(screen, untouched.get()), 0);

    screen = nullptr;
    progress.stageProgress(1, modelStageFormat, 1, 1);
    observer.statusLine(searchPassFormat, 1.0);
    observer.examinedEdge({1, &a, &b});
    observer.examinedEdge({1, nullptr, &b});
    screen = screenBitmap.get();
}

TEST_F(ReportersTest, WithoutAGlobalSkinTheBuiltInFontIsUsed)
{
    setGlobalSkin(nullptr);
    ASSERT_EQ(globalSkin(), nullptr);
    EXPECT_TRUE(progressFont().isBuiltIn());
    ScreenBuildProgress progress;
    progress.stageProgress(3, graphStageFormat, 4, 9);
    Font builtIn;
    BitmapPtr expected = expectedLine(builtIn, graphStageFormat, 4, 9);
    EXPECT_EQ(differences(screen, expected.get()), 0);
}

// A whole build and a search with the reporters attached: the last line of
// the build is that of stage 3 with all patches done, the search leaves its
// status line and a grey line for an edge of the found route.
TEST_F(ReportersTest, BuildAndSearchReportOnTheScreen)
{
    HeightMap map;
    const std::string name = testing::TempDir() + "reporters-flat.raw";
    {
        FILE* out = std::fopen(name.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        for (int i = 0; i < 257 * 257; ++i)
            std::fputc(50, out);
        std::fclose(out);
    }
    ASSERT_TRUE(map.load(name));
    std::remove(name.c_str());

    PatchGrid grid;
    ScreenBuildProgress progress;
    ASSERT_TRUE(buildModelAndGraph(grid, map, 64, 25, &progress));
    const int total = grid.columns() * grid.rows();
    BitmapPtr expected = expectedLine(progressFont(), graphStageFormat, total, total);
    EXPECT_EQ(differencesInLine(screen, expected.get(), progressFont(), formatProgressLine(graphStageFormat, total, total)),
              0);

    // Remembers the last status line asked for, and draws it as usual.
    struct Recording : ScreenSearchObserver {
        void statusLine(const char* format, double shownLength) override
        {
            lastFormat = format;
            lastLength = shownLength;
            ++lines;
            ScreenSearchObserver::statusLine(format, shownLength);
        }
        const char* lastFormat = nullptr;
        double lastLength = -1.0;
        int lines = 0;
    } observer;
    Vertex* start = grid.nearestVertex(10, 10);
    Vertex* end = grid.nearestVertex(200, 30);
    RouteSearch search(&observer);
    ASSERT_GT(search.search(start, end), 0.0f);
    const int grey = makecol16(128, 128, 128);
    const Vertex* last = end->previous;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(getpixel(screen, end->x + 10, end->y + 10), grey);
    EXPECT_EQ(getpixel(screen, last->x + 10, last->y + 10), grey);

    ASSERT_GT(observer.lines, 0);
    BitmapPtr status = expectedLine(progressFont(), observer.lastFormat, observer.lastLength);
    EXPECT_EQ(differencesInLine(screen, status.get(), progressFont(),
                                formatStatusLine(observer.lastFormat, observer.lastLength)),
              0);
    releaseModelAndGraph(grid);
}

}  // namespace
