// The gallery page of the file selector: a button that opens the selector
// and a line that shows the path chosen in it.
//
// Environment:
//   VASKUR_GALLERY_FILESEL_PATH   the selector's initial path (default: the
//                                 current directory)
//   VASKUR_GALLERY_FILESEL_MASK   its masks (default: two masks, all files
//                                 and height maps)
//
// Reported lines:
//   ready                  the page runs
//   opened                 the selector pops up
//   shown CX CY LX LY LH   the selector is on screen: its client area's
//                          top-left corner, the top-left corner of its
//                          file list's entries and their height
//   chosen PATH            the selector returned a path
//   chosen none            it returned nothing
//   final end NAME         the widget focused when the page ended

#include "GalleryWidgets.h"

#include <cstdlib>
#include <memory>
#include <string>

#include <allegro.h>

#include "gui/Backdrop.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/FileSelector.h"
#include "gui/Label.h"
#include "gui/Settings.h"

namespace {

const char* envText(const char* name, const char* fallback)
{
    const char* v = std::getenv(name);
    return (v && *v) ? v : fallback;
}

class FileSelectorPage : public Dialog {
public:
    FileSelectorPage(const gallery::Report& report, int seconds) : report_(report), seconds_(seconds) {}

    void handleEvent(Widget* w, int message, int a1, int a2) override
    {
        Dialog::handleEvent(w, message, a1, a2);
        if (message == MSG_ACTIVATE && w == opener)
            choose();
    }

    void choose()
    {
        if (selector_ && selector_->running())
            return;
        if (!selector_) {
            // Made once and kept: a second popup starts where the first one ended.
            const char* start = envText("VASKUR_GALLERY_FILESEL_PATH", "");
            const char* masks = envText("VASKUR_GALLERY_FILESEL_MASK", "All files (*.*)|Height maps (*.raw;*.r16)");
            selector_ = std::make_unique<FileSelector>("Vali fail", start, masks, ATTRIBUTE_ARCHIVE);
        }
        report_("opened");
        shownReported_ = false;
        const auto path = selector_->popup(this);
        if (path) {
            report_("chosen " + *path);
            result->setText(path->c_str());
        } else {
            report_("chosen none");
            result->setText("(midagi ei valitud)");
        }
    }

    void msgTick() override
    {
        Dialog::msgTick();
        if (++ticks_ == 2)
            report_("ready");
        if (selector_ && selector_->running() && !shownReported_) {
            shownReported_ = true;
            const Widget& area = selector_->fileList().itemArea();
            report_("shown " + std::to_string(selector_->clientArea()->x()) + " " +
                    std::to_string(selector_->clientArea()->y()) + " " + std::to_string(area.x()) + " " +
                    std::to_string(area.y()) + " " + std::to_string(selector_->fileList().itemHeight()));
        }
        if (seconds_ > 0 && ticks_ >= seconds_ * theSettings.logicFrameRate) {
            if (selector_ && selector_->running())
                selector_->close();
            close();
        }
    }

    Widget* opener = nullptr;
    Label* result = nullptr;

private:
    const gallery::Report& report_;
    int seconds_;
    int ticks_ = 0;
    bool shownReported_ = false;
    std::unique_ptr<FileSelector> selector_;
};

int runFileSelectorPage(const gallery::Report& report, int seconds)
{
    FileSelectorPage page(report, seconds);

    Backdrop backdrop;
    page.add(&backdrop);

    Label caption;
    caption.setup(20, 20, 0, 0, 0, 0, "Valitud fail:");
    Label result;
    result.setup(20, 44, 0, 0, 0, 0, "(veel mitte midagi)");
    page.add(&caption);
    page.add(&result);
    page.result = &result;

    Button opener, quit;
    opener.setup(520, 540, 120, 30, 'f', 0, "Vali &fail");
    quit.setup(660, 540, 120, 30, 'v', D_EXIT, "&V\xc4LJU");
    page.add(&opener);
    page.add(&quit);
    page.opener = &opener;

    set_window_title("vaskur-gallery");
    Widget* last = page.execute(&opener);
    report(std::string("final end ") + (last == &quit ? "quit" : last == &opener ? "opener" : "other"));
    return 0;
}

const bool registered = gallery::registerPage("fileselector", runFileSelectorPage);

} // namespace
