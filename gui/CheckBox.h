// The check box, a toggle button (gui/Button.h) with a box beside its
// caption.
#pragma once

#include "gui/Button.h"

// A toggle button drawn as a box and a caption, in the skin's CHECKBOX look.
// The "CHECKBOX" bitmap is a grid of 2 columns (not ticked, ticked) by 4
// rows (normal, pressed, disabled, focused).
class CheckBox : public Button {
public:
    CheckBox();
    ~CheckBox() override;

    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;

    bool checked() const { return selected(); }
    void setChecked(bool on);

protected:
    int drawState() const override;
};
