// The text label and the D_AUTOSIZE flag; buttons (gui/Button.h) and edit
// boxes (gui/EditBox.h) build on it.
#pragma once

#include <cstdint>
#include <string>

#include "gui/Widget.h"

class Font;

// The widget takes its size from its content (set by Label and Image,
// cleared by Button and EditBox).
inline constexpr std::uint32_t D_AUTOSIZE = 0x8000;

// A line of text in the skin's TEXT look. The label owns a copy of its text;
// an empty text draws nothing. With D_AUTOSIZE (set by default) the label is
// as wide as its text and as high as its normal-state font.
class Label : public Widget {
public:
    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCentre = 2 };

    Label();
    ~Label() override;

    // Widget handlers.
    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;

    // With D_AUTOSIZE and a text: the caption's width (shortcut markers not
    // counted) by the height of the normal-state font.
    virtual void updateSize();
    // Copies the text (null: no text), updateSize, redraw.
    virtual void setText(const char* text);
    // "%f" with the trailing zeros dropped, keeping one digit after the
    // point: 2.5 shows "2.5", 3.0 shows "3.0".
    virtual void setNumber(double value);
    virtual void setNumber(int value);
    virtual const char* text() const;
    // The text read as a number the way Allegro reads floats (uatof); the
    // integer is that value truncated and kept within the int range.
    virtual int textAsInt() const;
    virtual double textAsDouble() const;
    // 0 left, 1 right, 2 centre; updateSize, redraw.
    virtual void setAlignment(int alignment);
    virtual void alignLeft();
    virtual void alignRight();
    virtual void alignCentre();

    using Widget::setup;
    void setup(int x, int y, int w, int h, int key, std::uint32_t flags,
               const char* text, int alignment = AlignLeft);

    int alignment() const { return alignment_; }

protected:
    // The skin font of a state (null without a skin).
    Font* stateFont(int state) const;
    // Font height of a state (8, the built-in font, without a skin).
    int fontHeight(int state) const;
    // Takes the four states' colours, shadows and fonts of a skin widget type.
    void takeTypeLook(int type);
    // Does draw() cover every pixel of the widget? A label without a
    // background colour does not: the old text would stay on screen under
    // a new one.
    virtual bool paintsWholeArea() const;
    // After the text changed: has whatever lies behind the widget painted
    // again where the old look may still show (the old rectangle where the
    // widget shrank, the whole of it where the widget is see-through).
    void exposeBehind(const Rect& before);

public:
    // The same for any widget whose look changed: `before` is its rectangle
    // before the change, `seeThrough` whether its drawing leaves pixels
    // unpainted. The siblings behind it are redrawn (the drawing pass then
    // redraws it too); with nothing behind it, a parent that is not the
    // top-level dialog is redrawn as a whole.
    static void exposeBehind(Widget& widget, const Rect& before, bool seeThrough);

protected:
    std::string text_;
    int alignment_ = AlignLeft;
};
