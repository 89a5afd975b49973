// The map views drawn into memory bitmaps, checked pixel by pixel.

#include <allegro.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <string>

#include "app/MapViews.h"
#include "app/RealTerrain.h"
#include "app/Relief.h"
#include "gui/Bitmap.h"
#include "gui/Image.h"
#include "route/ModelBuild.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"

#include "tests/support/headless.h"
#include "tests/support/pixels.h"
#include "tests/terrain/test_maps.h"

namespace {

// The palette is for the 8-bit cases.
const auto* const env = testkit::headlessAllegro({.colourDepth = 16, .palette = true});

using testkit::BitmapPtr;

BitmapPtr filled(int w, int h, ViewColour colour, int depth = 16)
{
    BitmapPtr b(create_bitmap_ex(depth, w, h));
    clear_to_color(b.get(), viewColour(b.get(), colour));
    return b;
}

bool hasColour(BITMAP* b, int x, int y, ViewColour colour) { return getpixel(b, x, y) == viewColour(b, colour); }

// Loads a 257 x 257 map of the given sample width made from `height`.
bool loadMap(HeightMap& map, int bits, const std::function<int(int, int)>& height)
{
    const testmaps::TempDir dir("vaskur-views");
    return testmaps::loadMap(
        map, dir, 257, [&](int32_t x, int32_t y) { return static_cast<uint16_t>(height(x, y)); }, bits);
}

class ViewsTest : public ::testing::Test {
protected:
    void TearDown() override { releaseModelAndGraph(grid); }
    HeightMap map;
    PatchGrid grid;
};

TEST_F(ViewsTest, SamplesBecomeShadesOfGreenAtEveryDepth)
{
    ASSERT_TRUE(loadMap(map, 8, [](int x, int y) { return (x * 7 + y * 3) & 0xff; }));
    for (int depth : {8, 16, 32}) {
        BitmapPtr picture(create_bitmap_ex(depth, mapPictureSide, mapPictureSide));
        clear_to_color(picture.get(), 0);
        drawHeightMap(picture.get(), map);
        for (int x = 0; x < 257; x += 3)
            for (int y = 0; y < 257; y += 5)
                ASSERT_EQ(getpixel(picture.get(), x, y), makecol_depth(depth, 0, map.heightAt(x, y), 0)) << depth;
        EXPECT_EQ(getpixel(picture.get(), 257, 0), 0);  // beyond the map: untouched
    }
    // 16-bit samples show their high byte: 0x1234 is green 0x12.
    ASSERT_TRUE(loadMap(map, 16, [](int x, int y) { return x == 9 && y == 4 ? 0x1234 : x * 250 + y; }));
    BitmapPtr picture = filled(257, 257, layerFillColour, 32);
    drawHeightMap(picture.get(), map);
    EXPECT_EQ(getpixel(picture.get(), 9, 4), makecol32(0, 0x12, 0));
    for (int x = 0; x < 257; x += 4)
        for (int y = 0; y < 257; y += 4)
            ASSERT_EQ(getpixel(picture.get(), x, y), makecol32(0, map.heightAt(x, y) >> 8, 0));
}

TEST_F(ViewsTest, WithoutAModelTheModelIsBlackAndTheGraphViewsDrawNothing)
{
    BitmapPtr model = filled(64, 64, layerFillColour);
    BitmapPtr graph = filled(64, 64, layerFillColour);
    drawModel(model.get(), grid);
    drawHeightMap(graph.get(), map);
    drawGraphVertices(graph.get());
    drawGraphEdges(graph.get());
    for (int x = 0; x < 64; ++x) {
        for (int y = 0; y < 64; ++y) {
            ASSERT_TRUE(hasColour(model.get(), x, y, modelBackgroundColour));
            ASSERT_TRUE(hasColour(graph.get(), x, y, layerFillColour));
        }
    }
    BitmapPtr empty(createLayer(map));  // the empty map's layer is 0 x 0
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->w + empty->h, 0);
}

TEST_F(ViewsTest, FreshlyPreparedPatchShowsOutlineAndBothDiagonals)
{
    ASSERT_TRUE(loadMap(map, 16, [](int, int) { return 0; }));
    ASSERT_TRUE(grid.setup(map, 256));
    ASSERT_TRUE(grid.createPatches());
    grid.prepareModel();
    BitmapPtr layer = filled(257, 257, layerFillColour);
    drawModel(layer.get(), grid);
    for (int x = 0; x < 257; ++x) {
        for (int y = 0; y < 257; ++y) {
            const bool onLine = x == 0 || y == 0 || x == 256 || y == 256 || x == y || x + y == 256;
            ASSERT_TRUE(hasColour(layer.get(), x, y, onLine ? triangleEdgeColour : modelBackgroundColour)) << x << "," << y;
        }
    }
}

