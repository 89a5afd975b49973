// vaskur-gallery: opens a window with a dialog of test widgets so that the
// framework can be seen and driven by hand or by scripts. Every event of
// interest is reported as one line on stdout, or in the file named by the
// environment variable VASKUR_GALLERY_LOG.
//
// Environment:
//   VASKUR_GALLERY_LOG      file to report to (default: stdout)
//   VASKUR_GALLERY_CONFIG   framework settings file (default: an 800x600
//                           window at 16 bits, dirty-rectangle updates)
//   VASKUR_GALLERY_SECONDS  close by itself after this many seconds
//   VASKUR_GALLERY_METHOD   screen update method (0 to 4)
//   VASKUR_GALLERY_TRACE    1: also report every mouse position
//   VASKUR_GALLERY_PAGE     another page of widgets to show instead
//                           (registered by the page files, see
//                           GalleryWidgets.h)
//
// Keys: Tab/arrows move the focus, Enter/Space activate, Esc quits,
// "p" opens a popup (OK closes it).

#include <cstdlib>
#include <map>
#include <string>

#include <allegro.h>

#include "GalleryWidgets.h"
#include "gui/Dialog.h"
#include "gui/Error.h"
#include "gui/Framework.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"

using namespace gallery;

namespace {

int envInt(const char* name, int fallback)
{
    const char* v = std::getenv(name);
    return (v && *v) ? std::atoi(v) : fallback;
}

const char* messageName(int message)
{
    switch (message) {
    case MSG_CLICK: return "click";
    case MSG_DCLICK: return "dclick";
    case MSG_KEY: return "key";
    case MSG_GOTFOCUS: return "focus";
    case MSG_LOSTFOCUS: return "unfocus";
    case MSG_GOTMOUSE: return "mouse";
    case MSG_WHEEL: return "wheel";
    case MSG_ACTIVATE: return "activate";
    case MSG_MOVE: return "move";
    case MSG_RESIZE: return "resize";
    case MSG_SHAPE: return "shape";
    case MSG_CLOSE: return "close";
    case MSG_RPRESS: return "rpress";
    default: return nullptr;
    }
}

class Gallery : public Dialog {
public:
    Gallery(EventLog& log, int seconds, bool trace) : log_(log), seconds_(seconds), trace_(trace) {}

    void name(Widget* w, const std::string& n) { names_[w] = n; }

    void handleEvent(Widget* w, int message, int a1, int a2) override
    {
        if (message == MSG_MOUSEMOVE && w == this && trace_ && mouse())
            log_.line("pointer %d %d", mouse()->x(), mouse()->y());
        const char* what = messageName(message);
        auto it = names_.find(w);
        if (what && it != names_.end()) {
            if (message == MSG_MOVE || message == MSG_RESIZE || message == MSG_SHAPE)
                log_.line("%s %s %d %d %d %d", what, it->second.c_str(), w->x(), w->y(), w->w(), w->h());
            else if (message == MSG_WHEEL)
                log_.line("%s %s %d", what, it->second.c_str(), a1);
            else
                log_.line("%s %s", what, it->second.c_str());
        }
        if (message == MSG_CHAR && it != names_.end())
            log_.line("char %s %d %d", it->second.c_str(), a1 & 0xff, (a1 >> 8) & 0xff);
        if (message == MSG_ACTIVATE && w == popupOpener_) {
            runPopup();
            return;
        }
        Dialog::handleEvent(w, message, a1, a2);
    }

    void msgTick() override
    {
        Dialog::msgTick();
        ++ticks_;
        if (ticks_ == 2)
            log_.line("ready %s %d", ScreenUpdate::current() ? ScreenUpdate::current()->name() : "none",
                      bitmap_color_depth(screen));
        if (seconds_ > 0 && ticks_ >= seconds_ * theSettings.logicFrameRate) {
            // Time is up: an open popup goes first, or its loop would go on.
            if (popupBox_ && popupBox_->running())
                popupBox_->close();
            close();
        }
    }

    void setPopup(Dialog* box, Widget* ok, Widget* opener)
    {
        popupBox_ = box;
        popupButton_ = ok;
        popupOpener_ = opener;
    }

