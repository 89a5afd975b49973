// Tests of gui/Bitmap.cpp: nine-part drawing, ownership and copies, loading,
// and the drawing helpers of the built-in look.
#include <allegro.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Error.h"

#include "tests/support/headless.h"
#include "tests/support/pixels.h"

namespace fs = std::filesystem;

namespace {

const auto* const env = testkit::headlessAllegro();

using testkit::Rgb;
using testkit::rgbAt;

// Runs every test at 16 and 32 bits per pixel.
class BitmapTest : public ::testing::TestWithParam<int> {
public:
    void SetUp() override
    {
        set_color_depth(GetParam());
    }

    int depth() const { return GetParam(); }
    // Colour components survive a round trip through the pixel format (16
    // bits keep 5 or 6 bits per component).
    static int q(int v) { return v & 0xF8; }

    // A source whose every pixel encodes its own coordinates, so the place
    // each target pixel was copied from can be read back.
    static BITMAP* coordinateSource(int w, int h)
    {
        BITMAP* b = create_bitmap(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                putpixel(b, x, y, makecol(x * 8, y * 8, 64));
        return b;
    }
    static bool decode(BITMAP* b, int x, int y, int& sx, int& sy)
    {
        const Rgb c = rgbAt(b, x, y);
        if (q(c.b) != 64)
            return false;
        sx = q(c.r) / 8;
        sy = q(c.g) / 8;
        return true;
    }
};

// Where nine-part drawing takes target offset t (0 <= t < size) from along
// one axis, in frame coordinates: border, repeated tile, border.
int expectedSource(int t, int size, int frame, int tile)
{
    const int border = (frame - tile) / 2;
    if (t >= size - border)
        return frame - (size - t);
    if (t < border)
        return t;
    return border + (t - border) % tile;
}

struct NineCase {
    int srcW, srcH;      // whole source bitmap
    int cols, rows;      // grid
    int col, row;        // frame drawn
    int tileW, tileH;    // -1: a third
    int x, y, w, h;      // target rectangle
};

void checkNinePart(BITMAP* src, BITMAP* target, const NineCase& c, int marker)
{
    const int fw = c.srcW / c.cols, fh = c.srcH / c.rows;
    const int tw = c.tileW < 0 ? fw / 3 : c.tileW;
    const int th = c.tileH < 0 ? fh / 3 : c.tileH;
    for (int ty = 0; ty < target->h; ++ty) {
        for (int tx = 0; tx < target->w; ++tx) {
            const bool inside = tx >= c.x && tx < c.x + c.w && ty >= c.y && ty < c.y + c.h;
            if (!inside) {
                ASSERT_EQ(getpixel(target, tx, ty), marker) << "outside the rectangle at " << tx << "," << ty;
                continue;
            }
            int sx = -1, sy = -1;
            ASSERT_TRUE(BitmapTest::decode(target, tx, ty, sx, sy)) << "not drawn at " << tx << "," << ty;
            // Where both corners claim a pixel (a rectangle smaller than the
            // two borders) the right or bottom one is drawn last and wins.
            const int ex = c.col * fw + expectedSource(tx - c.x, c.w, fw, tw);
            const int ey = c.row * fh + expectedSource(ty - c.y, c.h, fh, th);
            ASSERT_EQ(sx, ex) << "column at " << tx << "," << ty;
            ASSERT_EQ(sy, ey) << "row at " << tx << "," << ty;
        }
    }
    (void)src;
}

TEST_P(BitmapTest, NinePartCornersEdgesAndMiddle)
{
    const NineCase cases[] = {
        // 9x9 frame, tile a third: 3-pixel borders, 3-pixel tiles.
        {9, 9, 1, 1, 0, 0, -1, -1, 2, 3, 20, 14},
        // Second frame of a 2 x 1 grid, tile 5 x 1: borders 2 and 4.
        {18, 9, 2, 1, 1, 0, 5, 1, 1, 1, 17, 12},
        // Odd border room: frame 10, tile 3 -> left border 3, right 3 taken
        // from the frame's last columns.
        {10, 20, 1, 2, 0, 1, 3, 4, 0, 0, 25, 21},
        // Exactly the frame's size: a plain copy of the frame.
        {12, 24, 1, 2, 0, 1, 4, 4, 3, 2, 12, 12},
        // Smaller than the two borders together.
        {9, 9, 1, 1, 0, 0, 3, 3, 4, 4, 4, 5},
        // One-pixel tiles stretched far.
        {5, 5, 1, 1, 0, 0, 1, 1, 1, 1, 27, 23},
    };
    for (const NineCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "frame " << c.col << "," << c.row << " of " << c.srcW << "x"
                                          << c.srcH << " into " << c.w << "x" << c.h);
        BITMAP* src = coordinateSource(c.srcW, c.srcH);
        Bitmap bmp;
        bmp.wrap(src);
        bmp.setTile(c.tileW, c.tileH);
        BITMAP* target = create_bitmap(30, 26);
        const int marker = makecol(1 * 8, 2 * 8, 200);
        for (bool masked : {false, true}) {
            clear_to_color(target, marker);
            if (masked)
                bmp.tiledBlitMasked(target, c.col, c.row, c.x, c.y, c.w, c.h, c.cols, c.rows);
            else
                bmp.tiledBlit(target, c.col, c.row, c.x, c.y, c.w, c.h, c.cols, c.rows);
            checkNinePart(src, target, c, marker);
        }
        destroy_bitmap(target);
        bmp.release();
        destroy_bitmap(src);
    }
}

TEST_P(BitmapTest, NinePartKeepsInsideTargetClipAndRestoresIt)
{
    BITMAP* src = coordinateSource(9, 9);
    Bitmap bmp;
    bmp.wrap(src);
    BITMAP* target = create_bitmap(40, 30);
    const int marker = makecol(0, 0, 0);
    clear_to_color(target, marker);
    set_clip_rect(target, 5, 5, 14, 12);
    // The rectangle runs past the clipping rectangle and off the bitmap.
    bmp.tiledBlit(target, 0, 0, 2, 2, 60, 60);
    int x1, y1, x2, y2;
    get_clip_rect(target, &x1, &y1, &x2, &y2);
    EXPECT_EQ(x1, 5);
    EXPECT_EQ(y1, 5);
    EXPECT_EQ(x2, 14);
    EXPECT_EQ(y2, 12);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inClip = x >= 5 && x <= 14 && y >= 5 && y <= 12;
            if (!inClip) {
                ASSERT_EQ(getpixel(target, x, y), marker) << x << "," << y;
            } else {
                ASSERT_NE(getpixel(target, x, y), marker) << x << "," << y;
            }
        }
    // With clipping switched off nothing is written outside the bitmap (the
    // sanitizer watches), and the state stays off.
    set_clip_state(target, 0);
    bmp.tiledBlit(target, 0, 0, -7, 20, 60, 30);
    bmp.tiledBlitMasked(target, 0, 0, 30, -5, 30, 60);
    EXPECT_EQ(get_clip_state(target), 0);
    EXPECT_NE(getpixel(target, 0, 29), marker);
    EXPECT_NE(getpixel(target, 39, 0), marker);
    set_clip_state(target, 1);
    // Nothing at all when the rectangle misses the clipping rectangle.
    set_clip_rect(target, 0, 0, 39, 29);
    clear_to_color(target, marker);
    set_clip_rect(target, 5, 5, 14, 12);
    bmp.tiledBlit(target, 0, 0, 20, 20, 10, 10);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(getpixel(target, x, y), marker);
    destroy_bitmap(target);
    bmp.release();
    destroy_bitmap(src);
}

