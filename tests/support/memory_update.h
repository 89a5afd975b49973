// Test support: a screen update (gui/ScreenUpdate.h) drawing into a memory
// bitmap and recording the changed areas.
#pragma once

// A screen update that draws into a 32-bit memory bitmap of a given size in
// place of the screen, and records the areas it is told have changed.

#include <allegro.h>

#include <vector>

#include "gui/Error.h"
#include "gui/Geometry.h"
#include "gui/ScreenUpdate.h"

namespace testkit {

class MemoryUpdate : public ScreenUpdate {
public:
    MemoryUpdate(int w, int h, int background = 0) : bitmap(create_bitmap_ex(32, w, h))
    {
        clear_to_color(bitmap, background);
    }
    ~MemoryUpdate() override { destroy_bitmap(bitmap); }
    MemoryUpdate(const MemoryUpdate&) = delete;
    MemoryUpdate& operator=(const MemoryUpdate&) = delete;

    Error create() override { return Error(); }
    void destroy() override {}
    void show() override {}
    BITMAP* target() override { return bitmap; }
    const char* name() const override { return "test"; }
    bool redrawsEverything() const override { return false; }
    using ScreenUpdate::invalidate;
    void invalidate(const Rect& r) override { changed.push_back(r); }

    BITMAP* bitmap;
    std::vector<Rect> changed;
};

}  // namespace testkit
