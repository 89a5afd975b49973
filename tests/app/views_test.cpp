// The map views drawn into memory bitmaps, checked pixel by pixel.

#include <allegro.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MapViews.h"
#include "gui/Bitmap.h"
#include "gui/Image.h"
#include "route/ModelBuild.h"
#include "route/RouteSearch.h"
#include "terrain/HeightMap.h"
#include "terrain/ModelLists.h"
#include "terrain/PatchGrid.h"

namespace {

class AllegroEnv : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
        set_color_depth(16);
    }
};

const auto* const env = ::testing::AddGlobalTestEnvironment(new AllegroEnv);

using HeightFunction = std::function<uint16_t(int, int)>;

// Writes a raw map (rows bottom-up, 16-bit samples little-endian) and loads it.
bool loadMap(HeightMap& map, int side, int bits, const HeightFunction& height)
{
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("vaskur-views-" + std::to_string(side) + "-" + std::to_string(bits) + ".raw"))
                                 .string();
    {
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        for (int y = side - 1; y >= 0; --y) {
            for (int x = 0; x < side; ++x) {
                const uint16_t h = height(x, y);
                out.put(static_cast<char>(h & 0xff));
                if (bits == 16)
                    out.put(static_cast<char>(h >> 8));
            }
        }
    }
    const bool loaded = map.load(name);
    std::remove(name.c_str());
    return loaded;
}

// Sets the colour depth for one test and puts it back afterwards.
class DepthScope {
public:
    explicit DepthScope(int depth) : old_(get_color_depth())
    {
        set_color_depth(depth);
        if (depth == 8)
            select_palette(default_palette);
    }
    ~DepthScope() { set_color_depth(old_); }

private:
    int old_;
};

struct BitmapDeleter {
    void operator()(BITMAP* b) const { destroy_bitmap(b); }
};
using BitmapPtr = std::unique_ptr<BITMAP, BitmapDeleter>;

BitmapPtr filled(int w, int h, ViewColour colour)
{
    BitmapPtr b(create_bitmap(w, h));
    clear_to_color(b.get(), viewColour(b.get(), colour));
    return b;
}

bool hasColour(BITMAP* b, int x, int y, ViewColour colour)
{
    return getpixel(b, x, y) == viewColour(b, colour);
}

// Every model and graph is released after each test.
class ViewsTest : public ::testing::Test {
protected:
    void TearDown() override { releaseModelAndGraph(grid); }

    HeightMap map;
    PatchGrid grid;
};

// --- Height map ------------------------------------------------------------

TEST_F(ViewsTest, EightBitSamplesBecomeTheirGreenAtEveryDepth)
{
    ASSERT_TRUE(loadMap(map, 257, 8, [](int x, int y) { return static_cast<uint16_t>((x * 7 + y * 3) & 0xff); }));
    ASSERT_EQ(map.bitsPerSample(), 8);
    for (int depth : {8, 16, 32}) {
        DepthScope scope(depth);
        BitmapPtr picture(createPicture(mapPictureSide, mapPictureSide));
        ASSERT_TRUE(picture);
        drawHeightMap(picture.get(), map);
        for (int x = 0; x < map.columns(); x += 3) {
            for (int y = 0; y < map.rows(); y += 5) {
                const int g = map.heightAt(x, y);
                ASSERT_EQ(getpixel(picture.get(), x, y), makecol_depth(depth, 0, g, 0))
                    << "depth " << depth << " at " << x << "," << y;
            }
        }
        // Beyond the map the picture keeps its black.
        EXPECT_EQ(getpixel(picture.get(), 257, 0), 0);
        EXPECT_EQ(getpixel(picture.get(), 512, 512), 0);
    }
}

TEST_F(ViewsTest, SixteenBitSamplesShowTheirHighByte)
{
    ASSERT_TRUE(loadMap(map, 257, 16, [](int x, int y) { return static_cast<uint16_t>(x * 250 + y); }));
    ASSERT_EQ(map.bitsPerSample(), 16);
    DepthScope scope(32);
    BitmapPtr picture(createPicture(257, 257));
    drawHeightMap(picture.get(), map);
    for (int x = 0; x < 257; x += 4) {
        for (int y = 0; y < 257; y += 4) {
            const int pixel = getpixel(picture.get(), x, y);
            ASSERT_EQ(getr(pixel), 0);
            ASSERT_EQ(getg(pixel), map.heightAt(x, y) >> 8) << x << "," << y;
            ASSERT_EQ(getb(pixel), 0);
        }
    }
    // The example value: 0x1234 shows as green 0x12.
    HeightMap constant;
    ASSERT_TRUE(loadMap(constant, 257, 16, [](int, int) { return uint16_t{0x1234}; }));
    drawHeightMap(picture.get(), constant);
    EXPECT_EQ(getg(getpixel(picture.get(), 100, 200)), 0x12);
}