TEST_P(BitmapTest, MaskedNinePartLeavesMaskPixelsUntouched)
{
    BITMAP* src = coordinateSource(9, 9);
    const int mask = bitmap_mask_color(src);
    // A mask-coloured checkerboard over the whole frame.
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            if ((x + y) % 2)
                putpixel(src, x, y, mask);
    Bitmap bmp;
    bmp.wrap(src);
    BITMAP* target = create_bitmap(25, 25);
    const int marker = makecol(8, 16, 200);
    // Tiles of a third, and single-pixel tiles (many of them).
    for (int tile : {-1, 1}) {
        clear_to_color(target, marker);
        bmp.setTile(tile, tile);
        const int t = tile < 0 ? 3 : tile;
        const NineCase c{9, 9, 1, 1, 0, 0, tile, tile, 1, 2, 22, 19};
        bmp.tiledBlitMasked(target, 0, 0, c.x, c.y, c.w, c.h);
        int copied = 0, kept = 0;
        for (int ty = c.y; ty < c.y + c.h; ++ty)
            for (int tx = c.x; tx < c.x + c.w; ++tx) {
                const int sx = expectedSource(tx - c.x, c.w, 9, t);
                const int sy = expectedSource(ty - c.y, c.h, 9, t);
                if ((sx + sy) % 2) {
                    ASSERT_EQ(getpixel(target, tx, ty), marker) << tx << "," << ty;
                    ++kept;
                } else {
                    int gx, gy;
                    ASSERT_TRUE(decode(target, tx, ty, gx, gy));
                    ASSERT_EQ(gx, sx);
                    ASSERT_EQ(gy, sy);
                    ++copied;
                }
            }
        EXPECT_GT(copied, 0);
        EXPECT_GT(kept, 0);
    }
    const NineCase c{9, 9, 1, 1, 0, 0, -1, -1, 1, 2, 22, 19};
    bmp.setTile(-1, -1);
    // The opaque twin copies the mask colour as it is.
    bmp.tiledBlit(target, 0, 0, c.x, c.y, c.w, c.h);
    EXPECT_EQ(getpixel(target, c.x + 1, c.y), mask);
    destroy_bitmap(target);
    bmp.release();
    destroy_bitmap(src);
}

