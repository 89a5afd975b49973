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

// The widgets of the main page, in the order they are made: a row of
// swatches, a text field, a popup button and a quit button; a movable,
// resizable panel with two swatches of its own; the popup, a small dialog
// with an OK button; and the popup's key.
struct MainPage {
    explicit MainPage(Gallery& gallery) : popupKey(gallery) {}

    GalleryBackdrop backdrop;
    Swatch red{"red", 220, 60, 60}, green{"green", 60, 200, 60}, blue{"blue", 70, 110, 230};
    Swatch grey{"grey", 150, 150, 150, false};
    Swatch popupButton{"popup", 230, 180, 60};
    Swatch quit{"quit", 240, 240, 240};
    TextField text{"type here"};
    DragPanel panel{"panel"};
    Swatch inner1{"inner1", 200, 120, 200}, inner2{"inner2", 120, 200, 200};
    DragPanel box{"popup box"};
    Swatch ok{"ok", 90, 200, 90};
    PopupKey popupKey;

    // The name a widget is reported by at the end.
    const char* nameOf(Widget* w) const
    {
        for (const Swatch* s : {&red, &green, &blue, &grey, &quit, &popupButton, &inner1, &inner2})
            if (s == w)
                return s->name().c_str();
        if (w == &text)
            return "text";
        if (w == &panel)
            return "panel";
        return "none";
    }
};

void addTopRow(Gallery& gallery, MainPage& p)
{
    p.red.shape(40, 40, 120, 60);
    p.green.shape(200, 40, 120, 60);
    p.blue.shape(360, 40, 120, 60);
    p.grey.shape(520, 40, 120, 60);
    p.text.shape(40, 140, 280, 24);
    p.popupButton.shape(360, 140, 120, 24);
    p.quit.shape(680, 540, 80, 30);
    p.quit.setFlag(D_EXIT);
    for (Swatch* s : {&p.red, &p.green, &p.blue, &p.grey})
        gallery.add(s), gallery.name(s, s->name());
    gallery.add(&p.text);
    gallery.name(&p.text, "text");
    gallery.add(&p.popupButton);
    gallery.name(&p.popupButton, "popup");
    gallery.add(&p.quit);
    gallery.name(&p.quit, "quit");
}

void addPanel(Gallery& gallery, MainPage& p)
{
    p.panel.shape(100, 240, 300, 180);
    p.inner1.shape(20, 40, 110, 50);
    p.inner2.shape(150, 40, 110, 50);
    p.panel.add(&p.inner1);
    p.panel.add(&p.inner2);
    gallery.add(&p.panel);
    gallery.name(&p.panel, "panel");
    gallery.name(&p.inner1, "inner1");
    gallery.name(&p.inner2, "inner2");
}

void addPopup(Gallery& gallery, MainPage& p)
{
    p.box.resize(220, 120);
    p.ok.shape(60, 50, 100, 40);
    p.ok.setFlag(D_EXIT);
    p.box.add(&p.ok);
    gallery.name(&p.box, "box");
    gallery.name(&p.ok, "ok");
    gallery.setPopup(&p.box, &p.ok, &p.popupButton);
    gallery.add(&p.popupKey);
}

// The framework in an 800 x 600 window at 16 bits with dirty-rectangle
// updates, unless a settings file says otherwise. False (reported) when it
// cannot start.
bool startFramework(EventLog& log)
{
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
        return false;
    }
    theSettings.screenUpdateMethod = envInt("VASKUR_GALLERY_METHOD", theSettings.screenUpdateMethod);
    set_window_title("vaskur-gallery");
    return true;
}

// Runs one of the registered pages instead of the main one.
int runRegisteredPage(const char* pageName, EventLog& log)
{
    PageFunction page = findPage(pageName);
    if (!page) {
        log.line("error unknown page %s", pageName);
        return 2;
    }
    return page([&log](const std::string& s) { log.line("%s", s.c_str()); }, envInt("VASKUR_GALLERY_SECONDS", 0));
}

int runMainPage(EventLog& log)
{
    Gallery gallery(log, envInt("VASKUR_GALLERY_SECONDS", 0), envInt("VASKUR_GALLERY_TRACE", 0) != 0);
    MainPage page(gallery);
    page.backdrop.shape(0, 0, gallery.w(), gallery.h());
    gallery.add(&page.backdrop);
    addTopRow(gallery, page);
    addPanel(gallery, page);
    addPopup(gallery, page);

    log.line("start");
    Widget* last = gallery.execute(&page.red);
    log.line("text %s", page.text.text().c_str());
    log.line("end %s", page.nameOf(last));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    // Texts are 8-bit Latin-1, as in the program itself.
    set_uformat(U_ASCII);
    EventLog log(std::getenv("VASKUR_GALLERY_LOG"));
    if (!startFramework(log))
        return 2;
    const char* pageName = std::getenv("VASKUR_GALLERY_PAGE");
    if (pageName && *pageName && std::string(pageName) != "main")
        return runRegisteredPage(pageName, log);
    return runMainPage(log);
}
END_OF_MAIN()
