// The image widget, showing its own picture or a skin bitmap; bitmaps
// themselves are gui/Bitmap.h.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/Error.h"
#include "gui/Label.h"  // D_AUTOSIZE
#include "gui/Widget.h"

// A picture: the image's own bitmap (a deep copy of what it was given, or a
// loaded file), or else the skin bitmap at bitmapIndex, centred in the
// widget. With D_AUTOSIZE (set by default) the widget takes the picture's
// size. A masked image skips the mask colour, over its background colour if
// one is set.
class Image : public Widget {
public:
    Image();
    ~Image() override;

    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;

    // Keeps a deep copy (same kind as the source); an empty source drops the
    // own bitmap, and so does a source of no pixels (0 wide or high), to
    // whose size an autosized image then shrinks. updateSize.
    virtual void setBitmap(const Bitmap& bitmap);
    virtual void setBitmap(BITMAP* bitmap);
    // Loads an image file as the own bitmap (errors as Bitmap::load; the
    // image is unchanged on failure). updateSize.
    virtual Error loadBitmap(const char* fileName);
    // Drops the own bitmap and shows the skin bitmap at `slot`. updateSize.
    virtual void setBitmapIndex(int slot);
    // With D_AUTOSIZE: the size of the picture shown.
    virtual void updateSize();

    using Widget::setup;
    void setup(int x, int y, int w, int h, int key, std::uint32_t flags,
               BITMAP* bitmap, bool masked = false, Color background = NO_COLOR);
    void setup(int x, int y, int w, int h, int key, std::uint32_t flags,
               const char* fileName, bool masked = false, Color background = NO_COLOR);
    void setup(int x, int y, int w, int h, int key, std::uint32_t flags,
               int skinSlot, bool masked = false, Color background = NO_COLOR);

    // The picture shown: the own bitmap, else the skin bitmap (may be empty).
    const Bitmap& picture() const;
    bool hasOwnBitmap() const;

    bool masked() const { return masked_; }
    void setMasked(bool on) { masked_ = on; redraw(); }
    Color background() const { return background_; }
    void setBackground(Color c) { background_ = c; redraw(); }

private:
    // Does drawing the current picture leave pixels of the widget unpainted?
    bool seeThrough() const;

    std::unique_ptr<Bitmap> own_;
    bool masked_ = false;
    Color background_ = NO_COLOR;
};
