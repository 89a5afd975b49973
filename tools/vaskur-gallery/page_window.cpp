// The gallery page of windows: a movable, resizable window with a label and
// a button in its client area, a window that cannot be resized (close icon
// only), and a button that pops up a third window with an OK button.
//
// Reported lines:
//   ready                        the page runs
//   geom NAME X Y W H STATE      a window moved or changed size (STATE: 1
//                                rolled up, 2 maximised)
//   activate NAME                a button was activated
//   closed NAME                  a window inside the page was closed
//   popup returned NAME          the popped-up window ended
//   final NAME X Y W H STATE     at the end, for each window
//   final end NAME               the widget focused when the page ended

#include "GalleryWidgets.h"

#include <map>
#include <string>

#include <allegro.h>

#include "gui/Backdrop.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/Label.h"
#include "gui/Settings.h"
#include "gui/Window.h"

namespace {

class WindowPage : public Dialog {
public:
    WindowPage(const gallery::Report& report, int seconds) : report_(report), seconds_(seconds) {}

    void name(Widget* w, const char* n) { names_[w] = n; }
    const char* nameOf(Widget* w) const
    {
        auto it = names_.find(w);
        return it == names_.end() ? "none" : it->second.c_str();
    }

    void geometry(const char* what, Window* w)
    {
        report_(std::string(what) + " " + nameOf(w) + " " + std::to_string(w->x()) + " " +
                std::to_string(w->y()) + " " + std::to_string(w->w()) + " " + std::to_string(w->h()) +
                " " + std::to_string(w->state() & (Window::RolledUp | Window::Maximised)));
    }

    void handleEvent(Widget* w, int message, int a1, int a2) override
    {
        auto* win = dynamic_cast<Window*>(w);
        if (win && names_.count(w) && (message == MSG_MOVE || message == MSG_RESIZE || message == MSG_SHAPE))
            geometry("geom", win);
        if (message == MSG_ACTIVATE && names_.count(w))
            report_(std::string("activate ") + nameOf(w));
        if (message == MSG_CLOSE && win && contains(win)) {
            // Taken out on the next tick, outside the window's own handling.
            closing_ = win;
            return;
        }
        Dialog::handleEvent(w, message, a1, a2);
        if (message == MSG_ACTIVATE && w == opener && popupWindow)
            runPopup();
    }

    void runPopup()
    {
        if (popupWindow->running())
            return;
        popupWindow->centre();
        Widget* result = popupWindow->popup(this, keepPosition, keepPosition, nullptr);
        std::string which = result == &popupWindow->closeIcon() ? "close" : nameOf(result);
        report_("popup returned " + which);
    }

    void msgTick() override
    {
        Dialog::msgTick();
        if (closing_) {
            report_(std::string("closed ") + nameOf(closing_));
            remove(closing_);
            closing_ = nullptr;
        }
        if (++ticks_ == 2)
            report_("ready");
        if (seconds_ > 0 && ticks_ >= seconds_ * theSettings.logicFrameRate)
            close();
    }

    Widget* opener = nullptr;
    Window* popupWindow = nullptr;

private:
    const gallery::Report& report_;
    int seconds_;
    int ticks_ = 0;
    Window* closing_ = nullptr;
    std::map<Widget*, std::string> names_;
};

int runWindowPage(const gallery::Report& report, int seconds)
{
    WindowPage page(report, seconds);

    Backdrop backdrop;
    page.add(&backdrop);

    Label hint;
    hint.setup(20, 570, 0, 0, 0, 0, "Aknaid saab lohistada, suurendada ja kokku rullida.");
    page.add(&hint);

    Button opener, quit;
    opener.setup(520, 540, 120, 30, 'a', 0, "&Ava aken");
    quit.setup(660, 540, 120, 30, 'v', D_EXIT, "&V\xc4LJU");
    page.add(&opener);
    page.add(&quit);
    page.name(&opener, "opener");
    page.name(&quit, "quit");
    page.opener = &opener;

    // The movable, resizable window.
    Window movable;
    movable.setTitle("Aken");
    movable.shape(60, 60, 320, 220);
    Label mainText;
    mainText.setup(16, 16, 0, 0, 0, 0, "Kliendiala");
    Button mainButton;
    mainButton.setup(16, 48, 120, 28, 0, 0, "Nupp");
    movable.add(&mainText);
    movable.add(&mainButton);
    page.add(&movable);
    page.name(&movable, "win");
    page.name(&mainButton, "inner");

    // A window that cannot be resized: no minimise or maximise icon.
    Window info;
    info.setTitle("Info");
    info.clearFlag(D_RESIZABLE);
    info.shape(480, 80, 260, 140);
    Label infoText;
    infoText.setup(16, 20, 0, 0, 0, 0, "Ainult sulgemisnupp");
    info.add(&infoText);
    page.add(&info);
    page.name(&info, "info");

    // Popped up from the page.
    Window box;
    box.setTitle("H\xfcpikaken");
    box.resize(240, 130);
    Label boxText;
    boxText.setup(16, 16, 0, 0, 0, 0, "Modaalne aken");
    Button ok;
    ok.setup(16, 50, 80, 28, 0, D_EXIT, "OK");
    box.add(&boxText);
    box.add(&ok);
    page.name(&box, "box");
    page.name(&ok, "ok");
    page.popupWindow = &box;

    set_window_title("vaskur-gallery");
    Widget* last = page.execute(&quit);
    for (Window* w : {&movable, &info})
        page.geometry("final", w);
    report(std::string("final end ") + page.nameOf(last));
    return 0;
}

const bool registered = gallery::registerPage("window", runWindowPage);

} // namespace
