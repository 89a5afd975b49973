// The framed, movable and resizable window. Its frame parts are
// gui/WindowPiece.h, gui/WindowIcon.h, gui/WindowTitle.h and gui/WindowClient.h.
#pragma once

#include <cstdint>

#include "gui/Dialog.h"
#include "gui/WindowClient.h"
#include "gui/WindowIcon.h"
#include "gui/WindowPiece.h"
#include "gui/WindowTitle.h"

// A dialog drawn with a skinned frame: edges by which it is resized, a title
// bar by which it is moved, a caption, and minimise (roll up), maximise and
// close icons. Its content lives in a client area, itself a dialog.
//
// Children, back to front: left, right, top and bottom edge, title bar,
// title background, title, the minimise, maximise and close icons, the
// client area. A new window is D_WINDOW, D_MOVABLE and D_RESIZABLE.
class Window : public Dialog {
public:
    // Window state bits.
    enum : int { RolledUp = 1, Maximised = 2, AutoRollUp = 4 };
    // Width of a rolled-up window.
    static constexpr int rolledUpWidth = 120;

    Window();
    ~Window() override;

    // --- Virtual operations the window adds ---

    // Replaces the client area (null: the window's own one) and makes the
    // window exactly large enough for it and the frame.
    virtual void setClientArea(Dialog* dialog);
    // Toggles rolled up (nothing while maximised).
    virtual void rollUp();
    // Toggles maximised (nothing while rolled up).
    virtual void maximise();
    // On: roll up now (unless a child has the focus, the window is rolled
    // up already or nothing is on screen yet) and follow the mouse: roll up
    // when it leaves, unroll when it enters. Off: unroll.
    virtual void setAutoRollUp(bool on);

    // --- Operations ---

    // The title label's text.
    void setTitle(const char* text);
    const char* title() const { return title_.text(); }
    // Adds a widget to the client area (and the client area to the window
    // when it is not there). Hides Dialog::add: application widgets go here.
    bool add(Widget* widget);

    int state() const { return state_; }
    bool rolledUp() const { return (state_ & RolledUp) != 0; }
    bool maximised() const { return (state_ & Maximised) != 0; }
    bool autoRollUp() const { return (state_ & AutoRollUp) != 0; }
    // Position (relative to the parent) and size saved while rolled up or
    // maximised.
    const Rect& savedRect() const { return saved_; }

    Dialog* clientArea() const { return client_; }
    WindowPiece& leftEdge() { return left_; }
    WindowPiece& rightEdge() { return right_; }
    WindowPiece& topEdge() { return top_; }
    WindowPiece& bottomEdge() { return bottom_; }
    WindowPiece& titleBar() { return grip_; }
    WindowPiece& titleBack() { return titleBack_; }
    WindowTitle& titleLabel() { return title_; }
    WindowIcon& minimiseIcon() { return minIcon_; }
    WindowIcon& maximiseIcon() { return maxIcon_; }
    WindowIcon& closeIcon() { return exitIcon_; }

    // Frame thicknesses from the skin: the left and right edges, the top
    // (top edge and title bar together) and the bottom.
    int frameLeft() const;
    int frameRight() const;
    int frameTop() const;
    int frameBottom() const;

    // The drag mode a press at a screen point would start (see dragMode).
    DragMode dragModeAt(Point p);
    // Places the frame pieces, title and icons and fits the client area in.
    void layout();

    // --- Dialog operations the window changes ---

    // The piece under the mouse: Move on the title bar (movable, not
    // maximised), a corner or edge on the frame's corners and edges
    // (resizable, neither rolled up nor maximised), else None.
    DragMode dragMode() override;
    void updateChildPositions() override;
    void handleEvent(Widget* widget, int message, int argument1 = 0, int argument2 = 0) override;
    using Dialog::popup;
    // Plays the skin's window transition while it pops up.
    Widget* popup(Dialog* parent, int x = keepPosition, int y = keepPosition, Widget* focusWidget = nullptr) override;

    void msgSkinChanged() override;
    void msgGotFocus() override;
    void msgLostFocus() override;
    void msgGotMouse() override;
    void msgLostMouse() override;
    // Showing or enabling the window leaves the title background and the
    // icons as the skin and the focus want them.
    void unhide() override;
    void enable() override;
    void setW(int w) override;
    void setH(int h) override;

private:
    // Enables the icons while the window (or a child) has the focus; shows
    // minimise and maximise only on a resizable window.
    void refreshIcons();
    void passFocus(int message);
    // Resizes the window around the client area's size, when it has one.
    void fitClientArea();
    Dialog* shapeParent();

    WindowPiece left_;
    WindowPiece right_;
    WindowPiece top_;
    WindowPiece bottom_;
    WindowPiece grip_;
    WindowPiece titleBack_;
    WindowTitle title_;
    WindowIcon minIcon_;
    WindowIcon maxIcon_;
    WindowIcon exitIcon_;
    WindowClient ownClient_;
    Dialog* client_;

    int state_ = 0;
    Rect saved_;
    bool built_ = false;
    bool laying_ = false;
};
