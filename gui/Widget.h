// The widget base class every element of the framework derives from; its
// container is the dialog (gui/Dialog.h).
#pragma once

#include <cstdint>
#include <memory>

#include "gui/Animator.h"
#include "gui/Color.h"
#include "gui/Geometry.h"
#include "gui/Messages.h"

struct BITMAP;
class Bitmap;
class Dialog;
class Skin;

// The base of everything on screen.
//
// A widget has an absolute rectangle on the screen (derived from its
// position relative to its parent dialog), a word of D_ state flags, a
// shortcut key, text colours, shadows and fonts for four states, a skin
// bitmap index, GUI sound slots, a parent dialog and a skin. Everything that
// happens to it arrives as a message (MSG_ constants) through sendMessage,
// which calls one virtual handler per message. The base handlers do their own
// bookkeeping and report the message to the parent dialog's handleEvent, so
// application code can react to every widget's events in one place.
//
// The widget owns its animator; the parent and the skin are not owned.
class Widget {
public:
    // Text states: index of fontColor, shadowColor and fontIndex.
    enum State { Normal = 0, Selected = 1, Disabled = 2, Focused = 3 };
    static constexpr int stateCount = 4;
    // GUI sound events (Skin::SAMPLE_ACTIVATE ... Skin::SAMPLE_SCROLL).
    static constexpr int sampleCount = 7;
    // Skin bitmap indexes outside 0..skinBitmapCount-1 draw with an empty bitmap.
    static constexpr int skinBitmapCount = 1024;

    Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // --- Handlers and virtual operations, in table order ---

    // Shows the parent's skin cursor with that index; nothing without a
    // parent or a mouse.
    virtual void setCursor(int cursorIndex);
    // Recomputes the absolute position from the parent; notifies MSG_START.
    virtual void msgStart();
    // Notifies MSG_END; clears focus, mouse, moved, resized and skin flags.
    virtual void msgEnd();
    // Paints the widget (or its transition frame) into its canvas, clears
    // D_DIRTY, reports the rectangle as changed and notifies MSG_DRAW.
    virtual void msgDraw();
    // Paints the widget into a canvas whose origin is the widget's top-left
    // corner. The base paints nothing.
    virtual void draw(Bitmap& canvas);
    virtual void msgClick();
    virtual void msgDClick();
    virtual void msgKey();
    // Character handlers: true when the widget used the character.
    virtual bool msgChar(int c);
    virtual bool msgUChar(int c);
    virtual bool msgXChar(int c);
    // The base widget takes no focus.
    virtual bool msgWantFocus();
    virtual void msgGotFocus();
    virtual void msgLostFocus();
    // The base widget takes the mouse.
    virtual bool msgWantMouse();
    virtual void msgGotMouse();
    virtual void msgLostMouse();
    virtual void msgIdle();
    virtual void msgRadio(int group);
    virtual void msgWheel(int steps);
    virtual void msgLPress();
    virtual void msgMPress();
    virtual void msgRPress();
    virtual void msgLRelease();
    virtual void msgMRelease();
    virtual void msgRRelease();
    virtual void msgTimer(int timer);
    // Advances the transition animation by one tick.
    virtual void msgTick();
    virtual void msgMove();
    virtual void msgResize();
    virtual void msgShape();
    virtual void msgMouseMove(Point delta);
    // Classes override it to take their colours, fonts, bitmap and samples
    // from the skin, then call the base.
    virtual void msgSkinChanged();
    // May the widget close?
    virtual bool msgClose();
    // May keyboard navigation focus it? The same as msgWantFocus.
    virtual bool msgWantTab();
    virtual ~Widget();

    // Position and size. A negative x (y) counts from the parent's right
    // (bottom) edge. The stored value is the position relative to the parent;
    // x() and y() are absolute.
    virtual void setX(int x);
    virtual int x() const;
    virtual void setY(int y);
    virtual int y() const;
    virtual int x2() const;
    virtual int y2() const;
    virtual void setW(int w);
    virtual int w() const;
    virtual void setH(int h);
    virtual int h() const;
    virtual Point relativePos() const;

    virtual void setKey(int key);
    virtual int key() const;

    virtual std::uint32_t flags() const;
    // True when every bit of the mask is set.
    virtual bool testFlags(std::uint32_t mask) const;
    virtual bool hasFocus() const;
    virtual bool hasMouse() const;
    virtual bool hidden() const;
    virtual bool exits() const;
    virtual bool selected() const;
    virtual bool disabled() const;
    virtual bool dirty() const;
    virtual bool isDialog() const;
    virtual bool isWindow() const;

    virtual Dialog* parent() const;

    virtual void setFlag(std::uint32_t mask);
    virtual void clearFlag(std::uint32_t mask);

    virtual void enable();
    virtual void disable();
    virtual void hide();
    virtual void unhide();
    virtual void makeExit();
    virtual void dontExit();

    // Marks the widget for drawing in the next frame.
    virtual void redraw();

    virtual void place(Point pos);
    virtual void place(int x, int y);
    virtual void resize(Point size);
    virtual void resize(int w, int h);
    // Resize first, then place (so negative positions count from the
    // parent's edges whatever the new size).
    virtual void shape(const Rect& r);
    virtual void shape(Point pos, Point size);
    virtual void shape(int x, int y, int w, int h);

    virtual void select();
    virtual void deselect();

    // Stores the pointer only; Dialog::add makes a widget a child.
    virtual void setParent(Dialog* dialog);