// The corners worked out on the way down must be where the model's own
// vertex records are, for every leaf of a refined model of many patches, and
// the inside of each larger leaf stays black.
TEST_F(ViewsTest, EveryLeafIsDrawnThroughItsOwnCorners)
{
    ASSERT_TRUE(loadMap(map, 16, [](int x, int y) {
        return static_cast<int>(3000 + 900 * std::sin(x / 9.0) * std::cos(y / 13.0) + ((x * y) % 7) * 40);
    }));
    ASSERT_TRUE(buildModelAndGraph(grid, map, 64, 25));
    BitmapPtr layer = filled(257, 257, layerFillColour);
    drawModel(layer.get(), grid);
    std::size_t leaves = 0;
    for (const Triangle* t : triangleList()) {
        if (!t->isLeaf())
            continue;
        ++leaves;
        for (const Vertex* v : {t->left, t->right, t->apex})
            ASSERT_TRUE(hasColour(layer.get(), v->x, v->y, triangleEdgeColour)) << v->x << "," << v->y;
        const int cx = static_cast<int>(std::lround((t->left->x + t->right->x + t->apex->x) / 3.0));
        const int cy = static_cast<int>(std::lround((t->left->y + t->right->y + t->apex->y) / 3.0));
        if (std::abs(t->left->x - t->right->x) + std::abs(t->left->y - t->right->y) >= 16) {
            ASSERT_TRUE(hasColour(layer.get(), cx, cy, modelBackgroundColour)) << cx << "," << cy;
        }
    }
    EXPECT_GT(leaves, 64u);  // refined beyond the four leaves of each of 16 patches
}

TEST(RouteView, DrawsTheLinesAlongThePath)
{
    Vertex s, m, e;
    s.x = 1, s.y = 1, m.x = 1, m.y = 9, e.x = 9, e.y = 9;
    auto routePixels = [](BITMAP* b) {
        int n = 0;
        for (int x = 0; x < b->w; ++x)
            for (int y = 0; y < b->h; ++y)
                n += hasColour(b, x, y, routeColour);
        return n;
    };
    BitmapPtr layer = filled(20, 20, layerFillColour);
    drawRoute(layer.get(), {&s, &m, &e});
    EXPECT_EQ(routePixels(layer.get()), 17);
    EXPECT_TRUE(hasColour(layer.get(), 1, 5, routeColour));
    EXPECT_TRUE(hasColour(layer.get(), 5, 9, routeColour));

    // A route of one vertex (start and end the same) or none draws nothing.
    BitmapPtr same = filled(20, 20, layerFillColour);
    drawRoute(same.get(), {&e});
    drawRoute(same.get(), {});
    EXPECT_EQ(routePixels(same.get()), 0);
}

TEST(Overlay, GrowsTheLayerAndPictureTo513WithTheFillTransparent)
{
    for (int depth : {8, 15, 16, 24, 32}) {
        set_color_depth(depth);
        BitmapPtr picture = filled(257, 257, {0, 200, 0}, depth);
        rectfill(picture.get(), 0, 0, 9, 9, 0);  // a black corner
        BitmapPtr layer = filled(257, 257, layerFillColour, depth);
        rectfill(layer.get(), 100, 0, 256, 256, viewColour(layer.get(), modelBackgroundColour));
        putpixel(layer.get(), 120, 50, viewColour(layer.get(), graphEdgeColour));

        BitmapPtr result(composeOverlay(picture.get(), layer.get()));
        ASSERT_TRUE(result);
        ASSERT_EQ(result->w * 1000 + result->h, 513513);
        EXPECT_EQ(getpixel(result.get(), 5, 5), 0) << depth;  // black stays black under the fill
        EXPECT_TRUE(hasColour(result.get(), 50, 50, {0, 200, 0})) << depth;
        EXPECT_TRUE(hasColour(result.get(), 150, 50, modelBackgroundColour)) << depth;  // black covers
        EXPECT_TRUE(hasColour(result.get(), 120, 50, graphEdgeColour)) << depth;
        for (int i = 257; i < 513; i += 16)
            ASSERT_TRUE(getpixel(result.get(), i, 3) == 0 && getpixel(result.get(), 3, i) == 0) << depth;
    }
    set_color_depth(16);
}

