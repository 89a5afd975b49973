#pragma once

#include <cstdint>
#include <vector>

#include "gui/Geometry.h"
#include "gui/Messages.h"
#include "gui/Widget.h"

class ScreenUpdate;

// The eight timer slots of the framework. An installed slot's interrupt
// callback only raises its pending-tick counter; the main loop takes the
// ticks. At most maxFrameSkip ticks of one slot are taken in a row within a
// loop pass; the rest of that backlog is dropped.
namespace TimerSlots {
constexpr int count = 8;
// Installs a timer of `rate` ticks per second in the first free slot;
// returns its number, or -1 when no slot is free or installation failed.
int install(int rate);
// Uninstalls the slot's callback and frees it.
void remove(int slot);
// The slot a tick should be taken from next, or -1 when nothing is pending.
int next();
// Takes one tick of the slot (never below 0).
void consume(int slot);
// Resets all catch-up counters (once per loop pass).
void resetCatchUp();
bool anyPending();
bool anyInstalled();
int pending(int slot);
// What a slot's callback does: one more pending tick.
void raise(int slot);
// Frees every slot without touching Allegro (tests).
void clear();
} // namespace TimerSlots

// Where the main loop gets its input and time from. The default one reads
// Allegro's mouse, keyboard, joystick and timers; tests install their own.
class InputSource {
public:
    struct MouseState {
        Point pos{-10000, -10000};
        int buttons = 0;
        int wheel = 0;
    };
    struct JoystickState {
        bool present = false;
        bool left = false, right = false, up = false, down = false;
        bool button1 = false, button2 = false;
    };

    virtual ~InputSource() = default;
    // Starts a callback that calls TimerSlots::raise(slot) `rate` times a second.
    virtual bool startTimer(int slot, int rate);
    virtual void stopTimer(int slot);
    virtual MouseState pollMouse();
    // Reads one waiting key: Allegro's character (ureadkey) and scancode.
    virtual bool readKey(int& character, int& scancode);
    // Whether Shift was held when the key last read was pressed (the keys
    // wait in a buffer, and Shift may be let go before the key is read);
    // the state now when no key was read.
    virtual bool shiftHeld();
    virtual JoystickState pollJoystick();
    // Sleeps until a timer slot has a tick pending or a request (window
    // close button, display switch) came in; it may return earlier.
    virtual void waitForTick();
    // Milliseconds from an arbitrary start.
    virtual std::int64_t nowMs();
    // Display-switch, window close-button and keyboard callbacks.
    virtual void startCallbacks(bool watchSwitch);
    virtual void stopCallbacks();
};

void setInputSource(InputSource* source); // null: back to Allegro's
InputSource& inputSource();

// Requests raised from callbacks (display switched back in, window close button).
void requestRedrawEverything();
void requestWindowClose();

// A widget that holds other widgets, and the main loop of the program.
class Dialog : public Widget {
public:
    Dialog();
    ~Dialog() override;

    // Which drag mode the mouse would start: 0 none, 1 move, 2 to 9 resize.
    virtual int dragMode();
    virtual void updateChildPositions();
    virtual ScreenUpdate* screenUpdate();
    // Every widget of the dialog reports its messages here.
    virtual void handleEvent(Widget* widget, int message, int argument1 = 0, int argument2 = 0);
    virtual void close();
    // Runs the dialog as the top-level loop; returns the focused child at the end.
    virtual Widget* execute(Widget* focusWidget = nullptr);
    virtual Widget* popup(Dialog* parent, Point position, Widget* focusWidget = nullptr);
    // Runs modally on top of `parent` (x or y 32768: keep the current value);
    // returns the deepest focused widget when it closes.
    virtual Widget* popup(Dialog* parent, int x = 32768, int y = 32768, Widget* focusWidget = nullptr);
    virtual void centre();

    bool add(Widget* widget);
    void remove(Widget* widget);
    void bringToFront(Widget* widget);
    bool contains(const Widget* widget) const;
    Dialog* root();
    bool isTopLevel() const { return parent() == this; }
    void broadcast(int message, int argument = 0);

    const std::vector<Widget*>& children() const { return children_; }
    Widget* focus() const { return focus_; }
    Widget* mouseOver() const { return mouseOver_; }
    bool running() const { return running_; }
    bool closeRequested() const { return closeRequested_; }
    bool escapeCloses() const { return escapeCloses_; }
    void setEscapeCloses(bool on) { escapeCloses_ = on; }
    Point minimumSize() const { return minimumSize_; }
    void setMinimumSize(Point size) { minimumSize_ = size; }
    int currentDragMode() const { return dragMode_; }
    Point dragOffset() const { return dragOffset_; }
    bool joystickHeld() const { return joystickHeld_; }

    // Focus and mouse-over moves along the chain from a widget up to its dialog.
    static void giveFocus(Widget* widget);
    // The same, stopping below `last` (which is left as it is).
    static void giveFocusUpTo(Widget* widget, Dialog* last);
    static void takeFocus(Widget* widget);
    static void moveFocus(Widget* from, Widget* to);
    static void giveMouse(Widget* widget);
    static void takeMouse(Widget* widget);
    static void moveMouse(Widget* from, Widget* to);
    // The deepest focused widget below this dialog: follows the focus down
    // through focused child dialogs; null when the dialog has no focus.
    Widget* deepestFocus();

    // The visible, enabled child under a screen point (searching child
    // dialogs), or null.
    Widget* widgetAt(Point p);

    // Pieces of the loop, usable on their own.
    void drawingPass();
    void processMouse();
    void processKeyboard();
    // Runs one key through the dispatch; true when something used it.
    bool dispatchKey(int character, int scancode);
    // Moves the focus for Tab (backward when `backward`) or an arrow scancode.
    bool navigateFocus(int scancode, bool backward);
    int doubleClickWindow() const { return doubleClickWindow_; }
    int logicTimer() const { return logicTimer_; }

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
    void startTopLevel();
    void endTopLevel();
    void setSkinDeep(Skin* skin);
    void deliverSkinChanged();
    void deliverShapes();
    void markOverlaps();
    void joystickToKeys(int& character, int& scancode, bool& have);
    void dragBy(Point mouse);
    void passPress(int message);
    // Places the dialog at a position relative to its parent, negative
    // values included (not counted from the far edge).
    void placeExactly(int x, int y);

    bool running_ = false;
    std::vector<Widget*> children_;
    Widget* focus_ = nullptr;
    Widget* mouseOver_ = nullptr;
    bool joystickHeld_ = false;
    bool escapeCloses_ = true;
    bool closeRequested_ = false;
    // The last close() was agreed to by msgClose.
    bool closeAgreed_ = false;
    Point minimumSize_{20, 8};
    int dragMode_ = 0;
    Point dragOffset_;

    // Main-loop state (used by the top-level dialog and modal popups).
    int logicTimer_ = -2;
    int doubleClickState_ = 0;
    int doubleClickCount_ = 0;
    int doubleClickWindow_ = 10;
    std::int64_t joystickReleasedAt_ = -1;
    Rect dragStartRect_;
};
