// A window's caption: the skin's WINDOW text look and alignment, no
// background. The window is in gui/Window.cpp.
#include "gui/WindowTitle.h"

#include "gui/Skin.h"

WindowTitle::WindowTitle()
{
    setText("Window");
}

void WindowTitle::msgSkinChanged()
{
    Label::msgSkinChanged();
    takeTypeLook(Skin::TYPE_WINDOW);
    backColor_ = NO_COLOR;
    setFlag(D_AUTOSIZE);
    if (Skin* s = skin())
        alignment_ = s->elements().windowAlignment;
    updateSize();
    redraw();
}
