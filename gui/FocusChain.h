// The focus and mouse-over chains of a dialog tree, and the only code that
// moves them (gui/FocusChain.cpp). Every dialog holds one link; the rest of
// the dialog manager asks it and calls its moves.
#pragma once

class Dialog;
class Widget;

// One dialog's link in the two chains: the child with the focus and the
// child under the mouse. The focus chain runs from the top-level dialog
// down through each dialog's focused child to the deepest focused widget;
// the mouse-over chain runs the same way. The static moves walk a chain up
// from a widget, sending the focus and mouse messages on the way; the
// member operations drop or restore a link of the dialog's own without
// messages.
class FocusChain {
public:
    Widget* focus() const { return focus_; }
    Widget* mouseOver() const { return mouseOver_; }

    // Gives the focus to the widget and up through its dialogs: each level
    // that wants it, neither hidden nor disabled, gets MSG_GOTFOCUS and
    // becomes its parent's focus (a window also comes to the front). The
    // walk stops at the first level that does not, or that has it already.
    static void giveFocus(Widget* widget);
    // The same, stopping below `last` (which is left as it is).
    static void giveFocusUpTo(Widget* widget, Dialog* last);
    // Takes it the same way up, stopping at a modal widget, with MSG_LOSTFOCUS.
    static void takeFocus(Widget* widget);
    // Releases the chain inside `from` (a dialog), takes the focus from it
    // and gives it to `to`.
    static void moveFocus(Widget* from, Widget* to);
    // Takes the focus from the whole chain below the dialog.
    static void releaseFocusInside(Dialog* dialog);
    // The mouse-over moves: the same with MSG_GOTMOUSE, MSG_LOSTMOUSE and
    // the answer to MSG_WANTMOUSE.
    static void giveMouse(Widget* widget);
    static void takeMouse(Widget* widget);
    static void moveMouse(Widget* from, Widget* to);

    // A child leaves the dialog: the links to it go.
    void forget(const Widget* child);
    // The dialog ends: both links go.
    void clear();
    // After a nested popup has left: the focus link goes back to the outer
    // popup, which kept the focus all along (a modal widget is never
    // taken from) and so hears nothing.
    void returnFocus(Widget* outerPopup);

private:
    // The link of a dialog further up the chain.
    static FocusChain& of(Dialog* dialog);
    // One level of a walk: the link records or drops the child, its own
    // fields only.
    void holdFocus(Widget* child) { focus_ = child; }
    void dropFocus(const Widget* child);
    void holdMouse(Widget* child) { mouseOver_ = child; }
    void dropMouse(const Widget* child);

    Widget* focus_ = nullptr;
    Widget* mouseOver_ = nullptr;
};
