// The gallery page of list boxes, combo boxes and scroll bars: their dialog
// and the lines it reports.
#include "page_lists.h"

#include <cstdlib>
#include <map>

#include <allegro.h>

#include "gui/Backdrop.h"
#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/EditBox.h"
#include "gui/Label.h"
#include "gui/ListBox.h"
#include "gui/Messages.h"
#include "gui/ScrollBar.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

namespace {

class ListsPage : public Dialog {
public:
    ListsPage(const std::function<void(const std::string&)>& report, int seconds)
        : report_(report), seconds_(seconds)
    {
    }

    void name(Widget* w, const char* n) { names_[w] = n; }
    const char* nameOf(Widget* w) const
    {
        auto it = names_.find(w);
        return it == names_.end() ? nullptr : it->second.c_str();
    }

    void say(const std::string& line) { report_(line); }
    void rectOf(const char* what, const Widget& w)
    {
        say(std::string("rect ") + what + " " + std::to_string(w.x()) + " " + std::to_string(w.y()) + " " +
            std::to_string(w.w()) + " " + std::to_string(w.h()));
    }

    void handleEvent(Widget* w, int message, int a1, int a2) override
    {
        const char* n = nameOf(w);
        if (n && (message == MSG_SCROLL || message == MSG_ACTIVATE))
            say(std::string(message == MSG_SCROLL ? "scroll " : "activate ") + n + " " + std::to_string(a1));
        Dialog::handleEvent(w, message, a1, a2);
    }

    void msgTick() override
    {
        Dialog::msgTick();
        if (++ticks_ == 2)
            ready();
        if (ticks_ > 2) {
            if (list->firstVisible() != lastFirst_) {
                lastFirst_ = list->firstVisible();
                say("view list " + std::to_string(lastFirst_));
            }
            watchCombo(*combo, "combo", comboOpen_);
            watchCombo(*lowCombo, "combo2", lowOpen_);
        }
        if (seconds_ > 0 && ticks_ >= seconds_ * theSettings.logicFrameRate)
            close();
    }

    void ready()
    {
        say("ready");
        rectOf("list", *list);
        rectOf("list-items", list->itemArea());
        rectOf("list-bar", list->scrollBar());
        rectOf("list-grip", list->scrollBar().grip());
        say("item-height list " + std::to_string(list->itemHeight()));
        rectOf("marks", *marks);
        rectOf("combo", *combo);
        rectOf("combo-button", combo->button());
        say("item-height combo " + std::to_string(combo->list().itemHeight()));
        rectOf("combo2", *lowCombo);
        rectOf("combo2-button", lowCombo->button());
        rectOf("vbar", *vbar);
        rectOf("vbar-up", vbar->decreaseButton());
        rectOf("vbar-down", vbar->increaseButton());
        rectOf("vbar-grip", vbar->grip());
        rectOf("hbar", *hbar);
        rectOf("hbar-grip", hbar->grip());
        lastFirst_ = list->firstVisible();
    }

    void watchCombo(ComboBox& c, const char* n, bool& wasOpen)
    {
        if (c.isOpen() == wasOpen)
            return;
        wasOpen = c.isOpen();
        say(std::string(wasOpen ? "open " : "close ") + n);
        if (wasOpen) {
            rectOf((std::string(n) + "-list").c_str(), c.list());
            rectOf((std::string(n) + "-edit").c_str(), c.editBox());
        }
    }