// ---- ownership ----

TEST_P(BitmapTest, OwnershipOfCreatedWrappedMovedAndScreenBitmaps)
{
    Bitmap made;
    ASSERT_TRUE(made.create(7, 5));
    EXPECT_TRUE(made.owned());
    EXPECT_EQ(made.width(), 7);
    EXPECT_EQ(bitmap_color_depth(made.bitmap()), depth());
    // Moving hands the bitmap over (a double free would show up).
    BITMAP* raw = made.bitmap();
    Bitmap moved(std::move(made));
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(moved.bitmap(), raw);
    EXPECT_TRUE(moved.owned());
    EXPECT_FALSE(moved.create(0, 5));
    EXPECT_TRUE(moved.empty());

    // Wrapped bitmaps and the screen are never freed by their handles.
    BITMAP* mine = create_bitmap(4, 4);
    BITMAP* oldScreen = screen;
    screen = create_bitmap(16, 16);
    {
        Bitmap wrapped, shared;
        wrapped.wrap(mine);
        EXPECT_FALSE(wrapped.owned());
        EXPECT_EQ(wrapped.kind(), Bitmap::Memory);
        shared.wrap(screen);
        Bitmap sharer;
        ASSERT_TRUE(sharer.copy(shared, false));
        EXPECT_EQ(sharer.bitmap(), screen);
        sharer.release();
    }
    clear_to_color(mine, 0); // still alive: the sanitizer would object
    clear_to_color(screen, 0);
    destroy_bitmap(mine);
    destroy_bitmap(screen);
    screen = oldScreen;

    // A registered page of the screen is not freed even by its owner.
    BITMAP* page = nullptr;
    {
        Bitmap owner;
        ASSERT_TRUE(owner.create(16, 16));
        page = owner.bitmap();
        Bitmap::addScreenPage(page);
    }
    clear_to_color(page, 0);
    Bitmap::removeScreenPage(page);
    destroy_bitmap(page);
}

