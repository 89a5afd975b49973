// The push button and its two flags; the check box (gui/CheckBox.h) and the
// window icons (gui/WindowIcon.h) are buttons too.
#pragma once

#include <cstdint>

#include "gui/Label.h"

// Button flags: D_TOGGLE stays selected after a click until clicked again;
// D_AUTOREPEAT does not activate on release but repeatedly while held.
inline constexpr std::uint32_t D_TOGGLE = 0x10000;
inline constexpr std::uint32_t D_AUTOREPEAT = 0x20000;

// A push button in the skin's BUTTON look: frame (0, state) of the 1 x 4
// "BUTTON" bitmap stretched by the nine-part drawing, with a caption that
// may mark its shortcut with "&". Activation plays the activation sound and
// reports MSG_ACTIVATE to the parent dialog.
class Button : public Label {
public:
    Button();
    ~Button() override;

    // Widget handlers.
    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;
    void msgEnd() override;
    void msgKey() override;
    void msgTick() override;
    void msgLPress() override;
    void msgLRelease() override;
    bool msgWantFocus() override;
    void msgGotFocus() override;
    void msgLostFocus() override;

    // With D_AUTOSIZE: one frame of the bitmap.
    void updateSize() override;

    // (Label's setup with an alignment is hidden: a button's caption is
    // always centred.)
    using Widget::setup;
    void setup(int x, int y, int w, int h, int key, std::uint32_t flags, const char* text);

    // Plays the activation sound and reports MSG_ACTIVATE.
    virtual void activate();

    // Ticks a shortcut press stays down: logicFrameRate x 150 / 1000, at
    // least 1.
    static int keyHoldTicks();
    // Ticks between activations of a held auto-repeat button:
    // logicFrameRate x 60 / 1000, at least 1.
    static int repeatTicks();

    // Ticks left until a shortcut press is released (0: none pending).
    int keyHoldCounter() const { return keyHold_; }
    int repeatCounter() const { return repeat_; }

protected:
    // Goes down: toggles the selected state, redraw, animate, D_PRESSED.
    void press();
    // Comes up after a press. With `checkMouse` a release outside the button
    // takes the press back without activating.
    void release(bool checkMouse);
    // Is the mouse over the button (its rectangle, edges included)?
    bool mouseInside() const;
    // The drawing state: disabled, selected, focused, normal.
    virtual int drawState() const;
    // The button's face covers its caption area.
    bool paintsWholeArea() const override { return true; }

    int keyHold_ = 0;
    int repeat_ = 0;
};