    void runPopup()
    {
        if (!popupBox_ || popupBox_->running())
            return;
        log_.line("popup open");
        popupBox_->centre();
        Widget* result = popupBox_->popup(this, keepPosition, keepPosition, popupButton_);
        auto it = names_.find(result);
        log_.line("popup returned %s", it != names_.end() ? it->second.c_str() : "none");
    }

private:
    EventLog& log_;
    int seconds_;
    bool trace_;
    int ticks_ = 0;
    std::map<Widget*, std::string> names_;
    Dialog* popupBox_ = nullptr;
    Widget* popupButton_ = nullptr;
    Widget* popupOpener_ = nullptr;
};

// Opens the popup on the key "p" (a shortcut key on an invisible widget).
class PopupKey : public Widget {
public:
    explicit PopupKey(Gallery& g) : gallery_(g) { setKey('p'); }
    void msgKey() override { gallery_.runPopup(); }
    bool msgWantMouse() override { return false; }

private:
    Gallery& gallery_;
};

} // namespace

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    // Texts are 8-bit Latin-1, as in the program itself.
    set_uformat(U_ASCII);
    EventLog log(std::getenv("VASKUR_GALLERY_LOG"));

    const char* config = std::getenv("VASKUR_GALLERY_CONFIG");
    theSettings.fullscreen = false;
    theSettings.screenWidth = 800;
    theSettings.screenHeight = 600;
    theSettings.colorDepth = 16;
    theSettings.screenUpdateMethod = 3;
    theSettings.guiSound = false;
    theSettings.soundDriver = DIGI_NONE;
    theSettings.midiDriver = MIDI_NONE;
    const Error started = installFramework(config && *config ? config : nullptr);
    if (started.isFatal()) {
        log.line("error %d %s", started.code(), started.message());
        return 2;
    }
    theSettings.screenUpdateMethod = envInt("VASKUR_GALLERY_METHOD", theSettings.screenUpdateMethod);
    set_window_title("vaskur-gallery");

    const char* pageName = std::getenv("VASKUR_GALLERY_PAGE");
    if (pageName && *pageName && std::string(pageName) != "main") {
        PageFunction page = findPage(pageName);
        if (!page) {
            log.line("error unknown page %s", pageName);
            return 2;
        }
        return page([&log](const std::string& s) { log.line("%s", s.c_str()); },
                    envInt("VASKUR_GALLERY_SECONDS", 0));
    }

    Gallery gallery(log, envInt("VASKUR_GALLERY_SECONDS", 0), envInt("VASKUR_GALLERY_TRACE", 0) != 0);
    GalleryBackdrop backdrop;
    backdrop.shape(0, 0, gallery.w(), gallery.h());
    gallery.add(&backdrop);

    // A row of swatches, a text field and a quit button.
    Swatch red("red", 220, 60, 60), green("green", 60, 200, 60), blue("blue", 70, 110, 230);
    Swatch grey("grey", 150, 150, 150, false);
    Swatch popupButton("popup", 230, 180, 60);
    Swatch quit("quit", 240, 240, 240);
    TextField text("type here");
    red.shape(40, 40, 120, 60);
    green.shape(200, 40, 120, 60);
    blue.shape(360, 40, 120, 60);
    grey.shape(520, 40, 120, 60);
    text.shape(40, 140, 280, 24);
    popupButton.shape(360, 140, 120, 24);
    quit.shape(680, 540, 80, 30);
    quit.setFlag(D_EXIT);
    for (Swatch* s : {&red, &green, &blue, &grey})
        gallery.add(s), gallery.name(s, s->name());
    gallery.add(&text);
    gallery.name(&text, "text");
    gallery.add(&popupButton);
    gallery.name(&popupButton, "popup");
    gallery.add(&quit);
    gallery.name(&quit, "quit");

    // A movable, resizable panel with two swatches of its own.
    DragPanel panel("panel");
    panel.shape(100, 240, 300, 180);
    Swatch inner1("inner1", 200, 120, 200), inner2("inner2", 120, 200, 200);
    inner1.shape(20, 40, 110, 50);
    inner2.shape(150, 40, 110, 50);
    panel.add(&inner1);
    panel.add(&inner2);
    gallery.add(&panel);
    gallery.name(&panel, "panel");
    gallery.name(&inner1, "inner1");
    gallery.name(&inner2, "inner2");

    // The popup: a small dialog with an OK button.
    DragPanel box("popup box");
    box.resize(220, 120);
    Swatch ok("ok", 90, 200, 90);
    ok.shape(60, 50, 100, 40);
    ok.setFlag(D_EXIT);
    box.add(&ok);
    gallery.name(&box, "box");
    gallery.name(&ok, "ok");
    gallery.setPopup(&box, &ok, &popupButton);
    PopupKey popupKey(gallery);
    gallery.add(&popupKey);

    log.line("start");
    Widget* last = gallery.execute(&red);
    auto name = [&](Widget* w) -> const char* {
        for (Swatch* s : {&red, &green, &blue, &grey, &quit, &popupButton, &inner1, &inner2})
            if (s == w)
                return s->name().c_str();
        if (w == &text)
            return "text";
        if (w == &panel)
            return "panel";
        return "none";
    };
    log.line("text %s", text.text().c_str());
    log.line("end %s", name(last));
    return 0;
}
END_OF_MAIN()
