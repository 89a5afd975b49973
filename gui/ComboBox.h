// The combo box: an edit box (gui/EditBox.h) with a drop-down list
// (gui/ListBox.h) opened by an arrow button.
#pragma once

#include <memory>

#include "gui/Dialog.h"

class Button;
class EditBox;
class ListBox;

// An edit box with a drop-down list: a small dialog holding the edit box, an
// arrow button and a list box that is hidden until the button opens it.
// The list opens below the edit box, or above it when it would leave the
// screen at the bottom; the transition of the skin's COMBOBOX element plays
// as it opens.
//
// Notifications to the parent, sent with the combo box as the widget:
// MSG_ACTIVATE with the list's selected index when an entry is chosen in the
// list (its text goes into the edit box) or Enter is pressed in the edit box.
class ComboBox : public Dialog {
public:
    static constexpr int defaultListHeight = 80;

    ComboBox();
    ~ComboBox() override;

    using Widget::setup;
    // The combo box's rectangle, key and flags; then the list selects
    // `selectedIndex` (clamped to the items, negative gives 0), the edit box
    // is set up at (0, 0) with the size and that item's text, and the list
    // takes the width w.
    void setup(int x, int y, int w, int h, int key, std::uint32_t flags, int selectedIndex);

    void openList();
    void closeList();
    bool isOpen() const { return open_; }
    // True when the open list stands above the edit box.
    bool opensAbove() const { return above_; }

    // Height of the drop-down list (80 pixels unless changed).
    int listHeight() const { return listHeight_; }
    void setListHeight(int h);

    // The text of the edit box.
    const char* text() const;

    EditBox& editBox();
    Button& button();
    ListBox& list();

    void handleEvent(Widget* widget, int message, int argument1 = 0, int argument2 = 0) override;
    void msgSkinChanged() override;
    void msgLostMouse() override;
    void msgEnd() override;

private:
    // Places the edit box, the button and the list for the current state.
    void arrange();
    bool mouseInside() const;

    std::unique_ptr<EditBox> editBox_;
    std::unique_ptr<Button> button_;
    std::unique_ptr<ListBox> list_;
    int listHeight_ = defaultListHeight;
    int editHeight_ = 0;
    bool open_ = false;
    bool above_ = false;
};
