// The background widget of a dialog; the other plain widgets are
// gui/Panel.h and gui/Label.h.
#pragma once

#include "gui/Widget.h"

// Fills its dialog with the skin's background colour ("back").
class Backdrop : public Widget {
public:
    Backdrop();
    ~Backdrop() override;

    // Takes the parent's size.
    void msgStart() override;
    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;

    Color fillColor() const { return fill_; }
    void setFillColor(Color c) { fill_ = c; redraw(); }

private:
    Color fill_ = NO_COLOR;
};
