// The gallery page of the standard widgets: their dialog, its reports and
// the final state of each widget.
#include "page_buttons.h"

#include "GalleryWidgets.h"

#include <map>

#include <allegro.h>

#include "gui/Backdrop.h"
#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/Dialog.h"
#include "gui/EditBox.h"
#include "gui/Hyperlink.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

namespace {

class ButtonsPage : public Dialog {
public:
    ButtonsPage(const std::function<void(const std::string&)>& report, int seconds)
        : report_(report), seconds_(seconds)
    {
    }

    void name(Widget* w, const char* n) { names_[w] = n; }
    const char* nameOf(Widget* w) const
    {
        auto it = names_.find(w);
        return it == names_.end() ? "none" : it->second.c_str();
    }

    void handleEvent(Widget* w, int message, int a1, int a2) override
    {
        if (message == MSG_ACTIVATE && names_.count(w)) {
            std::string line = std::string("activate ") + nameOf(w);
            if (w->testFlags(D_TOGGLE))
                line += w->selected() ? " 1" : " 0";
            if (auto* edit = dynamic_cast<EditBox*>(w)) {
                line = std::string("edit ") + nameOf(w) + " " + edit->text();
                if (echo)
                    echo->setText(edit->text());
            }
            if (w == repeat && counter)
                counter->setNumber(++repeats);
            if (w == half && number)
                number->setNumber(number->textAsDouble() / 2);
            report_(line);
        }
        Dialog::handleEvent(w, message, a1, a2);
    }

    void msgTick() override
    {
        Dialog::msgTick();
        if (++ticks_ == 2)
            report_("ready");
        if (seconds_ > 0 && ticks_ >= seconds_ * theSettings.logicFrameRate)
            close();
    }

