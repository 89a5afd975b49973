// A window's own client area, whose panel follows its size. The window is
// in gui/Window.cpp.
#include "gui/WindowClient.h"

WindowClient::WindowClient()
{
    Dialog::add(&panel_);
    resize(0, 0);
    clearFlag(D_MOVED | D_RESIZED);
}

WindowClient::~WindowClient() = default;

void WindowClient::setW(int w)
{
    Dialog::setW(w);
    panel_.setW(w);
}

void WindowClient::setH(int h)
{
    Dialog::setH(h);
    panel_.setH(h);
}