    ListBox* list = nullptr;
    ListBox* marks = nullptr;
    ComboBox* combo = nullptr;
    ComboBox* lowCombo = nullptr;
    ScrollBar* vbar = nullptr;
    ScrollBar* hbar = nullptr;

private:
    const std::function<void(const std::string&)>& report_;
    int seconds_;
    int ticks_ = 0;
    int lastFirst_ = 0;
    bool comboOpen_ = false;
    bool lowOpen_ = false;
    std::map<Widget*, std::string> names_;
};

// The widgets of the page, in the order they are made.
struct ListsWidgets {
    Backdrop backdrop;
    Label listCaption, comboCaption, barCaption;
    ListBox list;
    ListBox marks;
    ComboBox combo;
    ComboBox lowCombo;
    ScrollBar vbar, hbar;
    Button quit;
};

// VASKUR_GALLERY_COMBO_ANIMATION=TYPE plays that transition (200 ms) when a
// combo box opens.
void setComboAnimation()
{
    if (const char* a = std::getenv("VASKUR_GALLERY_COMBO_ANIMATION"); a && *a && globalSkin()) {
        globalSkin()->elements().comboAnimationType = std::atoi(a);
        globalSkin()->elements().comboAnimationLength = 200;
    }
}

void addCaptions(ListsPage& page, ListsWidgets& w)
{
    page.add(&w.backdrop);
    w.listCaption.setup(40, 20, 0, 0, 0, 0, "List box (40 entries)");
    w.comboCaption.setup(300, 20, 0, 0, 0, 0, "Combo box");
    w.barCaption.setup(300, 150, 0, 0, 0, 0, "Scroll bars");
    page.add(&w.listCaption);
    page.add(&w.comboCaption);
    page.add(&w.barCaption);
}

// A list of 40 entries and a list of nine that can be marked.
void addLists(ListsPage& page, ListsWidgets& w)
{
    w.list.setup(40, 40, 200, 200, 0, 0, false);
    for (int i = 1; i <= 40; ++i)
        w.list.insertItem(("Entry " + std::to_string(i)).c_str());
    page.add(&w.list);
    page.name(&w.list, "list");
    page.list = &w.list;

    w.marks.setup(40, 300, 200, 120, 0, 0, true);
    for (const char* t : {"North", "East", "South", "West", "Up", "Down", "Inside", "Outside", "Around"})
        w.marks.insertItem(t);
    page.add(&w.marks);
    page.name(&w.marks, "marks");
    page.marks = &w.marks;
}

// A combo box at the top and one at the bottom, whose list has to open
// upwards.
void addCombos(ListsPage& page, ListsWidgets& w)
{
    for (const char* t : {"16", "32", "64", "128", "256"})
        w.combo.list().insertItem(t);
    w.combo.setup(300, 40, 160, 20, 0, 0, 1);
    page.add(&w.combo);
    page.name(&w.combo, "combo");
    page.combo = &w.combo;

    for (const char* t : {"All files (*.*)", "Height maps (*.raw)", "Pictures (*.bmp;*.pcx)"})
        w.lowCombo.list().insertItem(t);
    w.lowCombo.setup(300, 540, 220, 20, 0, 0, 0);
    page.add(&w.lowCombo);
    page.name(&w.lowCombo, "combo2");
    page.lowCombo = &w.lowCombo;
}

void addBarsAndQuit(ListsPage& page, ListsWidgets& w)
{
    w.vbar.setup(520, 170, 16, 200, 0, 0, 100, 10, 0, ScrollBar::Vertical);
    w.hbar.setup(300, 400, 200, 16, 0, 0, 50, 10, 0, ScrollBar::Horizontal);
    page.add(&w.vbar);
    page.add(&w.hbar);
    page.name(&w.vbar, "vbar");
    page.name(&w.hbar, "hbar");
    page.vbar = &w.vbar;
    page.hbar = &w.hbar;

    w.quit.setup(680, 540, 80, 30, 0, D_EXIT, "Quit");
    page.add(&w.quit);
}

void reportFinalState(const std::function<void(const std::string&)>& report, ListsWidgets& w)
{
    report("final list " + std::to_string(w.list.selectedIndex()) + " " + std::to_string(w.list.firstVisible()));
    std::string marked;
    for (int i = 0; i < w.marks.itemCount(); ++i)
        if (w.marks.item(i)->marked()) {
            marked += ' ';
            marked += std::to_string(i);
        }
    report("final marks" + marked);
    report(std::string("final combo ") + w.combo.text());
    report(std::string("final combo2 ") + w.lowCombo.text());
    report("final vbar " + std::to_string(static_cast<int>(w.vbar.position())));
    report("final hbar " + std::to_string(static_cast<int>(w.hbar.position())));
}

} // namespace

int runListsPage(const std::function<void(const std::string&)>& report, int seconds)
{
    setComboAnimation();
    ListsPage page(report, seconds);
    ListsWidgets widgets;
    addCaptions(page, widgets);
    addLists(page, widgets);
    addCombos(page, widgets);
    addBarsAndQuit(page, widgets);
    page.execute(&widgets.list.itemArea());
    reportFinalState(report, widgets);
    return 0;
}

#include "GalleryWidgets.h"

namespace {
const bool registered = gallery::registerPage("lists", runListsPage);
}
