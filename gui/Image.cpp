// The image: copying or loading its picture, falling back to a skin bitmap,
// sizing to it and drawing it centred, masked or not.
#include "gui/Image.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/Label.h"

Image::Image()
{
    setFlag(D_AUTOSIZE);
}

Image::~Image() = default;

bool Image::hasOwnBitmap() const { return own_ && !own_->empty(); }

const Bitmap& Image::picture() const
{
    if (hasOwnBitmap())
        return *own_;
    return skinBitmap();
}

// A picture that is masked without a background, smaller than the widget
// or gone leaves pixels of the old one unpainted.
bool Image::seeThrough() const
{
    const Bitmap& b = picture();
    return b.empty() || (masked_ && background_ == NO_COLOR) || b.width() < w() ||
           b.height() < h();
}

void Image::setBitmap(const Bitmap& bitmap)
{
    const Rect before = rect_;
    if (bitmap.empty()) {
        own_.reset();
    } else if (bitmap.width() <= 0 || bitmap.height() <= 0) {
        // A picture of no pixels: nothing of the old one stays, and an
        // image that takes its picture's size shrinks to nothing.
        own_.reset();
        if (flags_ & D_AUTOSIZE)
            resize(std::max(bitmap.width(), 0), std::max(bitmap.height(), 0));
    } else {
        auto copy = std::make_unique<Bitmap>();
        if (copy->copy(bitmap, true, Bitmap::SameKind))
            own_ = std::move(copy);
    }
    updateSize();
    Label::exposeBehind(*this, before, seeThrough());
    redraw();
}

void Image::setBitmap(BITMAP* bitmap)
{
    Bitmap source;
    source.wrap(bitmap);
    setBitmap(source);
}

Error Image::loadBitmap(const char* fileName)
{
    auto loaded = std::make_unique<Bitmap>();
    Error e = loaded->load(fileName);
    if (e.code() == 0) {
        const Rect before = rect_;
        own_ = std::move(loaded);
        updateSize();
        Label::exposeBehind(*this, before, seeThrough());
        redraw();
    }
    return e;
}

void Image::setBitmapIndex(int slot)
{
    const Rect before = rect_;
    own_.reset();
    Widget::setBitmapIndex(slot);
    updateSize();
    Label::exposeBehind(*this, before, seeThrough());
    redraw();
}

void Image::updateSize()
{
    if (!(flags_ & D_AUTOSIZE))
        return;
    const Bitmap& b = picture();
    if (!b.empty() && (b.width() != w() || b.height() != h()))
        resize(b.width(), b.height());
}

void Image::msgSkinChanged()
{
    // A skin picture may have a new size.
    updateSize();
    Widget::msgSkinChanged();
}

void Image::draw(Bitmap& canvas)
{
    const Bitmap& b = picture();
    if (b.empty())
        return;
    BITMAP* target = canvas.bitmap();
    int ox = (w() - b.width()) / 2;
    int oy = (h() - b.height()) / 2;
    if (ox < 1)
        ox = 0;
    if (oy < 1)
        oy = 0;
    if (masked_) {
        if (background_ != NO_COLOR)
            clear_to_color(target, background_);
        masked_blit(b.bitmap(), target, 0, 0, ox, oy, b.width(), b.height());
    } else {
        blit(b.bitmap(), target, 0, 0, ox, oy, b.width(), b.height());
    }
}

void Image::setup(int x, int y, int w, int h, int key, std::uint32_t flags, BITMAP* bitmap,
                  bool masked, Color background)
{
    Widget::setup(x, y, w, h, key, flags);
    masked_ = masked;
    background_ = background;
    setBitmap(bitmap);
}

void Image::setup(int x, int y, int w, int h, int key, std::uint32_t flags,
                  const char* fileName, bool masked, Color background)
{
    Widget::setup(x, y, w, h, key, flags);
    masked_ = masked;
    background_ = background;
    if (fileName)
        loadBitmap(fileName);
}

void Image::setup(int x, int y, int w, int h, int key, std::uint32_t flags, int skinSlot,
                  bool masked, Color background)
{
    Widget::setup(x, y, w, h, key, flags);
    masked_ = masked;
    background_ = background;
    setBitmapIndex(skinSlot);
}