TEST_F(ViewsTest, NothingIsDrawnForAnEmptyMapOrWithoutATarget)
{
    BitmapPtr layer = filled(20, 20, layerFillColour);
    drawHeightMap(layer.get(), map);
    drawModel(nullptr, grid);
    drawHeightMap(nullptr, map);
    drawGraphVertices(nullptr);
    drawGraphEdges(nullptr);
    drawRoute(nullptr, nullptr, nullptr);
    drawTriangle(nullptr, nullptr, {}, {}, {});
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            ASSERT_TRUE(hasColour(layer.get(), x, y, layerFillColour));

    // An empty map still gives a (0 x 0) layer.
    BitmapPtr empty(createLayer(map));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->w, 0);
    EXPECT_EQ(empty->h, 0);
}

// --- Model -------------------------------------------------------------------

TEST_F(ViewsTest, FreshlyPreparedPatchShowsOutlineAndBothDiagonals)
{
    ASSERT_TRUE(loadMap(map, 257, 16, [](int, int) { return uint16_t{0}; }));
    ASSERT_TRUE(grid.setup(map, 256));
    ASSERT_TRUE(grid.createPatches());
    grid.prepareModel();

    BitmapPtr layer = filled(257, 257, layerFillColour);
    drawModel(layer.get(), grid);
    for (int x = 0; x < 257; ++x) {
        for (int y = 0; y < 257; ++y) {
            const bool onLine = x == 0 || y == 0 || x == 256 || y == 256 || x == y || x + y == 256;
            ASSERT_TRUE(hasColour(layer.get(), x, y, onLine ? triangleEdgeColour : modelBackgroundColour))
                << x << "," << y;
        }
    }
}

TEST_F(ViewsTest, ModelWithoutPatchesIsAllBlack)
{
    BitmapPtr layer = filled(64, 64, layerFillColour);
    drawModel(layer.get(), grid);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 64; ++y)
            ASSERT_TRUE(hasColour(layer.get(), x, y, modelBackgroundColour));
}

// The corners worked out on the way down must be where the model's own
// vertex records put them, for every leaf of a refined model of many patches.
TEST_F(ViewsTest, EveryLeafIsDrawnThroughItsOwnCorners)
{
    auto bumpy = [](int x, int y) {
        return static_cast<uint16_t>(3000 + 900 * std::sin(x / 9.0) * std::cos(y / 13.0) + ((x * y) % 7) * 40);
    };
    ASSERT_TRUE(loadMap(map, 257, 16, bumpy));
    ASSERT_TRUE(buildModelAndGraph(grid, map, 64, 25));

    BitmapPtr layer = filled(257, 257, layerFillColour);
    drawModel(layer.get(), grid);
    std::size_t leaves = 0;
    std::size_t inner = 0;
    for (const Triangle* t : triangleList()) {
        if (!t->isLeaf()) {
            ++inner;
            continue;
        }
        ++leaves;
        const Vertex* corners[3] = {t->left, t->right, t->apex};
        for (const Vertex* v : corners) {
            ASSERT_NE(v, nullptr);
            ASSERT_TRUE(hasColour(layer.get(), v->x, v->y, triangleEdgeColour)) << v->x << "," << v->y;
        }
        // Midpoints of the sides lie on the drawn lines too (all sides are
        // straight, diagonal or axis-parallel, between even coordinates sums).
        for (int i = 0; i < 3; ++i) {
            const Vertex* a = corners[i];
            const Vertex* b = corners[(i + 1) % 3];
            if ((a->x + b->x) % 2 == 0 && (a->y + b->y) % 2 == 0) {
                ASSERT_TRUE(hasColour(layer.get(), (a->x + b->x) / 2, (a->y + b->y) / 2, triangleEdgeColour));
            }
        }
        // The inside of a leaf big enough to have one stays black.
        const int cx = static_cast<int>(std::lround((t->left->x + t->right->x + t->apex->x) / 3.0));
        const int cy = static_cast<int>(std::lround((t->left->y + t->right->y + t->apex->y) / 3.0));
        if (std::abs(t->left->x - t->right->x) + std::abs(t->left->y - t->right->y) >= 16) {
            ASSERT_TRUE(hasColour(layer.get(), cx, cy, modelBackgroundColour))
                << cx << "," << cy << " in " << t->left->x << "," << t->left->y << " " << t->right->x << ","
                << t->right->y << " " << t->apex->x << "," << t->apex->y;
        }
    }
    EXPECT_GT(inner, 0u);
    EXPECT_GT(leaves, 32u);  // refined beyond the four leaves of each patch
}

