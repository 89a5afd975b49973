// The five ways a finished frame reaches the screen, picked from the
// settings. Dirty rectangles are kept in gui/DirtyRects.h.
#pragma once

#include <memory>

#include "gui/DirtyRects.h"
#include "gui/Error.h"
#include "gui/Geometry.h"

struct BITMAP;

// How a finished frame reaches the screen. Widgets draw into target(); once
// per frame the main loop calls acquire(), lets the widgets draw, release(),
// then show(). One method exists while a top-level dialog runs; it is chosen
// from the setting screenUpdateMethod, falling back to simpler methods when
// the hardware cannot provide the chosen one.
class ScreenUpdate {
public:
    virtual ~ScreenUpdate();

    // (Re)builds the method's bitmaps for the current screen size, calling
    // destroy() first.
    virtual Error create() = 0;
    virtual void destroy() = 0;
    // Brings the finished frame to the screen.
    virtual void show() = 0;
    // The bitmap widgets draw into (null before a successful create()).
    virtual BITMAP* target() = 0;
    virtual void acquire();
    virtual void release();
    virtual const char* name() const = 0;
    // True when every visible widget must be drawn in every frame.
    virtual bool redrawsEverything() const = 0;
    virtual void invalidate(int x, int y, int w, int h);
    // Records a changed screen area; only the dirty-rectangle method keeps it.
    virtual void invalidate(const Rect& r);

    // The running method, or null when there is none.
    static ScreenUpdate* current();
    // The running method, chosen and created from the settings on first use.
    static ScreenUpdate* instance();
    // Destroys the running method and clears it.
    static void destroyInstance();
    // Makes `update` the running method without owning it (tests); null
    // clears it. A method made by instance() is destroyed first.
    static void setCurrent(ScreenUpdate* update);
    // Re-creates the running method's bitmaps after a mode change, choosing
    // again when that fails.
    static void recreate();

    // A method object for a value of screenUpdateMethod, not yet created.
    static std::unique_ptr<ScreenUpdate> make(int method);
    // Tries the method for the value and its fallbacks in turn; returns the
    // first whose create() did not fail fatally (the direct method last,
    // taken whatever its result).
    static std::unique_ptr<ScreenUpdate> choose(int method);

protected:
    // Size of the current screen bitmap (0 when there is none).
    static int screenWidth();
    static int screenHeight();
};

// 0: draw into one memory (or video) buffer, copy all of it every frame.
class DoubleBufferUpdate : public ScreenUpdate {
public:
    ~DoubleBufferUpdate() override;
    Error create() override;
    void destroy() override;
    void show() override;
    BITMAP* target() override { return buffer_; }
    void acquire() override;
    void release() override;
    const char* name() const override;
    bool redrawsEverything() const override { return true; }

protected:
    BITMAP* buffer_ = nullptr;
};

// 1: two video pages; the drawn one is shown and drawing goes to the other.
class PageFlipUpdate : public ScreenUpdate {
public:
    ~PageFlipUpdate() override;
    Error create() override;
    void destroy() override;
    void show() override;
    BITMAP* target() override { return pages_[current_]; }
    void acquire() override;
    void release() override;
    const char* name() const override;
    bool redrawsEverything() const override { return true; }

protected:
    Error createPages(int count);
    void destroyPages();

    BITMAP* pages_[3] = {nullptr, nullptr, nullptr};
    int pageCount_ = 0;
    int current_ = 0;
    bool shown_ = false;
};

// 2: three video pages with requested (asynchronous) flips.
class TripleBufferUpdate : public PageFlipUpdate {
public:
    ~TripleBufferUpdate() override;
    Error create() override;
    void show() override;
    const char* name() const override;
};

// 3: one buffer; only the areas recorded with invalidate() reach the screen.
class DirtyRectangleUpdate : public DoubleBufferUpdate {
public:
    using ScreenUpdate::invalidate;
    ~DirtyRectangleUpdate() override;
    void show() override;
    const char* name() const override;
    bool redrawsEverything() const override { return false; }
    void invalidate(const Rect& r) override;

    const DirtyRectList& dirtyList() const { return dirty_; }

private:
    DirtyRectList dirty_;
};

// Any other value: drawing goes straight to the screen through a sub-bitmap.
class DirectUpdate : public ScreenUpdate {
public:
    ~DirectUpdate() override;
    Error create() override;
    void destroy() override;
    void show() override {}
    BITMAP* target() override { return sub_; }
    const char* name() const override;
    bool redrawsEverything() const override { return false; }

private:
    BITMAP* sub_ = nullptr;
};
