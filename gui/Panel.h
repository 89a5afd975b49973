// The raised panel widget, a plain skin bitmap; the backdrop is
// gui/Backdrop.h.
#pragma once

#include "gui/Widget.h"

// A raised panel: the skin's "PANEL_RAISED" bitmap over the whole widget.
class Panel : public Widget {
public:
    Panel();
    ~Panel() override;

    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;
};
