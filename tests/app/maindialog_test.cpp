// The main window's commands and route picking, run without a display: the
// handler is called as the framework would call it, the screen is a memory
// bitmap that catches the progress lines, and the pictures are read back
// from the map view.

#include <gtest/gtest.h>

#include <algorithm>

#include <allegro.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/MessageTexts.h"
#include "app/Startup.h"
#include "gui/Bitmap.h"
#include "gui/FileList.h"
#include "gui/Mouse.h"
#include "gui/Skin.h"
#include "route/Graph.h"
#include "route/ModelBuild.h"
#include "route/ModelSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"
#include "terrain/Vertex.h"

#include "tests/app/maindialog_seam.h"
#include "tests/support/headless.h"
#include "tests/support/temp_files.h"

namespace {

const auto* const environment = testkit::headlessAllegro({.colourDepth = 16, .then = [] {
    // The progress lines and examined edges are drawn on `screen`.
    screen = create_bitmap(800, 600);
    ASSERT_NE(screen, nullptr);
    setGlobalSkin(new Skin("default"));
}});

// Writes a raw 8-bit map of side `side` with heights from `height`.
// A folder of this test program's own: ctest runs the tests side by side,
// each in a process of its own, and they write maps of the same names.
const testkit::TempDir mapDir("vaskur-mainapp");

std::string writeMap8(const std::string& name, int side, const std::function<int(int, int)>& height)
{
    const std::string path = mapDir.file("mainapp_" + name + ".raw");
    std::vector<unsigned char> bytes(static_cast<std::size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            bytes[static_cast<std::size_t>(y) * side + x] = static_cast<unsigned char>(height(x, y));
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

// Rolling hills gentle enough to be walked everywhere.
int hills(int x, int y)
{
    return static_cast<int>(std::lround(100.0 + 20.0 * std::sin(x / 20.0) * std::cos(y / 20.0)));
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb pixelOf(const Bitmap& b, int x, int y)
{
    const int c = getpixel(b.bitmap(), x, y);
    return Rgb{getr(c), getg(c), getb(c)};
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        releaseModelAndGraph(grid);
        theHeightMap = &map;
        thePatchGrid = &grid;
        createMouse();
    }
    void TearDown() override
    {
        destroyMouse();
        releaseModelAndGraph(grid);
        theHeightMap = nullptr;
        thePatchGrid = nullptr;
    }

    // Moves the framework's mouse and reports a press to the handler.
    void press(OpenMainDialog& dialog, int message, int sx, int sy)
    {
        mouse()->update(Point{sx, sy}, message == MSG_LPRESS ? 1 : 2, 0);
        dialog.handleEvent(&dialog.mapView, message);
    }
    void activate(OpenMainDialog& dialog, Widget& button) { dialog.handleEvent(&button, MSG_ACTIVATE); }

    // Loads a map and builds with the two texts, as the load command does
    // once the parameters window has closed.
    void load(OpenMainDialog& dialog, const std::string& path, const char* patch = "32", const char* threshold = "25")
    {
        ASSERT_TRUE(dialog.loadMapFile(path.c_str()));
        dialog.buildAndShow(patch, threshold);
    }

    HeightMap map;
    PatchGrid grid;
};

TEST_F(MainDialogTest, StartsBlackWithZeroCountersAndNoMessage)
{
    OpenMainDialog dialog;
    const Bitmap& picture = dialog.mapView.picture();
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(picture.width(), 513);
    EXPECT_EQ(picture.height(), 513);
    EXPECT_EQ(pixelOf(picture, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixelOf(picture, 512, 512), (Rgb{0, 0, 0}));
    EXPECT_STREQ(dialog.triangleCount.text(), "0");
    EXPECT_STREQ(dialog.vertexCount.text(), "0");
    EXPECT_STREQ(dialog.edgeCount.text(), "0");
    EXPECT_STREQ(dialog.message(), "");
    EXPECT_EQ(dialog.pickState, 0);
    EXPECT_TRUE(dialog.exitButton.exits());
    EXPECT_TRUE(dialog.messageLine.disabled());
}

TEST_F(MainDialogTest, LoadShowsTheMapAndCountsTheLists)
{
    OpenMainDialog dialog;
    const std::string path = writeMap8("hills", 257, hills);
    load(dialog, path);
    EXPECT_STREQ(dialog.message(), "Fail laetud.");
    EXPECT_EQ(grid.patchSize(), 32);
    EXPECT_GT(triangleList().size(), 0u);
    EXPECT_EQ(std::to_string(triangleList().size()), dialog.triangleCount.text());
    EXPECT_EQ(std::to_string(vertexList().size()), dialog.vertexCount.text());
    EXPECT_EQ(std::to_string(edgeList().size()), dialog.edgeCount.text());

    // The height map in the top-left corner of a 513 picture, black beside it.
    const Bitmap& picture = dialog.mapView.picture();
    ASSERT_EQ(picture.width(), 513);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {40, 70}, {256, 256}}) {
        const Rgb p = pixelOf(picture, x, y);
        EXPECT_EQ(p.r, 0);
        EXPECT_NEAR(p.g, map.heightAt(x, y), 4) << x << "," << y;
    }
    EXPECT_EQ(pixelOf(picture, 300, 100), (Rgb{0, 0, 0}));
}

// A sidecar that cannot be read leaves the map as one without a sidecar,
// with one line on stderr.
TEST_F(MainDialogTest, ABrokenSidecarLeavesTheMapPlain)
{
    OpenMainDialog dialog;
    const std::string path = writeMap8("sidecar", 257, hills);
    FILE* f = std::fopen((path + ".json").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("{\"vaskurSidecar\": 1, \"side\": ", f);
    std::fclose(f);
    testing::internal::CaptureStderr();
    load(dialog, path);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_STREQ(dialog.message(), "Fail laetud.");
    const Rgb p = pixelOf(dialog.mapView.picture(), 40, 70);  // shades of green
    EXPECT_EQ(p.r + p.b, 0);
    EXPECT_NEAR(p.g, map.heightAt(40, 70), 4);
    EXPECT_EQ(pixelOf(dialog.mapView.picture(), 300, 100), (Rgb{0, 0, 0}));  // drawn 1:1
}

TEST_F(MainDialogTest, UnreadableFileKeepsModelCountersAndPicture)
{
    OpenMainDialog dialog;
    load(dialog, writeMap8("hills", 257, hills));
    const std::string triangles = dialog.triangleCount.text();
    const std::size_t vertices = vertexList().size();
    const Rgb before = pixelOf(dialog.mapView.picture(), 100, 100);

    const std::string bad = mapDir.file("mainapp_bad.raw");
    FILE* f = std::fopen(bad.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a height map", f);
    std::fclose(f);

    EXPECT_FALSE(dialog.loadMapFile(bad.c_str()));
    EXPECT_STREQ(dialog.message(), texts::loadFailed);
    EXPECT_FALSE(dialog.loadMapFile(mapDir.file("mainapp_missing.raw").c_str()));
    EXPECT_EQ(dialog.triangleCount.text(), triangles);
    EXPECT_EQ(vertexList().size(), vertices);
    EXPECT_EQ(pixelOf(dialog.mapView.picture(), 100, 100), before);
}

TEST_F(MainDialogTest, ParameterTextsAreConvertedBeforeTheBuild)
{
    const std::string path = writeMap8("hills", 257, hills);
    // Reference counts: the same build done directly.
    auto reference = [&](int patch, int threshold) {
        HeightMap m;
        EXPECT_TRUE(m.load(path));
        PatchGrid g;
        EXPECT_TRUE(buildModelAndGraph(g, m, patch, threshold));
        const std::size_t n = triangleList().size();
        releaseModelAndGraph(g);
        return n;
    };
    const std::size_t atFive = reference(32, 5);
    const std::size_t atZero = reference(32, 0);
    const std::size_t at40By64 = reference(64, 40);
    ASSERT_NE(atFive, atZero);

    OpenMainDialog dialog;
    load(dialog, path, "32", "-3");
    EXPECT_EQ(triangleList().size(), atFive);
    load(dialog, path, "32", "none");
    EXPECT_EQ(triangleList().size(), atZero);
    load(dialog, path, "64", "40");
    EXPECT_EQ(grid.patchSize(), 64);
    EXPECT_EQ(triangleList().size(), at40By64);
}

TEST_F(MainDialogTest, SearchCommandsStartAndRestartThePick)
{
    OpenMainDialog dialog;
    activate(dialog, dialog.searchButton);
    EXPECT_EQ(dialog.pickState, 1);
    EXPECT_EQ(dialog.searchKind, 1);
    EXPECT_STREQ(dialog.message(), texts::pickFirstPoint);
    activate(dialog, dialog.quickSearchButton);
    EXPECT_EQ(dialog.pickState, 1);
    EXPECT_EQ(dialog.searchKind, 2);

    // Before any map every press is off the map.
    press(dialog, MSG_LPRESS, 10, 10);
    press(dialog, MSG_LPRESS, 100, 100);
    EXPECT_EQ(dialog.pickState, 1);
    EXPECT_STREQ(dialog.message(), texts::pickFirstPoint);

    load(dialog, writeMap8("hills", 257, hills));
    press(dialog, MSG_RPRESS, 50, 50);  // a right press waits for its turn
    EXPECT_EQ(dialog.pickState, 1);
    press(dialog, MSG_LPRESS, 50, 50);
    EXPECT_EQ(dialog.pickState, 2);
    EXPECT_STREQ(dialog.message(), texts::pickSecondPoint);
    activate(dialog, dialog.searchButton);  // starts over
    EXPECT_EQ(dialog.pickState, 1);
    EXPECT_EQ(dialog.searchKind, 1);
}

TEST_F(MainDialogTest, PressesInsideAPoppedUpWindowPickNothing)
{
    OpenMainDialog dialog;
    load(dialog, writeMap8("hills", 257, hills));
    activate(dialog, dialog.searchButton);

    // A window over the map passes its presses up to the main window, as a
    // popped-up dialog does; they land on the map's area but are not picks.
    Dialog popupWindow;
    Label inside;
    popupWindow.add(&inside);
    popupWindow.setParent(&dialog);
    mouse()->update(Point{100, 100}, 1, 0);
    dialog.handleEvent(&inside, MSG_LPRESS);
    dialog.handleEvent(&popupWindow, MSG_LPRESS);
    EXPECT_EQ(dialog.pickState, 1);

    // The main window's own widgets and the dialog itself do pick.
    dialog.handleEvent(&dialog, MSG_LPRESS);
    EXPECT_EQ(dialog.pickState, 2);
    mouse()->update(Point{150, 150}, 2, 0);
    dialog.handleEvent(&popupWindow, MSG_RPRESS);
    EXPECT_EQ(dialog.pickState, 2);
    dialog.handleEvent(&dialog.background, MSG_RPRESS);
    EXPECT_EQ(dialog.pickState, 0);
}

TEST_F(MainDialogTest, PressesAreBoundedByTheMap)
{
    OpenMainDialog dialog;
    load(dialog, writeMap8("hills", 257, hills));
    activate(dialog, dialog.searchButton);

    press(dialog, MSG_LPRESS, 9, 10);
    press(dialog, MSG_LPRESS, 10, 9);
    press(dialog, MSG_LPRESS, 10 + 257, 10);
    press(dialog, MSG_LPRESS, 10, 10 + 257);
    EXPECT_EQ(dialog.pickState, 1);

    press(dialog, MSG_LPRESS, 10, 10);
    ASSERT_EQ(dialog.pickState, 2);
    EXPECT_EQ(dialog.startVertex, grid.nearestVertex(0, 0));
    ASSERT_NE(dialog.startVertex, nullptr);

    press(dialog, MSG_RPRESS, 10 + 257, 100);
    press(dialog, MSG_RPRESS, 100, 10 + 257);
    press(dialog, MSG_LPRESS, 100, 100);  // a left press waits too
    EXPECT_EQ(dialog.pickState, 2);
    EXPECT_EQ(dialog.startVertex, grid.nearestVertex(0, 0));

    // The last sample column and row belong to the last patch.
    press(dialog, MSG_RPRESS, 10 + 256, 10 + 256);
    EXPECT_EQ(dialog.pickState, 0);
    ASSERT_NE(dialog.endVertex, nullptr);
    EXPECT_EQ(dialog.endVertex, grid.nearestVertex(256, 256));
}

TEST_F(MainDialogTest, FullAndQuickSearchReportTheirLengthAndDrawTheRoute)
{
    OpenMainDialog dialog;
    load(dialog, writeMap8("hills", 257, hills));
    for (Widget* button : {static_cast<Widget*>(&dialog.searchButton), static_cast<Widget*>(&dialog.quickSearchButton)}) {
        activate(dialog, dialog.clearButton);
        activate(dialog, *button);
        press(dialog, MSG_LPRESS, 10 + 5, 10 + 5);
        press(dialog, MSG_RPRESS, 10 + 250, 10 + 240);
        EXPECT_EQ(dialog.pickState, 0);
        Vertex* start = dialog.startVertex;
        Vertex* end = dialog.endVertex;
        ASSERT_NE(start, nullptr);
        ASSERT_NE(end, nullptr);

        // The same search run again gives the length the message shows.
        const Route again = button == &dialog.searchButton ? modelSearch().search(start, end)
                                                           : modelSearch().quickSearch(start, end);
        ASSERT_TRUE(again.found());
        EXPECT_EQ(dialog.message(), routeResultMessage(again));

        // The route is white over the black picture: at both ends and at
        // every vertex along the way.
        const Bitmap& picture = dialog.mapView.picture();
        ASSERT_EQ(picture.width(), 513);
        int steps = 0;
        for (const Vertex* v = end; v; v = v->previous, ++steps)
            EXPECT_EQ(pixelOf(picture, v->x, v->y), (Rgb{255, 255, 255})) << v->x << "," << v->y;
        EXPECT_GT(steps, 2);
        EXPECT_EQ(pixelOf(picture, 400, 400), (Rgb{0, 0, 0}));

        // Once searched, the pick is over.
        press(dialog, MSG_LPRESS, 50, 50);
        EXPECT_EQ(dialog.pickState, 0);
    }
}

TEST_F(MainDialogTest, SameVertexAndNoRouteMessages)
{
    OpenMainDialog dialog;
    // A cliff down the middle: nothing crosses from the left half to the right.
    load(dialog, writeMap8("cliff", 257, [](int x, int) { return x < 128 ? 10 : 200; }));
    const Rgb cliffTop = pixelOf(dialog.mapView.picture(), 230, 230);
    ASSERT_GT(cliffTop.g, 190);

    activate(dialog, dialog.searchButton);
    press(dialog, MSG_LPRESS, 10 + 20, 10 + 20);
    press(dialog, MSG_RPRESS, 10 + 20, 10 + 20);
    EXPECT_STREQ(dialog.message(), texts::sameVertex);

    activate(dialog, dialog.quickSearchButton);
    press(dialog, MSG_LPRESS, 10 + 20, 10 + 20);
    press(dialog, MSG_RPRESS, 10 + 230, 10 + 230);
    EXPECT_STREQ(dialog.message(), texts::noRoute);
    EXPECT_EQ(dialog.pickState, 0);
    // No route line: the picture stays as it was (the green right half).
    EXPECT_EQ(pixelOf(dialog.mapView.picture(), 230, 230), cliffTop);
}

TEST_F(MainDialogTest, PickSurvivesARebuildOnTheNewModel)
{
    OpenMainDialog dialog;
    const std::string path = writeMap8("hills", 257, hills);
    load(dialog, path, "32");
    activate(dialog, dialog.searchButton);
    press(dialog, MSG_LPRESS, 10 + 100, 10 + 60);
    ASSERT_EQ(dialog.pickState, 2);

    load(dialog, path, "16");
    EXPECT_EQ(dialog.pickState, 2);
    ASSERT_NE(dialog.startVertex, nullptr);
    EXPECT_EQ(dialog.startVertex, grid.nearestVertex(100, 60));
    bool listed = false;
    for (Vertex* v : vertexList())
        listed = listed || v == dialog.startVertex;
    EXPECT_TRUE(listed);

    // The search after the rebuild runs on the new vertices.
    press(dialog, MSG_RPRESS, 10 + 200, 10 + 200);
    EXPECT_EQ(dialog.pickState, 0);
    EXPECT_EQ(dialog.endVertex, grid.nearestVertex(200, 200));
    EXPECT_NE(std::string(dialog.message()).find("Leitud tee pikkus: "), std::string::npos);
}

TEST_F(MainDialogTest, PickOffTheNewMapAsksForTheStartAgain)
{
    OpenMainDialog dialog;
    const std::string big = writeMap8("big", 513, [](int x, int y) { return (x / 4 + y / 4) % 2; });
    load(dialog, big);
    activate(dialog, dialog.searchButton);
    press(dialog, MSG_LPRESS, 10 + 400, 10 + 400);
    ASSERT_EQ(dialog.pickState, 2);

    load(dialog, writeMap8("hills", 257, hills));
    EXPECT_EQ(dialog.pickState, 1);
    EXPECT_EQ(dialog.startVertex, nullptr);
    press(dialog, MSG_RPRESS, 10 + 20, 10 + 20);  // no search without a start
    EXPECT_EQ(dialog.pickState, 1);
}

TEST_F(MainDialogTest, AFailedBuildIsReportedAndTheNextLoadWorks)
{
    OpenMainDialog dialog;
    const std::string path = writeMap8("hills", 257, hills);
    load(dialog, path);
    activate(dialog, dialog.searchButton);
    press(dialog, MSG_LPRESS, 100, 100);
    ASSERT_EQ(dialog.pickState, 2);

    // No memory left for the patches' root triangles.
    releaseModelAndGraph(grid);
    trianglePool().trim();
    trianglePool().limitHeapBlocks(0);
    dialog.buildAndShow("32", "25");
    trianglePool().unlimitHeapBlocks();
    EXPECT_STREQ(dialog.message(), texts::buildFailed);
    EXPECT_STREQ(dialog.triangleCount.text(), "0");
    EXPECT_EQ(dialog.pickState, 0);
    // Without a model a pick finds nothing to start from.
    activate(dialog, dialog.searchButton);
    press(dialog, MSG_LPRESS, 100, 100);
    press(dialog, MSG_RPRESS, 200, 200);
    EXPECT_STREQ(dialog.message(), texts::pickFirstPoint);

    load(dialog, path);
    EXPECT_STREQ(dialog.message(), texts::fileLoaded);
    EXPECT_STRNE(dialog.triangleCount.text(), "0");
    press(dialog, MSG_LPRESS, 100, 100);
    press(dialog, MSG_RPRESS, 200, 200);
    EXPECT_EQ(std::string(dialog.message()).rfind(texts::routeFoundPrefix, 0), 0u) << dialog.message();
}

TEST_F(MainDialogTest, TheMapSelectorListsMapsTheUserCannotWrite)
{
    // Loading only reads a map: one the user may not write is listed too.
    const FileEntry readOnlyMap{"map.raw", ATTRIBUTE_ARCHIVE | ATTRIBUTE_READONLY};
    EXPECT_TRUE(filelist::allowed(readOnlyMap, filelist::searchMask(ATTRIBUTE_ALL & ~ATTRIBUTE_DIRECTORY,
                                                                    MainDialog::fileSelectorAttributes)));
}

TEST_F(MainDialogTest, ClearKeepsCountersMessageAndPick)
{
    OpenMainDialog dialog;
    load(dialog, writeMap8("hills", 257, hills));
    activate(dialog, dialog.searchButton);
    press(dialog, MSG_LPRESS, 60, 60);
    const std::string triangles = dialog.triangleCount.text();

    activate(dialog, dialog.clearButton);
    EXPECT_EQ(pixelOf(dialog.mapView.picture(), 60, 60), (Rgb{0, 0, 0}));
    EXPECT_EQ(dialog.triangleCount.text(), triangles);
    EXPECT_STREQ(dialog.message(), texts::pickSecondPoint);
    EXPECT_EQ(dialog.pickState, 2);
}

TEST_F(MainDialogTest, HeightMapViewHasTheMapsSizeAndOverlaysGrowBack)
{
    OpenMainDialog dialog;
    load(dialog, writeMap8("hills", 257, hills));

    activate(dialog, dialog.heightMapButton);
    EXPECT_EQ(dialog.mapView.picture().width(), 257);
    EXPECT_EQ(dialog.mapView.w(), 257);
    EXPECT_EQ(dialog.mapView.h(), 257);
    EXPECT_EQ(dialog.mapView.x(), 10);
    EXPECT_EQ(dialog.mapView.y(), 10);

    // The model covers the map area: black with green triangle edges; the
    // patch corners lie on the edges.
    activate(dialog, dialog.modelButton);
    const Bitmap& model = dialog.mapView.picture();
    EXPECT_EQ(model.width(), 513);
    EXPECT_EQ(dialog.mapView.w(), 513);
    EXPECT_EQ(pixelOf(model, 32, 32).r, 0);
    EXPECT_GT(pixelOf(model, 32, 32).g, 100);
    EXPECT_EQ(pixelOf(model, 300, 300), (Rgb{0, 0, 0}));

    // The graph views add white vertices and yellow edges over the model.
    activate(dialog, dialog.vertexButton);
    const Vertex* inner = vertexList().front();
    EXPECT_EQ(pixelOf(dialog.mapView.picture(), inner->x, inner->y), (Rgb{255, 255, 255}));
    activate(dialog, dialog.clearButton);
    activate(dialog, dialog.graphButton);
    ASSERT_FALSE(inner->edges.empty());
    EXPECT_EQ(pixelOf(dialog.mapView.picture(), inner->x, inner->y), (Rgb{255, 255, 0}));
    EXPECT_EQ(pixelOf(dialog.mapView.picture(), 300, 300), (Rgb{0, 0, 0}));
}

TEST_F(MainDialogTest, ViewsBeforeAnyMapShowNothing)
{
    OpenMainDialog dialog;
    // The height map of 0 x 0 samples: the black picture goes, none comes.
    activate(dialog, dialog.heightMapButton);
    EXPECT_TRUE(dialog.mapView.picture().empty());
    EXPECT_EQ(dialog.mapView.w(), 0);
    activate(dialog, dialog.modelButton);
    activate(dialog, dialog.graphButton);
    EXPECT_EQ(dialog.mapView.picture().width(), 513);
    EXPECT_EQ(pixelOf(dialog.mapView.picture(), 200, 200), (Rgb{0, 0, 0}));
    EXPECT_STREQ(dialog.triangleCount.text(), "0");
    EXPECT_EQ(dialog.pickState, 0);
}

} // namespace