// --- Graph -------------------------------------------------------------------

TEST_F(ViewsTest, GraphViewsDrawEveryVertexAndEdgeOverTheLayer)
{
    ASSERT_TRUE(loadMap(map, 257, 16, [](int x, int y) { return static_cast<uint16_t>((x + y) % 2); }));
    ASSERT_TRUE(buildModelAndGraph(grid, map, 128, 25));
    ASSERT_GT(vertexList().size(), 0u);

    BitmapPtr dots = filled(257, 257, layerFillColour);
    drawGraphVertices(dots.get());
    int white = 0;
    for (int x = 0; x < 257; ++x)
        for (int y = 0; y < 257; ++y)
            white += hasColour(dots.get(), x, y, graphVertexColour);
    std::vector<bool> seen(257 * 257);
    int distinct = 0;
    for (const Vertex* v : vertexList()) {
        ASSERT_TRUE(hasColour(dots.get(), v->x, v->y, graphVertexColour));
        if (!seen[v->x + v->y * 257]) {
            seen[v->x + v->y * 257] = true;
            ++distinct;
        }
    }
    EXPECT_EQ(white, distinct);  // one pixel per vertex position, nothing else

    BitmapPtr lines = filled(257, 257, layerFillColour);
    drawGraphEdges(lines.get());
    std::size_t edges = 0;
    for (const Vertex* v : vertexList()) {
        for (const Edge& e : v->edges) {
            ++edges;
            ASSERT_TRUE(hasColour(lines.get(), e.from->x, e.from->y, graphEdgeColour));
            ASSERT_TRUE(hasColour(lines.get(), e.to->x, e.to->y, graphEdgeColour));
        }
    }
    EXPECT_GT(edges, 0u);
}

TEST_F(ViewsTest, GraphViewsWithoutAModelLeaveTheLayerAlone)
{
    BitmapPtr layer = filled(32, 32, layerFillColour);
    drawGraphVertices(layer.get());
    drawGraphEdges(layer.get());
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 32; ++y)
            ASSERT_TRUE(hasColour(layer.get(), x, y, layerFillColour));
}

TEST_F(ViewsTest, EdgeLinesGoFromVertexToVertex)
{
    auto* a = new Vertex;
    auto* b = new Vertex;
    auto* c = new Vertex;
    a->x = 2, a->y = 5;
    b->x = 12, b->y = 5;
    c->x = 12, c->y = 15;
    vertexList().pushFront(a);
    vertexList().pushFront(b);
    vertexList().pushFront(c);
    a->edges.push_back({7, a, b});
    c->edges.push_back({3, c, b});

    BitmapPtr layer = filled(20, 20, layerFillColour);
    drawGraphEdges(layer.get());
    for (int x = 0; x < 20; ++x) {
        for (int y = 0; y < 20; ++y) {
            const bool onEdge = (y == 5 && x >= 2 && x <= 12) || (x == 12 && y >= 5 && y <= 15);
            ASSERT_TRUE(hasColour(layer.get(), x, y, onEdge ? graphEdgeColour : layerFillColour)) << x << "," << y;
        }
    }
}

// --- Route -------------------------------------------------------------------

class RouteViewTest : public ::testing::Test {
protected:
    int routePixels(BITMAP* b)
    {
        int n = 0;
        for (int x = 0; x < b->w; ++x)
            for (int y = 0; y < b->h; ++y)
                n += hasColour(b, x, y, routeColour);
        return n;
    }
};

