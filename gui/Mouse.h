// The framework's mouse and its drawn cursor with shadow; cursors come from
// the skin (gui/Skin.h).
#pragma once

#include <cstdint>
#include <vector>

#include "gui/Geometry.h"

struct BITMAP;
class Cursor;
class Skin;
class ScreenUpdate;

// The framework's mouse: the last polled position (screen coordinates),
// buttons (1 left, 2 right, 4 middle) and wheel position, and the cursor it
// draws onto the drawing target of the screen update method. Exists while a
// top-level dialog runs; reach it through mouse().
class Mouse {
public:
    Mouse();
    ~Mouse();
    Mouse(const Mouse&) = delete;
    Mouse& operator=(const Mouse&) = delete;

    Point pos() const { return pos_; }
    Point position() const { return pos_; }
    int x() const { return pos_.x; }
    int y() const { return pos_.y; }
    int buttons() const { return buttons_; }
    int wheel() const { return wheel_; }
    // Stores a freshly polled state.
    void update(Point pos, int buttons, int wheel);

    // Shows cursor slot `index` of the skin (the global skin when null).
    // An empty or missing slot keeps the current cursor.
    void setCursor(Skin* skin, int index);
    void setCursor(const Cursor* cursor); // null: no cursor
    const Cursor* cursor() const { return cursor_; }
    int frame() const { return frame_; }

    // Advances the cursor animation by `ms` milliseconds.
    void advance(int ms);

    // The screen update method whose target the cursor is drawn on.
    void connect(ScreenUpdate* update)
    {
        update_ = update;
        drawnCursor_ = nullptr;
    }

    // Saves the target under the cursor, draws the shadow (when the setting
    // mouseShadow is on) and the current frame with its focus point at the
    // mouse position, and reports the covered area as changed.
    void draw();
    // Puts the saved picture back.
    void hide();
    // Drops the saved picture without putting it back (the drawing target
    // is about to be replaced, e.g. by a mode change).
    void forgetTarget()
    {
        savedOn_ = nullptr;
        drawnCursor_ = nullptr;
    }
    bool visible() const { return savedOn_ != nullptr; }
    // True when the cursor must be drawn again: it has another position,
    // cursor or frame than when draw() drew it last, or its drawing target
    // was replaced since.
    bool needsDrawing() const;
    // Area the cursor covers while drawn (frame and shadow), screen coordinates.
    Rect area() const { return area_; }

    // Largest blur radius used; a skin asking for more gets this one (a
    // wider blur would fade the shadow to nothing anyway).
    static constexpr int maxShadowRadius = 32;

    // A soft shadow picture of a cursor frame: 8-bit coverage values (0 to
    // 255), the frame's shape blurred by a box blur of the given radius (at
    // most maxShadowRadius) and grown by the radius on every side. Exposed
    // for tests.
    struct Shadow {
        int w = 0;
        int h = 0;
        std::vector<std::uint8_t> alpha;
    };
    static Shadow makeShadow(BITMAP* frame, int radius);

private:
    void buildShadows();
    void drawShadow(BITMAP* target, int x, int y);

    Point pos_{-10000, -10000};
    int buttons_ = 0;
    int wheel_ = 0;

    const Cursor* cursor_ = nullptr;
    int frame_ = 0;
    std::int64_t elapsedMs_ = 0;
    std::vector<Shadow> shadows_;
    int shadowRadius_ = -1;

    ScreenUpdate* update_ = nullptr;
    BITMAP* saved_ = nullptr;
    BITMAP* savedOn_ = nullptr;
    Rect area_;

    // What draw() drew last; no cursor when it must be drawn anew.
    const Cursor* drawnCursor_ = nullptr;
    Point drawnPos_;
    int drawnFrame_ = 0;
};

// The mouse of the running top-level dialog, or null.
Mouse* mouse();
// Makes the mouse object if there is none (the top-level dialog's start).
Mouse* createMouse();
// Hides and destroys it.
void destroyMouse();
