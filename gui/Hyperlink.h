// The hyperlink, a button (gui/Button.h) drawn as underlined text.
#pragma once

#include "gui/Button.h"

// A button drawn as underlined text in the skin's HYPER look. It always
// sizes itself to its caption and shows the "MOUSE_SELECT" cursor while the
// mouse is over it.
class Hyperlink : public Button {
public:
    Hyperlink();
    ~Hyperlink() override;

    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;
    void msgGotMouse() override;
    void msgLostMouse() override;

    // The label's size, 3 pixels wider and 2 taller.
    void updateSize() override;

protected:
    int drawState() const override;
};
