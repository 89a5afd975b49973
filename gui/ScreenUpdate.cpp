// The screen update methods: double buffering, page flipping, triple
// buffering, dirty rectangles and drawing directly, and choosing one.
#include "gui/ScreenUpdate.h"

#include <allegro.h>

#include "gui/Bitmap.h"
#include "gui/Settings.h"

namespace {

std::unique_ptr<ScreenUpdate> ownedUpdate;
ScreenUpdate* theUpdate = nullptr;

// Video bitmaps need a graphics driver; without one (no mode set) they
// cannot exist.
BITMAP* makeVideoBitmap(int w, int h)
{
    if (!gfx_driver || w <= 0 || h <= 0)
        return nullptr;
    return create_video_bitmap(w, h);
}

} // namespace

// ---------------------------------------------------------------- base

ScreenUpdate::~ScreenUpdate() = default;

void ScreenUpdate::acquire() {}
void ScreenUpdate::release() {}

void ScreenUpdate::invalidate(int x, int y, int w, int h)
{
    invalidate(Rect{x, y, w, h});
}

void ScreenUpdate::invalidate(const Rect&) {}

int ScreenUpdate::screenWidth() { return screen ? screen->w : 0; }
int ScreenUpdate::screenHeight() { return screen ? screen->h : 0; }

ScreenUpdate* ScreenUpdate::current() { return theUpdate; }

ScreenUpdate* ScreenUpdate::instance()
{
    if (!theUpdate) {
        ownedUpdate = choose(theSettings.screenUpdateMethod);
        theUpdate = ownedUpdate.get();
    }
    return theUpdate;
}

void ScreenUpdate::destroyInstance()
{
    if (ownedUpdate)
        ownedUpdate->destroy();
    ownedUpdate.reset();
    theUpdate = nullptr;
}

void ScreenUpdate::setCurrent(ScreenUpdate* update)
{
    if (update == theUpdate)
        return;
    destroyInstance();
    theUpdate = update;
}

void ScreenUpdate::recreate()
{
    if (!theUpdate)
        return;
    if (theUpdate != ownedUpdate.get()) {
        theUpdate->create();
        return;
    }
    if (ownedUpdate->create().isFatal()) {
        destroyInstance();
        instance();
    }
}

std::unique_ptr<ScreenUpdate> ScreenUpdate::make(int method)
{
    switch (method) {
    case 0: return std::make_unique<DoubleBufferUpdate>();
    case 1: return std::make_unique<PageFlipUpdate>();
    case 2: return std::make_unique<TripleBufferUpdate>();
    case 3: return std::make_unique<DirtyRectangleUpdate>();
    default: return std::make_unique<DirectUpdate>();
    }
}

std::unique_ptr<ScreenUpdate> ScreenUpdate::choose(int method)
{
    // Each method is followed by what to try when it cannot be made.
    static const int chains[4][4] = {
        {0, -1, -1, -1},
        {1, 0, -1, -1},
        {2, 1, 0, -1},
        {3, -1, -1, -1},
    };
    if (method >= 0 && method <= 3) {
        for (int m : chains[method]) {
            if (m < 0)
                break;
            auto candidate = make(m);
            if (!candidate->create().isFatal())
                return candidate;
        }
    }
    auto direct = make(-1);
    direct->create();
    return direct;
}

// ---------------------------------------------------------------- double buffering

DoubleBufferUpdate::~DoubleBufferUpdate() { DoubleBufferUpdate::destroy(); }

Error DoubleBufferUpdate::create()
{
    destroy();
    const int w = screenWidth();
    const int h = screenHeight();
    if (w <= 0 || h <= 0)
        return Error(Error::OUT_OF_MEMORY);
    if (theSettings.useVideoMemory)
        buffer_ = makeVideoBitmap(w, h);
    if (!buffer_)
        buffer_ = create_bitmap(w, h);
    if (!buffer_)
        return Error(Error::OUT_OF_MEMORY);
    clear_bitmap(buffer_);
    return Error();
}

void DoubleBufferUpdate::destroy()
{
    if (buffer_)
        destroy_bitmap(buffer_);
    buffer_ = nullptr;
}

void DoubleBufferUpdate::show()
{
    if (!buffer_ || !screen)
        return;
    if (theSettings.vsync)
        vsync();
    blit(buffer_, screen, 0, 0, 0, 0, screenWidth(), screenHeight());
}

void DoubleBufferUpdate::acquire()
{
    if (buffer_ && is_video_bitmap(buffer_))
        acquire_bitmap(buffer_);
}

void DoubleBufferUpdate::release()
{
    if (buffer_ && is_video_bitmap(buffer_))
        release_bitmap(buffer_);
}

