// The single-line text editor; the combo box (gui/ComboBox.h) and the file
// selector (gui/FileSelector.h) use it.
#pragma once

#include <cstdint>

#include "gui/Label.h"

// A single-line text editor in a sunken panel. The text holds at most
// `capacity` characters (256 unless given); typing beyond that is refused.
// The cursor, the first visible character and the selection are character
// indexes; D_SELECTED is set while there is a non-empty selection (or while
// the mouse is starting one). Enter reports MSG_ACTIVATE.
class EditBox : public Label {
public:
    static constexpr int defaultCapacity = 256;

    EditBox();
    ~EditBox() override;

    // Widget handlers.
    void msgSkinChanged() override;
    void draw(Bitmap& canvas) override;
    bool msgChar(int c) override;
    bool msgUChar(int c) override;
    bool msgWantFocus() override;
    void msgGotFocus() override;
    void msgLostFocus() override;
    void msgGotMouse() override;
    void msgLostMouse() override;
    void msgLPress() override;
    void msgLRelease() override;
    void msgDClick() override;
    void msgMouseMove(Point delta) override;
    // Selects the whole text.
    void select() override;
    // Empties the selection; the cursor and the view go to the start.
    void deselect() override;

    // Same as setText(text, -1).
    void setText(const char* text) override;

    using Widget::setup;
    // A negative capacity means 256.
    virtual void setup(int x, int y, int w, int h, int key, std::uint32_t flags,
                       const char* text, int capacity);
    // Paints the characters from `firstChar` on, the selection and the cursor.
    virtual void drawText(int firstChar, Bitmap& canvas);
    // The character index under the mouse (the text's length past its end).
    virtual int charIndexAtMouse();
    // Moves the view so that the cursor is visible.
    virtual void scrollToCursor();
    // Capacity -1 keeps the current capacity (256 if there is none); the same
    // capacity keeps the buffer and cuts the text to it; any other makes a
    // new buffer of the larger of the capacity and the text's length (256 if
    // that is not positive). The cursor goes to the end, the view to the
    // start.
    virtual void setText(const char* text, int capacity);

    int capacity() const { return capacity_; }
    int cursor() const { return cursor_; }
    int firstVisible() const { return first_; }
    int selectionStart() const { return selStart_; }
    int selectionEnd() const { return selEnd_; }
    bool hasSelection() const { return selected() && selStart_ < selEnd_; }
    int length() const { return static_cast<int>(text_.size()); }

    // Moves the cursor (clamped to the text); with `extend` the selection
    // grows from its anchor to the new place, else it is dropped.
    void moveCursor(int index, bool extend);

    // The character index for a point x relative to the box's left edge.
    int charIndexAt(int x) const;

protected:
    // Width in pixels of characters [from, to) in the drawing font.
    int textWidth(int from, int to) const;
    void deleteSelection();
    void dropSelection();
    // The sunken panel covers the text area.
    bool paintsWholeArea() const override { return true; }

    int capacity_ = 0;
    int cursor_ = 0;
    int first_ = 0;
    int selStart_ = 0;
    int selEnd_ = 0;
    int anchor_ = 0;
};