TEST_P(BitmapTest, DeepCopyOwnsItsPixelsShallowCopyShares)
{
    Bitmap original;
    ASSERT_TRUE(original.create(6, 4));
    original.setTile(2, 1);
    clear_to_color(original.bitmap(), makecol(0, 0, 255));
    putpixel(original.bitmap(), 5, 3, makecol(255, 0, 0));

    // Deep, also into a system bitmap (a memory bitmap without a driver).
    for (int kind : {int(Bitmap::SameKind), int(Bitmap::System)}) {
        Bitmap deep;
        ASSERT_TRUE(deep.copy(original, true, kind));
        EXPECT_TRUE(deep.owned());
        EXPECT_NE(deep.bitmap(), original.bitmap());
        EXPECT_EQ(deep.tileWidth(), 2);
        EXPECT_EQ(deep.tileHeight(), 1);
        EXPECT_EQ(rgbAt(deep.bitmap(), 5, 3), (Rgb{255, 0, 0}));
        putpixel(deep.bitmap(), 0, 0, makecol(0, 255, 0));
        EXPECT_EQ(rgbAt(original.bitmap(), 0, 0), (Rgb{0, 0, 255}));
        // Copying from nothing fails and keeps what the target held.
        Bitmap nothing;
        EXPECT_FALSE(deep.copy(nothing, true));
        EXPECT_EQ(rgbAt(deep.bitmap(), 5, 3), (Rgb{255, 0, 0}));
    }
    Bitmap shallow;
    ASSERT_TRUE(shallow.copy(original, false));
    EXPECT_FALSE(shallow.owned());
    EXPECT_EQ(shallow.bitmap(), original.bitmap());
    EXPECT_EQ(shallow.tileWidth(), 2);
    shallow.release();
    EXPECT_EQ(rgbAt(original.bitmap(), 5, 3), (Rgb{255, 0, 0})); // still alive
}

// ---- loading ----