const char* DoubleBufferUpdate::name() const { return "Double Buffering"; }

// ---------------------------------------------------------------- page flipping

PageFlipUpdate::~PageFlipUpdate() { PageFlipUpdate::destroy(); }

Error PageFlipUpdate::createPages(int count)
{
    destroy();
    const int w = screenWidth();
    const int h = screenHeight();
    for (int i = 0; i < count; ++i) {
        pages_[i] = makeVideoBitmap(w, h);
        if (!pages_[i]) {
            pageCount_ = i;
            destroy();
            return Error(Error::OUT_OF_VIDEO_MEMORY);
        }
        Bitmap::addScreenPage(pages_[i]);
    }
    pageCount_ = count;
    current_ = 0;
    clear_bitmap(pages_[0]);
    show_video_bitmap(pages_[0]);
    shown_ = true;
    return Error();
}

Error PageFlipUpdate::create() { return createPages(2); }

void PageFlipUpdate::destroyPages()
{
    // The first page goes back on screen before the others disappear (only
    // when the pages were in use: a failed creation never showed one).
    if (shown_ && pages_[0] && gfx_driver)
        show_video_bitmap(pages_[0]);
    shown_ = false;
    for (int i = pageCount_ - 1; i >= 0; --i) {
        if (pages_[i]) {
            Bitmap::removeScreenPage(pages_[i]);
            destroy_bitmap(pages_[i]);
        }
        pages_[i] = nullptr;
    }
    pageCount_ = 0;
    current_ = 0;
}

void PageFlipUpdate::destroy()
{
    // Pages made before a failure are released here too.
    for (int i = pageCount_; i < 3; ++i) {
        if (pages_[i]) {
            Bitmap::removeScreenPage(pages_[i]);
            destroy_bitmap(pages_[i]);
            pages_[i] = nullptr;
        }
    }
    destroyPages();
}

void PageFlipUpdate::show()
{
    if (pageCount_ < 2)
        return;
    show_video_bitmap(pages_[current_]);
    current_ = (current_ + 1) % pageCount_;
}

void PageFlipUpdate::acquire()
{
    if (pageCount_ > 0)
        acquire_bitmap(pages_[current_]);
}

void PageFlipUpdate::release()
{
    if (pageCount_ > 0)
        release_bitmap(pages_[current_]);
}

const char* PageFlipUpdate::name() const { return "Page Flipping"; }

// ---------------------------------------------------------------- triple buffering

TripleBufferUpdate::~TripleBufferUpdate() { TripleBufferUpdate::destroy(); }

Error TripleBufferUpdate::create()
{
    destroy();
    if (!gfx_driver)
        return Error(Error::TRIPLE_BUFFERING);
    if (!(gfx_capabilities & GFX_CAN_TRIPLE_BUFFER))
        enable_triple_buffer();
    if (!(gfx_capabilities & GFX_CAN_TRIPLE_BUFFER))
        return Error(Error::TRIPLE_BUFFERING);
    return createPages(3);
}

void TripleBufferUpdate::show()
{
    if (pageCount_ < 3)
        return;
    while (poll_scroll())
        ;
    request_video_bitmap(pages_[current_]);
    current_ = (current_ + 1) % 3;
}

const char* TripleBufferUpdate::name() const { return "Triple Buferring"; }

// ---------------------------------------------------------------- dirty rectangles

DirtyRectangleUpdate::~DirtyRectangleUpdate() = default;

void DirtyRectangleUpdate::show()
{
    if (!buffer_ || !screen) {
        dirty_.clear();
        return;
    }
    acquire_screen();
    for (const Rect& r : dirty_.rects())
        blit(buffer_, screen, r.x, r.y, r.x, r.y, r.w, r.h);
    dirty_.clear();
    release_screen();
}

void DirtyRectangleUpdate::invalidate(const Rect& r) { dirty_.add(r); }

const char* DirtyRectangleUpdate::name() const { return "Dirty Rectangle System"; }

// ---------------------------------------------------------------- direct

DirectUpdate::~DirectUpdate() { DirectUpdate::destroy(); }

Error DirectUpdate::create()
{
    destroy();
    if (screen && screenWidth() > 0 && screenHeight() > 0)
        sub_ = create_sub_bitmap(screen, 0, 0, screenWidth(), screenHeight());
    return sub_ ? Error() : Error(Error::OUT_OF_MEMORY);
}

void DirectUpdate::destroy()
{
    if (sub_)
        destroy_bitmap(sub_);
    sub_ = nullptr;
}

const char* DirectUpdate::name() const { return "default Allegro update driver"; }
