// The skin bitmap class and the small drawing helpers of the built-in look;
// loading and drawing are in gui/Bitmap.cpp, the skin in gui/Skin.h.
#pragma once

// A skin bitmap: an Allegro bitmap with its kind, whether this object owns
// it, and the size of the middle tile used by the nine-part drawing. Also the
// small drawing helpers the built-in look is painted with.
//
// Colours are pixel values of the target's colour depth as made by makecol;
// -1 means "no colour" wherever a colour is optional.

struct BITMAP;
class Error;

class Bitmap {
public:
    // Kinds of Allegro bitmap. SameKind is only a request: "the kind of the
    // source" for copy, memory for create and load.
    enum Kind { Memory = 0, System = 1, Video = 2, SameKind = 3 };

    enum Direction { Up = 0, Down = 1, Left = 2, Right = 3 };

    Bitmap() = default;
    virtual ~Bitmap();

    // A Bitmap is a handle with ownership: it cannot be copied implicitly
    // (use copy()), but it can be moved.
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;

    // Makes a new owned bitmap of w x h pixels in the current colour depth,
    // releasing the previous one. False (and empty) when Allegro cannot make
    // it or the size is not positive.
    bool create(int w, int h, int kind = Memory);

    // Refers to an existing Allegro bitmap without owning it; the kind is
    // taken from the bitmap. A null pointer leaves the Bitmap empty.
    void wrap(BITMAP* allegroBitmap);

    // deep: an owned bitmap of the requested kind holding a copy of the
    // pixels (SameKind: the source's kind). Otherwise both share the Allegro
    // bitmap and this one does not own it. Tile sizes are copied too.
    // False when the source is empty or the new bitmap cannot be made; this
    // bitmap is then left as it was.
    bool copy(const Bitmap& other, bool deep = true, int kind = SameKind);

    // Loads an image file (BMP, PCX, LBM, TGA) into the current colour depth.
    // Error 12: no such file; 13: it cannot be read, is damaged, or the
    // requested system/video bitmap cannot be made. On failure the bitmap
    // keeps what it held.
    Error load(const char* fileName, int kind = Memory);

    // Drops the Allegro bitmap; frees it only if owned, and never when it is
    // the screen or a registered page of the screen. Tile sizes are kept.
    void release();

    BITMAP* bitmap() const { return bmp_; }
    bool empty() const { return bmp_ == nullptr; }
    explicit operator bool() const { return bmp_ != nullptr; }
    int width() const;
    int height() const;
    int kind() const { return kind_; }
    bool owned() const { return owned_; }

    // Middle tile of the nine-part drawing; -1 means a third of the frame.
    int tileWidth() const { return tileW_; }
    int tileHeight() const { return tileH_; }
    void setTile(int w, int h) { tileW_ = w; tileH_ = h; }

    // Nine-part drawing of frame (col, row) of a cols x rows grid over this
    // bitmap into the rectangle (x, y, w, h) of the target: corners copied
    // unscaled, edges repeated along the sides, the middle tile repeated over
    // the inside, everything clipped by the rectangle (and by the target's
    // own clipping rectangle).
    void tiledBlit(BITMAP* target, int col, int row, int x, int y, int w, int h,
                   int cols = 1, int rows = 1) const;
    // The same with masked copies: mask-coloured source pixels are skipped.
    void tiledBlitMasked(BITMAP* target, int col, int row, int x, int y, int w, int h,
                         int cols = 1, int rows = 1) const;
    void tiledBlit(Bitmap& target, int col, int row, int x, int y, int w, int h,
                   int cols = 1, int rows = 1) const
    { tiledBlit(target.bitmap(), col, row, x, y, w, h, cols, rows); }
    void tiledBlitMasked(Bitmap& target, int col, int row, int x, int y, int w, int h,
                         int cols = 1, int rows = 1) const
    { tiledBlitMasked(target.bitmap(), col, row, x, y, w, h, cols, rows); }

    // Screen pages (page flipping, triple buffering) are never freed by
    // release(); whoever makes them registers them here while they live.
    static void addScreenPage(BITMAP* page);
    static void removeScreenPage(BITMAP* page);

    // Releases the video bitmap of every Bitmap that owns one, leaving them
    // empty. Setting a graphics mode frees all video bitmaps behind the
    // program's back: they are released before, while still valid.
    static void releaseVideoBitmaps();

    // ---- drawing helpers (all clip to the target's clipping rectangle) ----

    // Colour a fraction num/den of the way from a to b, in the given colour
    // depth (both pixel values of that depth).
    static int mixColours(int a, int b, int num, int den, int depth);

    // Every second pixel of the four edges of the rectangle (x1, y1)-(x2, y2),
    // starting with the top-left corner.
    static void dottedRect(BITMAP* target, int x1, int y1, int x2, int y2, int colour);

    // A two-pixel bevel round (x1, y1)-(x2, y2). Raised: outer top/left edge
    // `light`, inner top/left one third of the way to `dark`, inner
    // bottom/right two thirds, outer bottom/right `dark`. Sunken: the same
    // mirrored. The inside is filled with `fill` unless it is -1.
    static void box3D(BITMAP* target, int x1, int y1, int x2, int y2,
                      int light, int dark, bool sunken, int fill = -1);

    // A ring of radius r round (cx, cy), two pixels wide, lit from the top
    // left (raised) or from the bottom right (sunken), shading smoothly from
    // `light` to `dark`; the inside is filled with `fill` unless it is -1.
    static void circle3D(BITMAP* target, int cx, int cy, int r,
                         int light, int dark, bool sunken, int fill = -1);

    // A diagonal cross filling the size x size square at (x, y), with strokes
    // `thickness` pixels wide.
    static void cross(BITMAP* target, int x, int y, int size, int colour, int thickness = 2);

    // A tick mark (check mark) inside the size x size square at (x, y).
    static void tick(BITMAP* target, int x, int y, int size, int colour);

    // A filled triangular arrow pointing in `direction`, centred on (cx, cy);
    // `size` is the length of its base, its height is about half of that.
    static void arrow(BITMAP* target, int cx, int cy, int size, Direction direction, int colour);
    static void arrowUp(BITMAP* t, int cx, int cy, int size, int colour) { arrow(t, cx, cy, size, Up, colour); }
    static void arrowDown(BITMAP* t, int cx, int cy, int size, int colour) { arrow(t, cx, cy, size, Down, colour); }
    static void arrowLeft(BITMAP* t, int cx, int cy, int size, int colour) { arrow(t, cx, cy, size, Left, colour); }
    static void arrowRight(BITMAP* t, int cx, int cy, int size, int colour) { arrow(t, cx, cy, size, Right, colour); }

private:
    // Keeps the list of Bitmaps that own a video bitmap.
    void trackVideo();
    void untrackVideo();

    void blitNine(BITMAP* target, int col, int row, int x, int y, int w, int h,
                  int cols, int rows, bool masked) const;

    BITMAP* bmp_ = nullptr;
    int kind_ = Memory;
    bool owned_ = false;
    int tileW_ = -1;
    int tileH_ = -1;
};
