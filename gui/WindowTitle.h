// The caption of a window: a label in the skin's WINDOW look. The window
// itself is in gui/Window.h.
#pragma once

#include "gui/Label.h"

// The window's title: a label in the skin's WINDOW text look.
class WindowTitle : public Label {
public:
    WindowTitle();
    void msgSkinChanged() override;
};
