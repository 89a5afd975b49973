#pragma once

#include <cstdio>
#include <string>

#include "gui/Dialog.h"
#include "gui/Widget.h"

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
class Backdrop : public Widget {
public:
    void draw(Bitmap& canvas) override;
};

// A dialog inside the gallery that can be dragged by its title bar and
// resized by its bottom-right corner.
class Panel : public Dialog {
public:
    Panel(const char* title);
    const std::string& title() const { return title_; }
    int dragMode() override;
    void draw(Bitmap& canvas) override;

private:
    std::string title_;
};