TEST_F(RouteViewTest, FollowsPreviousFromTheEndBackToTheStart)
{
    Vertex s, m, e, beyond;
    s.x = 1, s.y = 1;
    m.x = 1, m.y = 9;
    e.x = 9, e.y = 9;
    beyond.x = 18, beyond.y = 18;
    e.previous = &m;
    m.previous = &s;
    s.previous = &beyond;  // the walk ends at the start and goes no further

    BitmapPtr layer = filled(20, 20, layerFillColour);
    drawRoute(layer.get(), &s, &e);
    for (int y = 1; y <= 9; ++y)
        EXPECT_TRUE(hasColour(layer.get(), 1, y, routeColour));
    for (int x = 1; x <= 9; ++x)
        EXPECT_TRUE(hasColour(layer.get(), x, 9, routeColour));
    EXPECT_EQ(routePixels(layer.get()), 17);
    EXPECT_TRUE(hasColour(layer.get(), 18, 18, layerFillColour));
}

TEST_F(RouteViewTest, SameStartAndEndDrawsNothing)
{
    Vertex s, other;
    s.x = 3, s.y = 3;
    other.x = 10, other.y = 10;
    s.previous = &other;
    BitmapPtr layer = filled(20, 20, layerFillColour);
    drawRoute(layer.get(), &s, &s);
    drawRoute(layer.get(), &s, nullptr);
    EXPECT_EQ(routePixels(layer.get()), 0);
}

TEST_F(RouteViewTest, ABrokenChainKeepsTheLinesDrawnSoFar)
{
    Vertex s, a, b, e;
    s.x = 0, s.y = 0;
    a.x = 5, a.y = 10;
    b.x = 5, b.y = 15;
    e.x = 10, e.y = 15;
    e.previous = &b;
    b.previous = &a;  // a has no previous: the chain never reaches s
    BitmapPtr layer = filled(20, 20, layerFillColour);
    drawRoute(layer.get(), &s, &e);
    EXPECT_EQ(routePixels(layer.get()), 6 + 5);
    EXPECT_TRUE(hasColour(layer.get(), 5, 10, routeColour));
    EXPECT_TRUE(hasColour(layer.get(), 0, 0, layerFillColour));
}

TEST_F(RouteViewTest, ALoopThatMissesTheStartEnds)
{
    Vertex s, e, a, b, c;
    s.x = 0, s.y = 0;
    e.x = 2, e.y = 2;
    a.x = 2, a.y = 8;
    b.x = 8, b.y = 8;
    c.x = 8, c.y = 2;
    e.previous = &a;
    a.previous = &b;
    b.previous = &c;
    c.previous = &a;  // round and round
    BitmapPtr layer = filled(20, 20, layerFillColour);
    drawRoute(layer.get(), &s, &e);
    // Every link met is drawn: e-a, a-b, b-c and c-a.
    EXPECT_TRUE(hasColour(layer.get(), 2, 5, routeColour));
    EXPECT_TRUE(hasColour(layer.get(), 5, 8, routeColour));
    EXPECT_TRUE(hasColour(layer.get(), 8, 5, routeColour));
    EXPECT_TRUE(hasColour(layer.get(), 5, 5, routeColour));
    EXPECT_TRUE(hasColour(layer.get(), 0, 0, layerFillColour));

    Vertex self;
    self.x = 15, self.y = 15;
    self.previous = &self;
    drawRoute(layer.get(), &s, &self);
}

TEST_F(ViewsTest, RouteOfARealSearchJoinsBothEnds)
{
    ASSERT_TRUE(loadMap(map, 257, 16, [](int, int) { return uint16_t{100}; }));
    ASSERT_TRUE(buildModelAndGraph(grid, map, 64, 25));
    Vertex* start = grid.nearestVertex(5, 5);
    Vertex* end = grid.nearestVertex(250, 200);
    ASSERT_TRUE(start && end);
    RouteSearch search;
    ASSERT_GT(search.search(start, end), 0.0f);

    BitmapPtr layer = filled(257, 257, layerFillColour);
    drawRoute(layer.get(), start, end);
    EXPECT_TRUE(hasColour(layer.get(), start->x, start->y, routeColour));
    EXPECT_TRUE(hasColour(layer.get(), end->x, end->y, routeColour));
    for (const Vertex* v = end; v != start; v = v->previous)
        ASSERT_TRUE(hasColour(layer.get(), v->x, v->y, routeColour));
}

// --- Overlay -----------------------------------------------------------------

