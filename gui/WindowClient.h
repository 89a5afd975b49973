// The client area a window starts with: a dialog covered by one panel. The
// window itself is in gui/Window.h.
#pragma once

#include "gui/Dialog.h"
#include "gui/Panel.h"

// The client area a window starts with: a dialog holding one panel that
// always covers it.
class WindowClient : public Dialog {
public:
    WindowClient();
    ~WindowClient() override;
    void setW(int w) override;
    void setH(int h) override;
    Panel& panel() { return panel_; }

private:
    Panel panel_;
};