    Widget* repeat = nullptr;
    Widget* half = nullptr;
    Label* counter = nullptr;
    Label* number = nullptr;
    Label* echo = nullptr;
    int repeats = 0;

private:
    const std::function<void(const std::string&)>& report_;
    int seconds_;
    int ticks_ = 0;
    std::map<Widget*, std::string> names_;
};

const bool registered = gallery::registerPage("buttons", runButtonsPage);

// A picture composed in a memory bitmap: colour bands and a white frame.
BITMAP* composePicture()
{
    BITMAP* b = create_bitmap(160, 100);
    if (!b)
        return nullptr;
    for (int x = 0; x < b->w; ++x)
        vline(b, x, 0, b->h - 1, makecol(x * 255 / b->w, 120, 255 - x * 255 / b->w));
    rectfill(b, 60, 30, 99, 69, makecol(250, 210, 0));
    rect(b, 0, 0, b->w - 1, b->h - 1, makecol(255, 255, 255));
    return b;
}

// The widgets of the page, in the order they are made: the backdrop, two
// panels with their titles; on the left the buttons, their counters, a
// hyperlink, a check box and aligned labels; on the right the edit boxes,
// the echo of the last Enter and two pictures.
struct ButtonsWidgets {
    Backdrop backdrop;
    Panel left, right;
    Label title, title2;
    Button plain, toggle, repeat, halve, disabled, quit;
    Label repeatCaption, counter, number;
    Hyperlink link;
    CheckBox check;
    Label aligned[3];
    EditBox edit, shortEdit;
    Label echoCaption, echo;
    Image picture;
    Image skinPicture;
};

void addFrame(ButtonsPage& page, ButtonsWidgets& w)
{
    page.add(&w.backdrop);
    w.left.shape(20, 20, 370, 500);
    w.right.shape(410, 20, 370, 500);
    page.add(&w.left);
    page.add(&w.right);
    w.title.setup(40, 30, 0, 0, 0, 0, "Nupud");
    w.title2.setup(430, 30, 0, 0, 0, 0, "Tekst ja pilt");
    page.add(&w.title);
    page.add(&w.title2);
}

void addButtons(ButtonsPage& page, ButtonsWidgets& w)
{
    w.plain.setup(40, 60, 150, 30, 't', 0, "&Tavaline");
    w.toggle.setup(40, 100, 150, 30, 'l', D_TOGGLE, "&L\xfcliti");
    w.repeat.setup(40, 140, 150, 30, 'k', D_AUTOREPEAT, "&Kordus");
    w.halve.setup(40, 180, 150, 30, 'p', 0, "&Pooleks");
    w.disabled.setup(40, 220, 150, 30, 0, D_DISABLED, "Keelatud");
    w.quit.setup(660, 540, 120, 30, 'v', D_EXIT, "&V\xc4LJU");
    for (auto [widget, n] : {std::pair<Widget*, const char*>{&w.plain, "plain"}, {&w.toggle, "toggle"},
                             {&w.repeat, "repeat"}, {&w.halve, "halve"}, {&w.disabled, "disabled"},
                             {&w.quit, "quit"}}) {
        page.add(widget);
        page.name(widget, n);
    }

    // The changing labels are see-through: a new text has the panel behind
    // painted again first.
    w.repeatCaption.setup(210, 151, 0, 0, 0, 0, "kordusi:");
    w.counter.setup(290, 151, 0, 0, 0, 0, "0");
    w.number.setup(210, 191, 0, 0, 0, 0, "");
    w.number.setNumber(2.5);
    page.add(&w.repeatCaption);
    page.add(&w.counter);
    page.add(&w.number);
    page.repeat = &w.repeat;
    page.half = &w.halve;
    page.counter = &w.counter;
    page.number = &w.number;
}

void addLinkCheckAndLabels(ButtonsPage& page, ButtonsWidgets& w)
{
    w.link.setup(40, 270, 0, 0, 'i', 0, "Vaata s&iia");
    page.add(&w.link);
    page.name(&w.link, "link");

    w.check.setup(40, 300, 200, 20, 'm', 0, "&M\xe4rkeruut");
    page.add(&w.check);
    page.name(&w.check, "check");

    const char* alignNames[3] = {"vasakul", "paremal", "keskel"};
    for (int i = 0; i < 3; ++i) {
        w.aligned[i].clearFlag(D_AUTOSIZE);
        w.aligned[i].setup(40, 340 + 24 * i, 330, 20, 0, 0, alignNames[i], i);
        page.add(&w.aligned[i]);
    }
}

void addEditsAndPictures(ButtonsPage& page, ButtonsWidgets& w)
{
    w.edit.setup(430, 60, 330, 24, 0, 0, "", 40);
    w.shortEdit.setup(430, 100, 120, 24, 0, 0, "", 5);
    page.add(&w.edit);
    page.add(&w.shortEdit);
    page.name(&w.edit, "edit");
    page.name(&w.shortEdit, "short");

    w.echoCaption.setup(430, 140, 0, 0, 0, 0, "Enter:");
    w.echo.setup(490, 140, 0, 0, 0, 0, "");
    page.add(&w.echoCaption);
    page.add(&w.echo);
    page.echo = &w.echo;

    BITMAP* composed = composePicture();
    w.picture.setup(430, 200, 0, 0, 0, 0, composed);
    if (composed)
        destroy_bitmap(composed);  // the image keeps its own copy
    page.add(&w.picture);

    w.skinPicture.setup(620, 200, 0, 0, 0, 0, static_cast<int>(Skin::CHECKBOX), true);
    page.add(&w.skinPicture);
}

void reportFinalState(const std::function<void(const std::string&)>& report, const ButtonsPage& page,
                      const ButtonsWidgets& w, Widget* last)
{
    report(std::string("final edit ") + w.edit.text());
    report(std::string("final short ") + w.shortEdit.text());
    report(std::string("final toggle ") + (w.toggle.selected() ? "1" : "0"));
    report(std::string("final check ") + (w.check.selected() ? "1" : "0"));
    report(std::string("final repeats ") + std::to_string(page.repeats));
    report(std::string("final number ") + w.number.text());
    report(std::string("final end ") + page.nameOf(last));
}

}  // namespace

int runButtonsPage(const std::function<void(const std::string&)>& report, int seconds)
{
    ButtonsPage page(report, seconds);
    ButtonsWidgets widgets;
    addFrame(page, widgets);
    addButtons(page, widgets);
    addLinkCheckAndLabels(page, widgets);
    addEditsAndPictures(page, widgets);

    set_window_title("vaskur-gallery");
    Widget* last = page.execute(&widgets.plain);
    reportFinalState(report, page, widgets, last);
    return 0;
}