TEST_F(ViewsTest, OverlayGrowsASmallPictureAndKeepsBlackElsewhere)
{
    BitmapPtr picture = filled(257, 257, {0, 90, 0});
    BitmapPtr layer = filled(257, 257, layerFillColour);
    putpixel(layer.get(), 40, 50, viewColour(layer.get(), graphEdgeColour));
    putpixel(layer.get(), 256, 256, viewColour(layer.get(), modelBackgroundColour));

    BitmapPtr result(composeOverlay(picture.get(), layer.get()));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->w, mapPictureSide);
    EXPECT_EQ(result->h, mapPictureSide);
    const int green = viewColour(result.get(), {0, 90, 0});
    for (int x = 0; x < 513; x += 3) {
        for (int y = 0; y < 513; y += 3) {
            const int expected = x < 257 && y < 257 ? green : 0;
            ASSERT_EQ(getpixel(result.get(), x, y), expected) << x << "," << y;
        }
    }
    EXPECT_TRUE(hasColour(result.get(), 40, 50, graphEdgeColour));
    EXPECT_TRUE(hasColour(result.get(), 256, 256, modelBackgroundColour));
    EXPECT_EQ(getpixel(result.get(), 257, 256), 0);
}

TEST_F(ViewsTest, OverlayAtEightBitsSkipsOnlyTheLayerFill)
{
    DepthScope scope(8);
    ASSERT_NE(viewColour(nullptr, layerFillColour), viewColour(nullptr, modelBackgroundColour));
    BitmapPtr picture = filled(100, 100, {0, 200, 0});
    // A model-like layer: black background with one green edge.
    BitmapPtr layer = filled(100, 100, layerFillColour);
    rectfill(layer.get(), 0, 0, 49, 99, viewColour(layer.get(), modelBackgroundColour));
    line(layer.get(), 0, 10, 49, 10, viewColour(layer.get(), triangleEdgeColour));

    BitmapPtr result(composeOverlay(picture.get(), layer.get()));
    ASSERT_TRUE(result);
    EXPECT_EQ(bitmap_color_depth(result.get()), 8);
    EXPECT_TRUE(hasColour(result.get(), 20, 50, modelBackgroundColour));  // black covers the map
    EXPECT_TRUE(hasColour(result.get(), 20, 10, triangleEdgeColour));
    EXPECT_TRUE(hasColour(result.get(), 70, 50, {0, 200, 0}));  // fill lets the map through
    EXPECT_EQ(getpixel(result.get(), 200, 200), 0);
}

TEST_F(ViewsTest, OverlayOnBlackKeepsBlackUnderTheFill)
{
    for (int depth : {15, 16, 24, 32}) {
        DepthScope scope(depth);
        BitmapPtr picture(createPicture(mapPictureSide, mapPictureSide));
        BitmapPtr layer = filled(257, 257, layerFillColour);
        line(layer.get(), 0, 0, 256, 256, viewColour(layer.get(), graphEdgeColour));
        BitmapPtr result(composeOverlay(picture.get(), layer.get()));
        ASSERT_TRUE(result);
        for (int x = 0; x < 513; ++x) {
            for (int y = 0; y < 513; y += 7) {
                if (x == y && x < 257) {
                    ASSERT_TRUE(hasColour(result.get(), x, y, graphEdgeColour));
                } else {
                    ASSERT_EQ(getpixel(result.get(), x, y), 0) << "depth " << depth << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(ViewsTest, OverlayHandsTheResultToTheImage)
{
    Image mapView;
    BitmapPtr picture = filled(257, 257, {0, 60, 0});
    mapView.setBitmap(picture.get());
    ASSERT_EQ(mapView.picture().width(), 257);

    BITMAP* layer = create_bitmap(257, 257);
    clear_to_color(layer, viewColour(layer, layerFillColour));
    putpixel(layer, 100, 100, viewColour(layer, graphVertexColour));
    overlayLayer(mapView, layer);  // takes the layer and destroys it

    BITMAP* shown = mapView.picture().bitmap();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->w, mapPictureSide);
    EXPECT_EQ(shown->h, mapPictureSide);
    EXPECT_EQ(mapView.w(), mapPictureSide);
    EXPECT_TRUE(hasColour(shown, 100, 100, graphVertexColour));
    EXPECT_TRUE(hasColour(shown, 99, 100, {0, 60, 0}));
    EXPECT_EQ(getpixel(shown, 300, 300), 0);

    overlayLayer(mapView, nullptr);  // nothing to lay over: unchanged
    EXPECT_EQ(mapView.picture().bitmap()->w, mapPictureSide);
}

}  // namespace
