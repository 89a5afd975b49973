// The dialog: a widget that holds other widgets, and the main loop of the
// program. Its code is split by concern: gui/Dialog.cpp (children, events,
// placing), DialogFocus.cpp, DialogLoop.cpp (the loop and closing),
// DialogDraw.cpp, DialogMouse.cpp and DialogKeys.cpp; its focus and
// mouse-over links are moved by gui/FocusChain.h, its frame drag by
// gui/FrameDrag.h.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/ClickTracker.h"
#include "gui/DragMode.h"
#include "gui/FocusChain.h"
#include "gui/FrameDrag.h"
#include "gui/Geometry.h"
#include "gui/Messages.h"
#include "gui/Widget.h"

class ScreenUpdate;

// A widget that holds other widgets, and the main loop of the program.
class Dialog : public Widget {
public:
    // A popup coordinate that keeps the dialog's current one.
    static constexpr int keepPosition = 32768;

    Dialog();
    ~Dialog() override;

    // Which drag the mouse would start: none, move, or a resize handle.
    virtual DragMode dragMode();
    virtual void updateChildPositions();
    virtual ScreenUpdate* screenUpdate();
    // Every widget of the dialog reports its messages here.
    virtual void handleEvent(Widget* widget, int message, int argument1 = 0, int argument2 = 0);
    // Asks msgClose; when it agrees, a modeless child dialog tells its
    // parent (MSG_CLOSE) and any other ends its loop. True when it agreed.
    virtual bool close();
    // Runs the dialog as the top-level loop; returns the focused child at the end.
    virtual Widget* execute(Widget* focusWidget = nullptr);
    virtual Widget* popup(Dialog* parent, Point position, Widget* focusWidget = nullptr);
    // Runs modally on top of `parent` (x or y keepPosition: keep the current
    // value); returns the deepest focused widget when it closes.
    virtual Widget* popup(Dialog* parent, int x = keepPosition, int y = keepPosition,
                          Widget* focusWidget = nullptr);
    virtual void centre();

    bool add(Widget* widget);
    void remove(Widget* widget);
    void bringToFront(Widget* widget);
    bool contains(const Widget* widget) const;
    Dialog* root();
    bool isTopLevel() const { return parent() == this; }
    void broadcast(int message, int argument = 0);

    const std::vector<Widget*>& children() const { return children_; }
    Widget* focus() const { return chain_.focus(); }
    Widget* mouseOver() const { return chain_.mouseOver(); }
    bool running() const { return running_; }
    bool closeRequested() const { return closeRequested_; }
    bool escapeCloses() const { return escapeCloses_; }
    void setEscapeCloses(bool on) { escapeCloses_ = on; }
    Point minimumSize() const { return minimumSize_; }
    void setMinimumSize(Point size) { minimumSize_ = size; }

    // The deepest focused widget below this dialog: follows the focus down
    // through focused child dialogs; null when the dialog has no focus.
    Widget* deepestFocus();

    // The visible, enabled child under a screen point (searching child
    // dialogs), or null.
    Widget* widgetAt(Point p);

    // Pieces of the loop, usable on their own.
    void drawingPass();
    // Runs one key through the dispatch; true when something used it.
    bool dispatchKey(int character, int scancode);

    // Widget handlers the dialog extends.
    bool msgWantFocus() override;
    void msgStart() override;
    void msgEnd() override;
    void msgDraw() override;
    void msgClick() override;
    void msgDClick() override;
    void msgWheel(int steps) override;
    void msgLPress() override;
    void msgMPress() override;
    void msgRPress() override;
    void msgLRelease() override;
    void msgMRelease() override;
    void msgRRelease() override;
    void msgTimer(int timer) override;
    void msgTick() override;
    void msgIdle() override;
    void msgMove() override;
    void msgResize() override;
    void msgShape() override;
    void msgMouseMove(Point delta) override;
    void msgSkinChanged() override;
    void redraw() override;
    void hide() override;
    void unhide() override;
    void enable() override;
    void disable() override;

private:
    // Lets the tests read the loop state (tests/support/dialog_access.h).
    friend struct DialogTestAccess;
    // Moves the focus and mouse-over links of every dialog of a tree.
    friend class FocusChain;

    // The loop (DialogLoop.cpp).
    void runUntilClosed(Dialog* top);
    void startTopLevel();
    void redrawAfterSwitch();
    bool runPendingTicks(bool& frameDue);
    void showFrame(bool frameDue);
    void sleepUntilTick();
    void afterPopup(Widget* outerModal);
    // Mouse (DialogMouse.cpp).
    void processMouse();
    void deliverMouseEdges(const ClickTracker::Edges& e);
    void deliverButtons(int down, int up);
    void passMovement(Point delta);
    Widget* followMouse(Point at, Point delta);
    void focusFollowsMouse(Widget* now);
    // Keyboard (DialogKeys.cpp), the steps of dispatchKey in their order.
    void processKeyboard();
    bool keyToFocused(int character, int scancode, int code);
    bool keyToShortcut(int character, int scancode);
    bool keyAsXChar(int code);
    bool keyPressesFocused(int character);
    bool keyCloses(int character);
    bool keyNavigates(int scancode);
    // Moves the focus for Tab (backward when `backward`) or an arrow scancode.
    bool navigateFocus(int scancode, bool backward);

    void endTopLevel();
    void setSkinDeep(Skin* skin);
    void deliverSkinChanged();
    void deliverShapes();
    void markOverlaps();
    void joystickToKeys(int& character, int& scancode, bool& have);
    void dragBy(Point mouse);
    // Hands a press or release on; true when a child took it.
    bool passPress(int message);
    // Places the dialog at a position relative to its parent, negative
    // values included (not counted from the far edge).
    void placeExactly(int x, int y);

    bool running_ = false;
    std::vector<Widget*> children_;
    FocusChain chain_;
    bool joystickHeld_ = false;
    bool escapeCloses_ = true;
    // Ends the loop of execute or popup: raised by close(), cleared by
    // runUntilClosed (DialogLoop.cpp), which alone write it.
    bool closeRequested_ = false;
    Point minimumSize_{20, 8};
    FrameDrag drag_;

    // Main-loop state (used by the top-level dialog and modal popups).
    int logicTimer_ = -2;
    ClickTracker clicks_;
    std::int64_t joystickReleasedAt_ = -1;
};
