// A title-bar icon of a window (minimise, maximise, close): a button drawn
// from a skin icon bitmap. The window itself is in gui/Window.h.
#pragma once

#include "gui/Button.h"

// A button of the title bar, drawn from one of the skin's icon bitmaps and
// as large as one frame of it.
class WindowIcon : public Button {
public:
    explicit WindowIcon(int bitmapSlot);

    void msgSkinChanged() override;
    // Shows another icon bitmap (the maximise icon while maximised).
    void setIcon(int bitmapSlot);
    int icon() const { return slot_; }
    // The sound played on activation (a skin sample slot, -1 none).
    void setActivationSound(int sample);

private:
    int slot_;
};
