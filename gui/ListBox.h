// The list box and its entries; the file selector's entries
// (gui/FileSelector.h) derive from ListItem.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Dialog.h"

class Bitmap;
class Panel;
class ScrollBar;

// One entry of a list box: a text (an owned copy) and a mark flag (used by
// lists that let the user mark several entries). Subclasses may keep more
// data and draw themselves differently.
class ListItem {
public:
    // Item states: bit 0 is the mark; the rest says how the entry is shown.
    enum StateBits {
        MARKED = 1,
        FOCUSED = 2,   // the cursor of a multi-select list
        SELECTED = 4,  // the selected entry
        DISABLED = 6,  // the list is disabled
    };
    static constexpr int stateCount = 8;

    explicit ListItem(const char* text = "", bool marked = false);
    virtual ~ListItem();

    // Paints the entry into a canvas of the entry's size (origin at its
    // top-left corner). `list` gives the fonts, colours and skin. The base
    // paints frame `state` of the skin's "LIST" bitmap (1 x 8 frames) over the
    // canvas, then the text at x = 3, vertically centred.
    virtual void draw(Bitmap& canvas, int state, const Widget& list);

    // The widget text state (Widget::State) of an item state: 2 and 3
    // focused, 4 and 5 selected, 6 and 7 disabled, others normal.
    static int colourState(int state);

    // Paints frame `state` of the skin's "LIST" bitmap over the whole canvas
    // (nothing without a skin or that bitmap).
    static void drawBackground(Bitmap& canvas, int state, const Widget& list);
    // Draws `text` at x, vertically centred in the canvas, with the list's
    // font, text and shadow colour of the item state.
    static void drawText(Bitmap& canvas, const char* text, int x, int state, const Widget& list);

    const std::string& text() const { return text_; }
    void setText(const char* text);
    bool marked() const { return marked_; }
    void setMarked(bool marked) { marked_ = marked; }

private:
    std::string text_;
    bool marked_ = false;
};

// A list of items with a selection: a small dialog holding a background
// panel, the item area (which takes the focus, the keys and the mouse) and a
// vertical scroll bar that is shown only when the items do not all fit.
//
// Notifications to the parent, sent with the list box as the widget:
// MSG_SCROLL with the new index whenever the selection changes, MSG_ACTIVATE
// with the chosen index on Enter, Space or a double click (in a multi-select
// list Space toggles the mark instead, and Enter first marks an unmarked
// entry).
class ListBox : public Dialog {
public:
    using Comparison = std::function<bool(const ListItem& a, const ListItem& b)>;

    ListBox();
    ~ListBox() override;

    using Widget::setup;
    void setup(int x, int y, int w, int h, int key, std::uint32_t flags, bool multiSelect);

    // Takes ownership of `item` and inserts it before `position` (a position
    // out of 0..itemCount(), e.g. -1, appends). The selection stays on the
    // entry it was on. A null item is ignored.
    virtual void insertItem(ListItem* item, int position = -1);
    // Convenience: a plain item with that text.
    void insertItem(const char* text, int position = -1);
    // Destroys every item; the selection and the view go back to the start.
    virtual void clear();
    // Moves the selection to `index` (clamped to the items) and brings it into
    // view, without notifying anyone.
    virtual void select(int index);
    using Widget::select;
    // Sorts the items with a "less than" comparison (stable); the selection
    // follows the entry it was on.
    void sort(const Comparison& less);

    int selectedIndex() const { return selected_; }
    // Null when the index is out of range.
    ListItem* item(int index) const;
    ListItem* selectedItem() const { return item(selected_); }
    int itemCount() const { return static_cast<int>(items_.size()); }

    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool on);

    // First entry shown at the top of the item area.
    int firstVisible() const { return firstVisible_; }
    // Height of one entry and how many fit into the item area (at least 1).
    int itemHeight() const;
    int visibleCount() const;
    // Index of the entry under a point relative to the item area, or -1.
    int indexAt(int y) const;

    // Fits the panel and the item area to the box and shows the scroll bar
    // (narrowing both by its width) when the items do not all fit, else hides
    // it; then updates the children's positions.
    virtual void layout();

    // The parts.
    Panel& panel();
    Widget& itemArea();
    ScrollBar& scrollBar();

    void handleEvent(Widget* widget, int message, int argument1 = 0, int argument2 = 0) override;
    void msgStart() override;
    void msgSkinChanged() override;
    void msgResize() override;
    void msgShape() override;
    void unhide() override;

private:
    friend class ListArea;
    // Moves the selection as the user did: clamps, and when it changed keeps
    // it in view, plays the scroll sound and notifies MSG_SCROLL.
    void userSelect(int index);
    // Keeps the selected entry in view and moves the scroll bar with it.
    void followSelection();
    void activate(int index);

    std::unique_ptr<Panel> panel_;
    std::unique_ptr<Widget> area_;
    std::unique_ptr<ScrollBar> scrollBar_;
    std::vector<std::unique_ptr<ListItem>> items_;
    int firstVisible_ = 0;
    int selected_ = 0;
    bool multiSelect_ = false;
    bool passingWheel_ = false;
};
