// A title-bar icon: a button that keeps its icon bitmap and the window's
// activation sound when the skin changes. The window is in gui/Window.cpp.
#include "gui/WindowIcon.h"

#include "gui/Skin.h"

WindowIcon::WindowIcon(int bitmapSlot) : slot_(bitmapSlot)
{
    setFlag(D_AUTOSIZE);
    bitmapIndex_ = slot_;
}

void WindowIcon::msgSkinChanged()
{
    const int sound = sampleIndex(Skin::SAMPLE_ACTIVATE);
    Button::msgSkinChanged();
    // The button look gives the button bitmap and its sounds: keep the
    // icon and the window's choice of activation sound.
    setSampleIndex(Skin::SAMPLE_ACTIVATE, sound);
    setFlag(D_AUTOSIZE);
    bitmapIndex_ = slot_;
    updateSize();
}

void WindowIcon::setIcon(int bitmapSlot)
{
    slot_ = bitmapSlot;
    bitmapIndex_ = slot_;
    updateSize();
    redraw();
}

void WindowIcon::setActivationSound(int sample)
{
    setSampleIndex(Skin::SAMPLE_ACTIVATE, sample);
}
