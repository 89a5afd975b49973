// The page registry, the event log and the gallery's own widgets: swatches,
// text fields, the backdrop and the draggable panel.
#include "GalleryWidgets.h"

#include <cstdarg>
#include <map>

#include <allegro.h>

#include "gui/Bitmap.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"

namespace gallery {

namespace {

std::map<std::string, PageFunction>& pages()
{
    static std::map<std::string, PageFunction> registry;
    return registry;
}

} // namespace

bool registerPage(const std::string& name, PageFunction page)
{
    return pages().emplace(name, std::move(page)).second;
}

PageFunction findPage(const std::string& name)
{
    auto it = pages().find(name);
    return it != pages().end() ? it->second : PageFunction();
}

EventLog::EventLog(const char* path)
{
    if (path && *path) {
        out_ = std::fopen(path, "w");
        owned_ = out_ != nullptr;
    }
    if (!out_)
        out_ = stdout;
}

EventLog::~EventLog()
{
    if (owned_)
        std::fclose(out_);
}

void EventLog::line(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(out_, format, args);
    va_end(args);
    std::fputc('\n', out_);
    std::fflush(out_);
}

// ---------------------------------------------------------------- Swatch

Swatch::Swatch(const char* name, int r, int g, int b, bool focusable)
    : name_(name), r_(r), g_(g), b_(b), focusable_(focusable)
{
}

void Swatch::draw(Bitmap& canvas)
{
    BITMAP* bmp = canvas.bitmap();
    if (!bmp)
        return;
    const int dim = disabled() ? 2 : 1;
    const int pressed = testFlags(D_PRESSED) ? 40 : 0;
    rectfill(bmp, 0, 0, w() - 1, h() - 1,
             makecol((r_ - pressed) / dim, (g_ - pressed) / dim, (b_ - pressed) / dim));
    if (hasFocus()) {
        ::rect(bmp, 0, 0, w() - 1, h() - 1, makecol(255, 255, 0));
        ::rect(bmp, 1, 1, w() - 2, h() - 2, makecol(255, 255, 0));
    } else if (hasMouse()) {
        ::rect(bmp, 0, 0, w() - 1, h() - 1, makecol(255, 255, 255));
    }
    textout_centre_ex(bmp, font, name_.c_str(), w() / 2, (h() - text_height(font)) / 2,
                      makecol(0, 0, 0), -1);
}

bool Swatch::msgWantFocus()
{
    Widget::msgWantFocus();
    return focusable_;
}

void Swatch::msgClick()
{
    Widget::msgClick();
    notify(MSG_ACTIVATE);
}

void Swatch::msgKey()
{
    Widget::msgKey();
    notify(MSG_ACTIVATE);
}

void Swatch::msgGotMouse()
{
    Widget::msgGotMouse();
    redraw();
}

void Swatch::msgLostMouse()
{
    Widget::msgLostMouse();
    redraw();
}

// ---------------------------------------------------------------- TextField

TextField::TextField(const char* name) : Swatch(name, 240, 240, 240) {}

void TextField::draw(Bitmap& canvas)
{
    BITMAP* bmp = canvas.bitmap();
    if (!bmp)
        return;
    rectfill(bmp, 0, 0, w() - 1, h() - 1, makecol(255, 255, 255));
    ::rect(bmp, 0, 0, w() - 1, h() - 1,
         hasFocus() ? makecol(255, 200, 0) : makecol(90, 90, 90));
    const std::string shown = text_.empty() ? name_ : text_;
    textout_ex(bmp, font, shown.c_str(), 4, (h() - text_height(font)) / 2,
               text_.empty() ? makecol(160, 160, 160) : makecol(0, 0, 0), -1);
}

bool TextField::msgChar(int c)
{
    Widget::msgChar(c);
    const int ch = c & 0xff;
    if (ch == 8 && !text_.empty()) {
        text_.pop_back();
    } else if (ch >= 32 && ch < 127) {
        text_.push_back(static_cast<char>(ch));
    } else {
        return false;
    }
    redraw();
    return true;
}

// ---------------------------------------------------------------- Backdrop

void GalleryBackdrop::draw(Bitmap& canvas)
{
    BITMAP* bmp = canvas.bitmap();
    if (!bmp)
        return;
    // Vertical stripes, so that stale pictures would show.
    for (int x = 0; x < w(); x += 20)
        rectfill(bmp, x, 0, x + 19, h() - 1,
                 (x / 20) % 2 ? makecol(40, 60, 90) : makecol(50, 70, 100));
}

// ---------------------------------------------------------------- Panel

DragPanel::DragPanel(const char* title) : title_(title)
{
    setFlag(D_MOVABLE | D_RESIZABLE);
    setMinimumSize(Point(80, 40));
}

DragMode DragPanel::dragMode()
{
    Mouse* m = mouse();
    if (!m)
        return DragMode::None;
    const Point p = m->pos() - rect().pos();
    if (p.x >= w() - 10 && p.y >= h() - 10 && p.x <= w() && p.y <= h())
        return DragMode::BottomRight;
    if (p.y >= 0 && p.y < 18 && p.x >= 0 && p.x <= w())
        return DragMode::Move;
    return DragMode::None;
}

void DragPanel::draw(Bitmap& canvas)
{
    BITMAP* bmp = canvas.bitmap();
    if (!bmp)
        return;
    rectfill(bmp, 0, 0, w() - 1, h() - 1, makecol(200, 200, 200));
    rectfill(bmp, 0, 0, w() - 1, 17, hasFocus() ? makecol(0, 0, 160) : makecol(100, 100, 120));
    textout_ex(bmp, font, title_.c_str(), 6, 5, makecol(255, 255, 255), -1);
    ::rect(bmp, 0, 0, w() - 1, h() - 1, makecol(0, 0, 0));
    rectfill(bmp, w() - 9, h() - 9, w() - 2, h() - 2, makecol(90, 90, 90));
}

} // namespace gallery