TEST(Overlay, TheImageGetsTheResultAndTheLayerIsTaken)
{
    Image mapView;
    BitmapPtr picture = filled(257, 257, {0, 60, 0});
    mapView.setBitmap(picture.get());
    BITMAP* layer = create_bitmap(257, 257);
    clear_to_color(layer, viewColour(layer, layerFillColour));
    putpixel(layer, 100, 100, viewColour(layer, graphVertexColour));
    overlayLayer(mapView, layer);  // destroys the layer (the sanitizer sees a leak otherwise)

    BITMAP* shown = mapView.picture().bitmap();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(mapView.w(), mapPictureSide);
    EXPECT_EQ(shown->h, mapPictureSide);
    EXPECT_TRUE(hasColour(shown, 100, 100, graphVertexColour));
    EXPECT_TRUE(hasColour(shown, 99, 100, {0, 60, 0}));
    EXPECT_EQ(getpixel(shown, 300, 300), 0);
}

// A pyramid of real heights with a wall in its south-west corner: its
// north-west face is lit, its south-east face in shade, its foot green and its
// summit pale, the wall violet, at 8 bits (with the relief palette) as at 32.
TEST(Relief, ShadedAndTintedByRealHeightsWithWallsApart)
{
    const testmaps::TempDir dir("vaskur-relief");
    HeightMap map;
    constexpr int wall = 4000;
    ASSERT_TRUE(testmaps::loadMap(map, dir, 257, [](int32_t x, int32_t y) {
        return static_cast<uint16_t>(x < 20 && y > 236 ? wall : 1000 - std::abs(x - 128) - std::abs(y - 128));
    }));
    vaskur_geo::Sidecar sidecar;
    sidecar.crsWkt = "EPSG:32635";
    sidecar.sampleToCrs = {0, 2, 0, 0, 0, -2};
    sidecar.side = 257;
    sidecar.bits = 16;
    sidecar.spacingMetres = 2;
    sidecar.maxSlopeDegrees = 14;  // one unit is the rise of the slope limit over a spacing: about 0.5 m
    sidecar.heightUnitMetres = sidecar.spacingMetres * std::tan(sidecar.maxSlopeDegrees * std::numbers::pi / 180);
    sidecar.heightOffsetMetres = 100;
    sidecar.wallValue = wall;
    sidecar.wallSamples = 20 * 20;
    std::string error;
    ASSERT_TRUE(sidecar.write(dir.file("map257_16.raw.json"), error)) << error;
    RealTerrain terrain;
    ASSERT_EQ(terrain.load(dir.file("map257_16.raw"), map, error), RealTerrain::Result::Loaded) << error;
    ASSERT_EQ(terrain.pictureSide(), 513);  // drawn at twice its size

    PALETTE palette;
    reliefPalette(palette);
    for (int depth : {8, 32}) {
        select_palette(depth == 8 ? palette : default_palette);
        BitmapPtr picture(create_bitmap_ex(depth, 513, 513));
        clear_to_color(picture.get(), 0);
        drawRelief(picture.get(), terrain);
        auto rgb = [&](int sampleX, int sampleY) {
            const int p = getpixel(picture.get(), 2 * sampleX, 2 * sampleY);
            return std::array<int, 3>{getr_depth(depth, p), getg_depth(depth, p), getb_depth(depth, p)};
        };
        auto brightness = [&](int x, int y) { const auto c = rgb(x, y); return c[0] + c[1] + c[2]; };
        EXPECT_GT(brightness(64, 64), brightness(192, 192) + 100) << depth;  // lit north-west, shaded south-east
        const auto foot = rgb(2, 2), summit = rgb(120, 120), walled = rgb(5, 250);
        EXPECT_GT(foot[1], foot[0] + 20) << depth;         // green lowland
        EXPECT_GT(summit[0], summit[1]) << depth;          // pale, warm summit
        EXPECT_NEAR(walled[0], reliefWallRed, 4) << depth;
        EXPECT_NEAR(walled[1], reliefWallGreen, 4) << depth;
        EXPECT_NEAR(walled[2], reliefWallBlue, 4) << depth;
        EXPECT_NE(getpixel(picture.get(), 512, 512), 0) << depth;  // the last sample is drawn too
    }
    // The palette keeps the standard entries the other views and the skin use.
    for (int i = 0; i < ReliefColours::firstRampEntry; ++i)
        ASSERT_EQ(palette[i].r * 1000000 + palette[i].g * 1000 + palette[i].b,
                  default_palette[i].r * 1000000 + default_palette[i].g * 1000 + default_palette[i].b) << i;
    select_palette(default_palette);
}

}  // namespace