    // Replaces (and destroys) the animator; null is ignored.
    virtual void setAnimator(Animator* animator);
    virtual void setAnimationProperties(int length, int type);
    // Stores the type, then animate().
    virtual void setAnimationType(int type);
    // Arms a transition (kind animationType) for the next drawing.
    virtual void animate();
    virtual void stopAnimation();
    // Stops and drops any transition: counter 1, no old image.
    virtual void resetAnimation();

    virtual void setup(int x, int y, int w, int h, int key, std::uint32_t flags);

    // Null means the global skin, whichever skin that is at the time: a
    // widget given the global skin follows setGlobalSkin. Sets
    // D_SKINCHANGED; redraws unless hidden.
    virtual void setSkin(Skin* skin);
    virtual Skin* skin() const;

    // Mouse position relative to the widget's top-left corner.
    virtual Point mousePos() const;

    // --- Non-virtual operations ---

    // Calls the handler of a message and translates its answer into a result
    // code: D_USED_CHAR for a used character, D_WANTFOCUS for a wanted focus,
    // mouse or tab, D_CLOSE when the widget may close, otherwise D_O_K.
    // MSG_START also arms the widget's transition. Unknown numbers do nothing.
    // MSG_RADIO, MSG_WHEEL and MSG_TIMER take `argument`; MSG_MOUSEMOVE takes
    // the movement as (argument, argument2).
    int sendMessage(int message, int argument = 0, int argument2 = 0);

    // Plays the skin sample of a GUI sound event (Skin::SAMPLE_ACTIVATE ...) when
    // the setting guiSound is on and the widget has a sample for it.
    void playSample(int event);

    // The bitmap the widget draws into: its rectangle within the current
    // drawing target (the screen update method's target, or the new image of
    // an ancestor whose transition is in progress), cut at the target's
    // edges. Null when nothing of the widget is inside the target, or an
    // ancestor is about to start a transition. Give it back with
    // releaseCanvas.
    BITMAP* canvas();
    void releaseCanvas(BITMAP* canvas);

    // Absolute position = the parent's absolute position + the relative one
    // (a widget without a parent, or a top-level dialog, stands at its
    // relative position).
    void updatePosition();

    // Delivers the pending position/size change of the last tick: MSG_SHAPE
    // when both D_MOVED and D_RESIZED are set, else MSG_MOVE or MSG_RESIZE;
    // both flags are cleared afterwards. True when a message was sent.
    bool deliverPendingShape();

    // Does a typed key trigger the widget's shortcut? A character from 1 to
    // 255 matches case-insensitively (Latin-1 letters included); a key that
    // produced no character (0) matches by scancode * 256. Hidden or disabled
    // widgets never match.
    bool matchesKey(int character, int scancode) const;

    // Absolute rectangle.
    const Rect& rect() const { return rect_; }
    // Creation order of widgets in this process (Tab navigation).
    std::uint64_t serial() const { return serial_; }

    // The skin bitmap at bitmapIndex, or an empty bitmap when the index is
    // out of range or there is no skin.
    const Bitmap& skinBitmap() const;

    Animator& animator() { return *animator_; }
    const Animator& animator() const { return *animator_; }
    int animationLength() const { return animationLength_; }
    int animationType() const { return animationType_; }

    Color backColor() const { return backColor_; }
    void setBackColor(Color c) { backColor_ = c; }
    // State-indexed slots; an index outside 0..3 reads the normal state and
    // is ignored when writing.
    Color fontColor(int state) const;
    void setFontColor(int state, Color c);
    Color shadowColor(int state) const;
    void setShadowColor(int state, Color c);
    int fontIndex(int state) const;
    void setFontIndex(int state, int index);
    int bitmapIndex() const { return bitmapIndex_; }
    void setBitmapIndex(int index) { bitmapIndex_ = index; }
    // Event-indexed sample slots; -1 plays nothing.
    int sampleIndex(int event) const;
    void setSampleIndex(int event, int index);

    // The state whose colours and font the widget's text uses now:
    // disabled, else selected, else focused, else normal.
    int textState() const;

protected:
    // Reports a message to the parent dialog (nothing without a parent).
    void notify(int message, int argument1 = 0, int argument2 = 0);

    Rect rect_;
    std::uint32_t flags_ = 0;
    std::int32_t key_ = 0;
    Color backColor_ = NO_COLOR;
    Color fontColor_[stateCount];
    Color shadowColor_[stateCount] = {NO_COLOR, NO_COLOR, NO_COLOR, NO_COLOR};
    std::int32_t fontIndex_[stateCount] = {0, 0, 0, 0};
    std::int32_t bitmapIndex_ = -1;
    std::int32_t sampleIndex_[sampleCount] = {-1, -1, -1, -1, -1, -1, -1};
    Dialog* parent_ = nullptr;
    // Null: the global skin.
    Skin* skin_ = nullptr;
    Point relativePos_;
    std::unique_ptr<Animator> animator_;
    std::int32_t animationLength_ = 1;
    std::int32_t animationType_ = 0;

private:
    // Finds where the widget draws: the target bitmap and the screen
    // position of its top-left pixel. False when an ancestor is waiting to
    // start its transition. `target` is null when there is nowhere to draw.
    bool drawingTarget(BITMAP*& target, Point& origin) const;

    std::uint64_t serial_ = 0;
    // A transition ended on the last tick; the next tick stops it.
    bool animationEnded_ = false;
    // A canvas for a widget sticking out left of or above its target is a
    // private bitmap copied back to the target when released.
    BITMAP* offsetCanvas_ = nullptr;
    BITMAP* offsetTarget_ = nullptr;
    Point offsetOrigin_;
};
