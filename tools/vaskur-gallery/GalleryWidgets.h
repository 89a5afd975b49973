// The gallery's shared parts: page registration, the event log and the
// simple widgets the pages (tools/vaskur-gallery/page_*.cpp) are made of.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "gui/Dialog.h"
#include "gui/Widget.h"

namespace gallery {

// Further pages of the gallery, chosen with VASKUR_GALLERY_PAGE=NAME. A page
// file registers itself with a static initializer:
//     static const bool registered = gallery::registerPage("buttons", runButtonsPage);
// The page runs after the framework is installed, reports through `report`
// (one line each), closes by itself after `seconds` when that is above 0 and
// returns the program's exit status.
using Report = std::function<void(const std::string&)>;
using PageFunction = std::function<int(const Report& report, int seconds)>;
bool registerPage(const std::string& name, PageFunction page);
// The registered page, or an empty function.
PageFunction findPage(const std::string& name);

// Where the gallery reports what happens: one line per event, flushed at once.
class EventLog {
public:
    explicit EventLog(const char* path);
    ~EventLog();
    void line(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    std::FILE* out_ = nullptr;
    bool owned_ = false;
};

// A plain coloured box with a caption. Takes the focus when `focusable`,
// activates on a click or on Enter/Space, and shows a frame while focused.
class Swatch : public Widget {
public:
    Swatch(const char* name, int r, int g, int b, bool focusable = true);
    const std::string& name() const { return name_; }

    void draw(Bitmap& canvas) override;
    bool msgWantFocus() override;
    void msgClick() override;
    void msgKey() override;
    void msgGotMouse() override;
    void msgLostMouse() override;

protected:
    std::string name_;
    int r_, g_, b_;
    bool focusable_;
};

// A one-line text field: keeps the printable characters typed into it.
class TextField : public Swatch {
public:
    explicit TextField(const char* name);
    const std::string& text() const { return text_; }
    void draw(Bitmap& canvas) override;
    bool msgChar(int c) override;

private:
    std::string text_;
};

// The screen's background.
class GalleryBackdrop : public Widget {
public:
    void draw(Bitmap& canvas) override;
};

// A dialog inside the gallery that can be dragged by its title bar and
// resized by its bottom-right corner.
class DragPanel : public Dialog {
public:
    DragPanel(const char* title);
    const std::string& title() const { return title_; }
    DragMode dragMode() override;
    void draw(Bitmap& canvas) override;

private:
    std::string title_;
};

} // namespace gallery