class BitmapLoadTest : public BitmapTest {
protected:
    void SetUp() override
    {
        BitmapTest::SetUp();
        dir_ = fs::temp_directory_path() /
               ("vaskur_bitmap_" + std::to_string(::getpid()) + "_" + std::to_string(GetParam()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_P(BitmapLoadTest, MissingAndUnreadableFilesKeepTheBitmap)
{
    Bitmap b;
    ASSERT_TRUE(b.create(2, 2));
    BITMAP* before = b.bitmap();
    EXPECT_EQ(b.load((dir_ / "nothing.bmp").string().c_str()), Error(12));
    EXPECT_EQ(b.load(nullptr), Error(12));
    EXPECT_EQ(b.load(""), Error(12));
    const fs::path junk = dir_ / "junk.bmp";
    std::ofstream(junk, std::ios::binary) << "this is not a picture at all";
    EXPECT_EQ(b.load(junk.string().c_str()), Error(13));
    const fs::path empty = dir_ / "empty.pcx";
    std::ofstream(empty, std::ios::binary) << "";
    EXPECT_EQ(b.load(empty.string().c_str()), Error(13));
    const fs::path unknownKind = dir_ / "picture.xyz";
    std::ofstream(unknownKind, std::ios::binary) << "BM";
    EXPECT_EQ(b.load(unknownKind.string().c_str()), Error(13));
    // A real picture cut short, and one with a header claiming a huge size.
    BITMAP* pic = create_bitmap(16, 16);
    clear_to_color(pic, makecol(0, 255, 0));
    const fs::path whole = dir_ / "whole.bmp";
    ASSERT_EQ(save_bitmap(whole.string().c_str(), pic, nullptr), 0);
    destroy_bitmap(pic);
    std::string bytes;
    {
        std::ifstream in(whole, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const fs::path cut = dir_ / "cut.bmp";
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    EXPECT_EQ(b.load(cut.string().c_str()), Error(13));
    std::string huge = bytes;
    huge[18] = huge[19] = huge[20] = '\x7f'; // width
    const fs::path big = dir_ / "big.bmp";
    std::ofstream(big, std::ios::binary) << huge;
    EXPECT_EQ(b.load(big.string().c_str()), Error(13));
    EXPECT_EQ(b.bitmap(), before);
    EXPECT_TRUE(b.owned());
}

TEST_P(BitmapLoadTest, LoadsAPictureIntoTheRequestedKind)
{
    BITMAP* pic = create_bitmap(5, 3);
    clear_to_color(pic, makecol(0, 255, 0));
    putpixel(pic, 4, 2, makecol(255, 0, 0));
    const std::string file = (dir_ / "pic.bmp").string();
    ASSERT_EQ(save_bitmap(file.c_str(), pic, nullptr), 0);
    destroy_bitmap(pic);

    for (int kind : {Bitmap::Memory, Bitmap::System, Bitmap::SameKind}) {
        Bitmap b;
        ASSERT_EQ(b.load(file.c_str(), kind), Error(0)) << kind;
        EXPECT_TRUE(b.owned());
        EXPECT_EQ(b.width(), 5);
        EXPECT_EQ(b.height(), 3);
        EXPECT_EQ(bitmap_color_depth(b.bitmap()), depth());
        EXPECT_EQ(rgbAt(b.bitmap(), 4, 2), (Rgb{255, 0, 0}));
        EXPECT_EQ(rgbAt(b.bitmap(), 0, 0), (Rgb{0, 255, 0}));
    }
    // A palette picture comes in with its palette's colours.
    BITMAP* indexed = create_bitmap_ex(8, 4, 2);
    PALETTE pal;
    for (int i = 0; i < 256; ++i)
        pal[i] = RGB{0, 0, 0, 0};
    pal[7] = RGB{63, 0, 63, 0};
    pal[9] = RGB{0, 63, 0, 0};
    clear_to_color(indexed, 7);
    putpixel(indexed, 3, 1, 9);
    const std::string pcx = (dir_ / "indexed.pcx").string();
    ASSERT_EQ(save_bitmap(pcx.c_str(), indexed, pal), 0);
    destroy_bitmap(indexed);
    Bitmap fromPalette;
    ASSERT_EQ(fromPalette.load(pcx.c_str()), Error(0));
    EXPECT_EQ(bitmap_color_depth(fromPalette.bitmap()), depth());
    EXPECT_EQ(rgbAt(fromPalette.bitmap(), 3, 1), (Rgb{0, 255, 0}));
    EXPECT_EQ(rgbAt(fromPalette.bitmap(), 0, 0), (Rgb{255, 0, 255}));

    // A video bitmap cannot be made without a graphics mode: the file
    // cannot be loaded as one, and the bitmap keeps what it had.
    Bitmap v;
    ASSERT_TRUE(v.create(1, 1));
    BITMAP* before = v.bitmap();
    EXPECT_EQ(v.load(file.c_str(), Bitmap::Video), Error(13));
    EXPECT_EQ(v.bitmap(), before);
}

// ---- drawing helpers ----

TEST_P(BitmapTest, DottedRectangleDotsEverySecondOutlinePixel)
{
    BITMAP* b = create_bitmap(20, 20);
    clear_to_color(b, 0);
    const int c = makecol(255, 255, 255);
    const int x1 = 3, y1 = 4, x2 = 12, y2 = 10;
    Bitmap::dottedRect(b, x2, y2, x1, y1, c); // corners in either order
    int dots = 0, outline = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool onEdge = (x == x1 || x == x2) && y >= y1 && y <= y2;
            const bool onTopBottom = (y == y1 || y == y2) && x >= x1 && x <= x2;
            const bool set = getpixel(b, x, y) == c;
            if (onEdge || onTopBottom) {
                ++outline;
                dots += set;
                // Neighbours along the outline alternate.
                if (set && onTopBottom && x < x2) {
                    EXPECT_NE(getpixel(b, x + 1, y), c) << x << "," << y;
                }
                if (set && onEdge && y < y2 && !onTopBottom) {
                    EXPECT_NE(getpixel(b, x, y + 1), c) << x << "," << y;
                }
            } else {
                ASSERT_FALSE(set) << "off the outline at " << x << "," << y;
            }
        }
    EXPECT_EQ(dots, (outline + 1) / 2);
    EXPECT_EQ(getpixel(b, x1, y1), c);
    destroy_bitmap(b);
}

TEST_P(BitmapTest, ThreeDimensionalBoxShadesFromLightToDark)
{
    const int light = makecol(255, 255, 255), dark = makecol(60, 60, 60), fill = makecol(0, 0, 200);
    const int d = depth();
    const int third = Bitmap::mixColours(light, dark, 1, 3, d);
    const int twoThirds = Bitmap::mixColours(light, dark, 2, 3, d);
    // The shades lie a third and two thirds of the way (pixel precision).
    EXPECT_NEAR(getr_depth(d, third), 255 - (255 - 60) / 3, 8);
    EXPECT_NEAR(getg_depth(d, twoThirds), 255 - 2 * (255 - 60) / 3, 8);
    EXPECT_EQ(Bitmap::mixColours(light, dark, 3, 3, d), dark);
    BITMAP* b = create_bitmap(12, 10);
    for (bool sunken : {false, true}) {
        clear_to_color(b, 0);
        Bitmap::box3D(b, 1, 1, 10, 8, light, dark, sunken, fill);
        const int outerTL = sunken ? twoThirds : light, innerTL = sunken ? dark : third;
        const int innerBR = sunken ? light : twoThirds, outerBR = sunken ? third : dark;
        for (int x = 1; x <= 9; ++x) {
            EXPECT_EQ(getpixel(b, x, 1), outerTL) << sunken << " top " << x;
            EXPECT_EQ(getpixel(b, x + 1, 8), outerBR) << sunken << " bottom " << x;
        }
        for (int y = 1; y <= 7; ++y) {
            EXPECT_EQ(getpixel(b, 1, y), outerTL) << sunken << " left " << y;
            EXPECT_EQ(getpixel(b, 10, y + 1), outerBR) << sunken << " right " << y;
        }
        for (int x = 2; x <= 8; ++x) {
            EXPECT_EQ(getpixel(b, x, 2), innerTL);
            EXPECT_EQ(getpixel(b, x + 1, 7), innerBR);
        }
        EXPECT_EQ(getpixel(b, 2, 5), innerTL);
        EXPECT_EQ(getpixel(b, 9, 5), innerBR);
        for (int y = 3; y <= 6; ++y)
            for (int x = 3; x <= 8; ++x)
                ASSERT_EQ(getpixel(b, x, y), fill);
        // Nothing outside.
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(getpixel(b, x, 0), 0);
            EXPECT_EQ(getpixel(b, x, 9), 0);
        }
    }
    // Without a fill the inside stays as it was.
    clear_to_color(b, 0);
    Bitmap::box3D(b, 0, 0, 11, 9, light, dark, false);
    EXPECT_EQ(getpixel(b, 5, 5), 0);
    destroy_bitmap(b);
}

TEST_P(BitmapTest, ThreeDimensionalCircleIsLitFromTheTopLeft)
{
    const int light = makecol(255, 255, 255), dark = makecol(0, 0, 0), fill = makecol(0, 0, 255);
    BITMAP* b = create_bitmap(21, 21);
    for (bool sunken : {false, true}) {
        clear_to_color(b, makecol(255, 0, 0));
        Bitmap::circle3D(b, 10, 10, 8, light, dark, sunken, fill);
        // Rim pixels on the top-left and bottom-right diagonals.
        const Rgb tl = rgbAt(b, 10 - 5, 10 - 5), br = rgbAt(b, 10 + 5, 10 + 5);
        ASSERT_EQ(tl.r, tl.b) << "grey rim";
        if (sunken)
            EXPECT_LT(tl.r, br.r);
        else
            EXPECT_GT(tl.r, br.r);
        EXPECT_EQ(rgbAt(b, 10, 10), (Rgb{0, 0, 255}));
        // Round: the bounding box corners stay clear, the rim reaches the
        // radius on the axes.
        EXPECT_EQ(rgbAt(b, 2, 2), (Rgb{255, 0, 0}));
        EXPECT_EQ(rgbAt(b, 18, 18), (Rgb{255, 0, 0}));
        EXPECT_NE(rgbAt(b, 2, 10), (Rgb{255, 0, 0}));
        EXPECT_NE(rgbAt(b, 10, 18), (Rgb{255, 0, 0}));
        EXPECT_EQ(rgbAt(b, 1, 10), (Rgb{255, 0, 0}));
    }
    destroy_bitmap(b);
}

TEST_P(BitmapTest, CrossAndTickStayInTheirSquare)
{
    const int c = makecol(255, 255, 255);
    BITMAP* b = create_bitmap(20, 20);
    clear_to_color(b, 0);
    Bitmap::cross(b, 5, 6, 7, c);
    int set = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool in = x >= 5 && x < 12 && y >= 6 && y < 13;
            if (getpixel(b, x, y) == c) {
                ASSERT_TRUE(in) << x << "," << y;
                ++set;
                // Mirror image across the vertical middle.
                EXPECT_EQ(getpixel(b, 5 + 11 - x, y), c);
            }
        }
    // Both diagonals.
    EXPECT_EQ(getpixel(b, 5, 6), c);
    EXPECT_EQ(getpixel(b, 11, 6), c);
    EXPECT_EQ(getpixel(b, 5, 12), c);
    EXPECT_EQ(getpixel(b, 11, 12), c);
    EXPECT_EQ(getpixel(b, 8, 9), c);
    EXPECT_LT(set, 7 * 7);

    clear_to_color(b, 0);
    Bitmap::tick(b, 2, 3, 7, c);
    int lowestLeft = -1, topRight = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (getpixel(b, x, y) == c) {
                ASSERT_TRUE(x >= 2 && x < 9 && y >= 3 && y < 10) << x << "," << y;
                if (x == 8 && topRight < 0)
                    topRight = y;
                if (x == 4)
                    lowestLeft = y;
            }
    // The stroke comes down to the bottom a third of the way across and
    // rises to the top at the right.
    EXPECT_EQ(lowestLeft, 9);
    EXPECT_EQ(topRight, 3);
    destroy_bitmap(b);
}

TEST_P(BitmapTest, ArrowsPointTheirWay)
{
    const int c = makecol(255, 255, 255);
    BITMAP* b = create_bitmap(21, 21);
    struct Span {
        int minX = 99, maxX = -1, minY = 99, maxY = -1, count = 0;
    };
    auto measure = [&](int row, bool byRow) {
        int n = 0;
        for (int i = 0; i < 21; ++i)
            n += getpixel(b, byRow ? i : row, byRow ? row : i) == c;
        return n;
    };
    for (auto dir : {Bitmap::Up, Bitmap::Down, Bitmap::Left, Bitmap::Right}) {
        clear_to_color(b, 0);
        Bitmap::arrow(b, 10, 10, 7, dir, c);
        Span s;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x)
                if (getpixel(b, x, y) == c) {
                    s.minX = std::min(s.minX, x);
                    s.maxX = std::max(s.maxX, x);
                    s.minY = std::min(s.minY, y);
                    s.maxY = std::max(s.maxY, y);
                    ++s.count;
                }
        EXPECT_EQ(s.count, 7 + 5 + 3 + 1) << dir;
        const bool vertical = dir == Bitmap::Up || dir == Bitmap::Down;
        // Base 7 across, 4 along, about the centre.
        EXPECT_EQ((vertical ? s.maxX - s.minX : s.maxY - s.minY) + 1, 7) << dir;
        EXPECT_EQ((vertical ? s.maxY - s.minY : s.maxX - s.minX) + 1, 4) << dir;
        EXPECT_EQ(vertical ? s.minX + s.maxX : s.minY + s.maxY, 20) << dir;
        // The tip (one pixel) is on the side the arrow points to.
        const int tipLine = dir == Bitmap::Up ? s.minY : dir == Bitmap::Down ? s.maxY
                          : dir == Bitmap::Left ? s.minX : s.maxX;
        const int baseLine = dir == Bitmap::Up ? s.maxY : dir == Bitmap::Down ? s.minY
                           : dir == Bitmap::Left ? s.maxX : s.minX;
        EXPECT_EQ(measure(tipLine, vertical), 1) << dir;
        EXPECT_EQ(measure(baseLine, vertical), 7) << dir;
    }
    destroy_bitmap(b);
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapTest, ::testing::Values(16, 32));
INSTANTIATE_TEST_SUITE_P(Depths, BitmapLoadTest, ::testing::Values(16, 32));

} // namespace
