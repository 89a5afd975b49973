// The widget base: message protocol and notifications, positions, pending
// shape messages, shortcuts, the canvas and transitions (headless Allegro,
// memory bitmaps).

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"
#include "gui/Widget.h"

#include "tests/support/headless.h"
#include "tests/support/memory_update.h"
#include "tests/support/recording_dialog.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 32});

using testkit::Event;

// A dialog that only records what its widgets report.
class RecordingDialog : public testkit::RecordingDialog {
public:
    RecordingDialog() : testkit::RecordingDialog(RecordOnly) {}
};

// A drawing target of a given size in place of the screen.
class TestUpdate : public testkit::MemoryUpdate {
public:
    TestUpdate(int w, int h) : MemoryUpdate(w, h, background) {}
    static constexpr int background = 0x101010;
};

// Paints its whole canvas in one colour and a marker at its own (0, 0),
// remembering the canvas size it got.
class Painter : public Widget {
public:
    explicit Painter(int c = 0xff0000) : colour(c) {}
    void draw(Bitmap& canvas) override
    {
        ++draws;
        BITMAP* b = canvas.bitmap();
        canvasSize = Point(b->w, b->h);
        clear_to_color(b, colour);
        putpixel(b, 0, 0, marker);
    }
    static constexpr int marker = 0x00ff00;
    int colour;
    int draws = 0;
    Point canvasSize{-1, -1};
};

// Takes focus and characters, refuses to close.
class Eager : public Widget {
public:
    bool msgWantFocus() override { return true; }
    bool msgChar(int c) override { return Widget::msgChar(c), c == 'x'; }
    bool msgClose() override { return false; }
};

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        screen.reset(new TestUpdate(100, 80));
        ScreenUpdate::setCurrent(screen.get());
        dialog.shape(0, 0, 100, 80);
        dialog.events.clear();
    }
    void TearDown() override { ScreenUpdate::setCurrent(nullptr); }

    std::unique_ptr<TestUpdate> screen;
    RecordingDialog dialog;
};

// --- Message protocol ------------------------------------------------------

TEST_F(WidgetTest, EveryHandlerReportsItsMessageToTheParent)
{
    struct Case {
        int message, argument, a1, a2;
    };
    const Case cases[] = {
        {MSG_START, 0, 0, 0},       {MSG_END, 0, 0, 0},          {MSG_DRAW, 0, 0, 0},
        {MSG_CLICK, 0, 0, 0},       {MSG_DCLICK, 0, 0, 0},       {MSG_KEY, 0, 0, 0},
        {MSG_CHAR, 0x1e61, 0x1e61, 0}, {MSG_UCHAR, 0xf5, 0xf5, 0}, {MSG_XCHAR, 'q', 'q', 0},
        {MSG_WANTFOCUS, 0, 0, 0},   {MSG_GOTFOCUS, 0, 0, 0},     {MSG_LOSTFOCUS, 0, 0, 0},
        {MSG_GOTMOUSE, 0, 0, 0},    {MSG_LOSTMOUSE, 0, 0, 0},    {MSG_RADIO, 3, 3, 0},
        {MSG_WHEEL, -2, -2, 0},     {MSG_LPRESS, 0, 0, 0},       {MSG_LRELEASE, 0, 0, 0},
        {MSG_MPRESS, 0, 0, 0},      {MSG_MRELEASE, 0, 0, 0},     {MSG_RPRESS, 0, 0, 0},
        {MSG_RRELEASE, 0, 0, 0},    {MSG_TIMER, 5, 0, 0},        {MSG_SKINCHANGED, 0, 0, 0},
        {MSG_MOVE, 0, 0, 0},        {MSG_RESIZE, 0, 0, 0},       {MSG_SHAPE, 0, 0, 0},
        {MSG_WANTMOUSE, 0, 0, 0},
    };
    Widget w;
    w.setParent(&dialog);
    for (const Case& c : cases) {
        dialog.events.clear();
        w.sendMessage(c.message, c.argument);
        ASSERT_EQ(dialog.events.size(), 1u) << "message " << c.message;
        EXPECT_EQ(dialog.events[0], (Event{&w, c.message, c.a1, c.a2})) << "message " << c.message;
    }

    dialog.events.clear();
    w.sendMessage(MSG_MOUSEMOVE, 4, -7);
    ASSERT_EQ(dialog.events.size(), 1u);
    EXPECT_EQ(dialog.events[0], (Event{&w, MSG_MOUSEMOVE, 4, -7}));

    // Idle, tick and close are the widget's own business.
    dialog.events.clear();
    for (int m : {MSG_IDLE, MSG_TICK, MSG_CLOSE})
        w.sendMessage(m);
    EXPECT_TRUE(dialog.events.empty());
}

TEST_F(WidgetTest, ResultCodesFollowTheHandlersAnswers)
{
    Widget base;
    EXPECT_EQ(base.sendMessage(MSG_CHAR, 'x'), D_O_K);
    EXPECT_EQ(base.sendMessage(MSG_UCHAR, 'x'), D_O_K);
    EXPECT_EQ(base.sendMessage(MSG_XCHAR, 'x'), D_O_K);
    EXPECT_EQ(base.sendMessage(MSG_WANTFOCUS), D_O_K);   // never takes the focus
    EXPECT_EQ(base.sendMessage(MSG_WANTTAB), D_O_K);
    EXPECT_EQ(base.sendMessage(MSG_WANTMOUSE), D_WANTFOCUS);  // but takes the mouse
    EXPECT_EQ(base.sendMessage(MSG_CLOSE), D_CLOSE);

    Eager eager;
    EXPECT_EQ(eager.sendMessage(MSG_CHAR, 'x'), D_USED_CHAR);
    EXPECT_EQ(eager.sendMessage(MSG_CHAR, 'y'), D_O_K);
    EXPECT_EQ(eager.sendMessage(MSG_WANTFOCUS), D_WANTFOCUS);
    EXPECT_EQ(eager.sendMessage(MSG_WANTTAB), D_WANTFOCUS);  // follows msgWantFocus
    EXPECT_EQ(eager.sendMessage(MSG_CLOSE), D_O_K);
}

TEST_F(WidgetTest, UnknownAndNotificationOnlyNumbersDoNothing)
{
    Widget w;
    w.setParent(&dialog);
    w.setup(5, 6, 7, 8, 'k', D_SELECTED);
    w.clearFlag(D_DIRTY | D_MOVED | D_RESIZED);
    const auto flags = w.flags();
    for (int m : std::vector<int>{0, -3, 28, MSG_ACTIVATE, MSG_SCROLL, 37, 1000}) {
        EXPECT_EQ(w.sendMessage(m, 99), D_O_K) << m;
        EXPECT_EQ(w.flags(), flags) << m;
    }
    EXPECT_EQ(w.rect(), Rect(5, 6, 7, 8));
    EXPECT_TRUE(dialog.events.empty());
}

TEST_F(WidgetTest, WithoutAParentNothingIsReported)
{
    Widget w;
    for (int m = MSG_START; m <= MSG_WANTTAB; ++m)
        w.sendMessage(m, 1);
    w.setCursor(4);  // no parent, no mouse: nothing happens
    EXPECT_TRUE(dialog.events.empty());
}

TEST_F(WidgetTest, FocusMouseAndEndFlags)
{
    Widget w;
    w.setParent(&dialog);
    w.clearFlag(D_DIRTY);
    w.sendMessage(MSG_GOTFOCUS);
    EXPECT_TRUE(w.hasFocus());
    EXPECT_TRUE(w.dirty());
    w.sendMessage(MSG_GOTMOUSE);
    EXPECT_TRUE(w.hasMouse());
    w.clearFlag(D_DIRTY);
    w.sendMessage(MSG_LOSTMOUSE);
    EXPECT_FALSE(w.hasMouse());
    EXPECT_FALSE(w.dirty());  // the mouse leaving needs no redraw
    w.sendMessage(MSG_LOSTFOCUS);
    EXPECT_FALSE(w.hasFocus());
    EXPECT_TRUE(w.dirty());

    w.setFlag(D_GOTFOCUS | D_GOTMOUSE | D_MOVED | D_RESIZED | D_SKINCHANGED | D_SELECTED);
    w.sendMessage(MSG_END);
    EXPECT_EQ(w.flags() & (D_GOTFOCUS | D_GOTMOUSE | D_MOVED | D_RESIZED | D_SKINCHANGED), 0u);
    EXPECT_TRUE(w.selected());
}

TEST_F(WidgetTest, StateOperations)
{
    Widget w;
    w.setup(1, 2, 3, 4, 'q', D_EXIT | D_HIDDEN);
    w.setup(1, 2, 3, 4, 'r', D_SELECTED);
    EXPECT_EQ(w.key(), 'r');
    EXPECT_TRUE(w.testFlags(D_EXIT | D_HIDDEN | D_SELECTED));  // flags are ORed in
    EXPECT_FALSE(w.testFlags(D_EXIT | D_DISABLED));

    w.clearFlag(D_DIRTY);
    w.hide();
    EXPECT_FALSE(w.dirty());  // hiding draws nothing
    w.unhide();
    EXPECT_TRUE(w.dirty());
    EXPECT_FALSE(w.hidden());

    struct Op {
        void (Widget::*op)();
        bool (Widget::*test)() const;
        bool expected;
    };
    const Op ops[] = {
        {&Widget::disable, &Widget::disabled, true}, {&Widget::enable, &Widget::disabled, false},
        {&Widget::dontExit, &Widget::exits, false},  {&Widget::makeExit, &Widget::exits, true},
        {&Widget::deselect, &Widget::selected, false}, {&Widget::select, &Widget::selected, true},
    };
    for (const Op& o : ops) {
        w.clearFlag(D_DIRTY);
        (w.*o.op)();
        EXPECT_EQ((w.*o.test)(), o.expected);
        EXPECT_TRUE(w.dirty());
    }
    EXPECT_EQ(w.textState(), Widget::Selected);
    w.disable();
    EXPECT_EQ(w.textState(), Widget::Disabled);
}

TEST_F(WidgetTest, InitialValues)
{
    Widget w;
    EXPECT_EQ(w.rect(), Rect());
    EXPECT_EQ(w.flags(), 0u);
    EXPECT_EQ(w.backColor(), NO_COLOR);
    for (int s = 0; s < Widget::stateCount; ++s) {
        EXPECT_EQ(w.fontColor(s), makecol(0, 0, 0));
        EXPECT_EQ(w.shadowColor(s), NO_COLOR);
        EXPECT_EQ(w.fontIndex(s), 0);
    }
    for (int e = 0; e < Widget::sampleCount; ++e)
        EXPECT_EQ(w.sampleIndex(e), -1);
    EXPECT_EQ(w.bitmapIndex(), -1);
    EXPECT_EQ(w.parent(), nullptr);
    EXPECT_EQ(w.animationLength(), 1);
    EXPECT_EQ(w.animationType(), 0);
    EXPECT_FALSE(w.animator().started());

    Widget later;
    EXPECT_GT(later.serial(), w.serial());

    // Out-of-range slots read the normal state and are never written.
    w.setFontColor(7, 123);
    w.setSampleIndex(-1, 5);
    EXPECT_EQ(w.fontColor(7), makecol(0, 0, 0));
    EXPECT_EQ(w.sampleIndex(-1), -1);
}

TEST_F(WidgetTest, SkinBitmapOutsideTheSlotsIsEmpty)
{
    Skin skin("default");
    Widget w;
    w.setSkin(&skin);
    w.setBitmapIndex(Skin::BUTTON);
    EXPECT_FALSE(w.skinBitmap().empty());
    for (int bad : {-1, 1024, 5000}) {
        w.setBitmapIndex(bad);
        EXPECT_TRUE(w.skinBitmap().empty()) << bad;
    }
}

TEST_F(WidgetTest, SetSkinMarksTheChangeAndNullMeansGlobal)
{
    Skin skin("default");
    Widget w;
    w.setSkin(&skin);
    EXPECT_EQ(w.skin(), &skin);
    EXPECT_TRUE(w.testFlags(D_SKINCHANGED | D_DIRTY));
    w.setParent(&dialog);
    w.sendMessage(MSG_SKINCHANGED);
    EXPECT_FALSE(w.testFlags(D_SKINCHANGED));

    w.hide();
    w.clearFlag(D_DIRTY);
    w.setSkin(nullptr);
    EXPECT_EQ(w.skin(), globalSkin());
    EXPECT_TRUE(w.testFlags(D_SKINCHANGED));
    EXPECT_FALSE(w.dirty());  // hidden: no redraw
}

TEST_F(WidgetTest, WidgetsOnTheGlobalSkinFollowItWhenItIsReplaced)
{
    setGlobalSkin(new Skin("default"));
    Widget made;
    Widget given;
    given.setSkin(globalSkin());
    setGlobalSkin(new Skin("default")); // destroys the first
    EXPECT_EQ(made.skin(), globalSkin());
    EXPECT_EQ(given.skin(), globalSkin());
    made.setBitmapIndex(Skin::BUTTON);
    EXPECT_FALSE(made.skinBitmap().empty());
    setGlobalSkin(nullptr);
}

// --- Positions -------------------------------------------------------------

TEST_F(WidgetTest, NegativePositionsCountFromTheParentsFarEdges)
{
    RecordingDialog parent;
    parent.setParent(&dialog);
    parent.shape(30, 20, 400, 300);
    Widget w;
    w.setParent(&parent);
    w.clearFlag(D_DIRTY | D_MOVED);
    w.setX(-50);
    EXPECT_EQ(w.relativePos().x, 350);
    EXPECT_EQ(w.x(), 380);
    EXPECT_TRUE(w.testFlags(D_MOVED | D_DIRTY));
    w.setY(-10);
    EXPECT_EQ(w.relativePos().y, 290);
    EXPECT_EQ(w.y(), 310);

    w.resize(40, 25);
    EXPECT_EQ(w.x2(), 420);
    EXPECT_EQ(w.y2(), 335);
    EXPECT_TRUE(w.testFlags(D_RESIZED));
}

TEST_F(WidgetTest, PositionIsTheSumOfRelativePositionsUpTheChain)
{
    RecordingDialog middle;
    middle.setParent(&dialog);
    Widget leaf;
    leaf.setParent(&middle);
    dialog.place(5, 7);
    middle.place(10, 20);
    leaf.place(3, 4);
    EXPECT_EQ(leaf.rect().pos(), Point(18, 31));

    // The parent moves; the child follows when its position is updated.
    middle.place(100, 50);
    EXPECT_EQ(leaf.rect().pos(), Point(18, 31));
    leaf.sendMessage(MSG_START);
    EXPECT_EQ(leaf.rect().pos(), Point(108, 61));
    EXPECT_EQ(leaf.relativePos(), Point(3, 4));

    // A top-level dialog stands at its own position.
    dialog.place(-40, -30);
    EXPECT_EQ(dialog.rect().pos(), Point(-40, -30));
}

TEST_F(WidgetTest, ShapeResizesBeforePlacing)
{
    RecordingDialog parent;
    parent.setParent(&dialog);
    parent.shape(0, 0, 200, 100);
    Widget w;
    w.setParent(&parent);
    w.shape(-60, -30, 50, 20);
    EXPECT_EQ(w.rect(), Rect(140, 70, 50, 20));
}

TEST_F(WidgetTest, MoveAndResizeInOneTickGiveOneShapeMessage)
{
    Widget w;
    w.setParent(&dialog);
    w.clearFlag(D_MOVED | D_RESIZED);
    EXPECT_FALSE(w.deliverPendingShape());
    EXPECT_TRUE(dialog.events.empty());

    w.place(10, 10);
    w.resize(30, 30);
    w.place(12, 14);
    EXPECT_TRUE(w.deliverPendingShape());
    ASSERT_EQ(dialog.events.size(), 1u);
    EXPECT_EQ(dialog.events[0].message, MSG_SHAPE);
    EXPECT_FALSE(w.testFlags(D_MOVED));
    EXPECT_FALSE(w.testFlags(D_RESIZED));

    dialog.events.clear();
    w.setY(3);
    w.deliverPendingShape();
    w.setH(9);
    w.deliverPendingShape();
    EXPECT_FALSE(w.deliverPendingShape());
    ASSERT_EQ(dialog.events.size(), 2u);
    EXPECT_EQ(dialog.events[0].message, MSG_MOVE);
    EXPECT_EQ(dialog.events[1].message, MSG_RESIZE);
}

TEST(RectTest, InclusiveAndStrictPointTests)
{
    const Rect r(10, 20, 30, 40);
    EXPECT_TRUE(r.contains(10, 20));
    EXPECT_TRUE(r.contains(40, 60));   // x + w, y + h: on the edge, a hit
    EXPECT_FALSE(r.contains(41, 60));  // one pixel further: a miss
    EXPECT_FALSE(r.contains(40, 61));
    EXPECT_FALSE(r.contains(9, 30));

    EXPECT_FALSE(r.containsStrict(10, 30));
    EXPECT_FALSE(r.containsStrict(40, 30));
    EXPECT_TRUE(r.containsStrict(11, 21));
    EXPECT_TRUE(r.containsStrict(39, 59));

    EXPECT_TRUE(r.intersects(Rect(39, 59, 5, 5)));
    EXPECT_FALSE(r.intersects(Rect(40, 20, 5, 5)));
    EXPECT_FALSE(r.intersects(Rect(15, 25, 0, 5)));
}

// --- Shortcuts -------------------------------------------------------------

TEST_F(WidgetTest, ShortcutMatching)
{
    Widget w;
    w.setKey('s');
    EXPECT_TRUE(w.matchesKey('s', KEY_S));
    EXPECT_TRUE(w.matchesKey('S', KEY_S));
    EXPECT_FALSE(w.matchesKey('t', KEY_T));
    EXPECT_FALSE(w.matchesKey(0, KEY_S));

    w.setKey(0xd5);  // Latin-1 capital O with tilde
    EXPECT_TRUE(w.matchesKey(0xf5, 0));
    w.setKey(0xd7);  // the multiplication sign is not a letter
    EXPECT_FALSE(w.matchesKey(0xf7, 0));

    w.setKey(KEY_F2 << 8);
    EXPECT_TRUE(w.matchesKey(0, KEY_F2));
    EXPECT_FALSE(w.matchesKey(0, KEY_F3));
    EXPECT_FALSE(w.matchesKey('a', KEY_F2));  // a character was typed

    w.disable();
    EXPECT_FALSE(w.matchesKey(0, KEY_F2));
    w.enable();
    w.hide();
    EXPECT_FALSE(w.matchesKey(0, KEY_F2));

    Widget none;
    EXPECT_FALSE(none.matchesKey(0, 0));
}

// --- Drawing ---------------------------------------------------------------

TEST_F(WidgetTest, DrawPaintsIntoTheTargetAndReports)
{
    Painter p;
    p.setParent(&dialog);
    p.shape(10, 20, 6, 4);
    p.sendMessage(MSG_DRAW);

    EXPECT_EQ(p.draws, 1);
    EXPECT_EQ(p.canvasSize, Point(6, 4));
    EXPECT_FALSE(p.dirty());
    EXPECT_EQ(getpixel(screen->bitmap, 10, 20), Painter::marker);
    EXPECT_EQ(getpixel(screen->bitmap, 15, 23), p.colour);
    EXPECT_EQ(getpixel(screen->bitmap, 16, 23), TestUpdate::background);
    EXPECT_EQ(getpixel(screen->bitmap, 15, 24), TestUpdate::background);
    ASSERT_EQ(screen->changed.size(), 1u);
    EXPECT_EQ(screen->changed[0], Rect(10, 20, 6, 4));
    ASSERT_EQ(dialog.events.size(), 1u);
    EXPECT_EQ(dialog.events[0].message, MSG_DRAW);
}

TEST_F(WidgetTest, CanvasIsCutAtTheTargetsRightAndBottomEdges)
{
    Painter p;
    p.setParent(&dialog);
    p.shape(90, 70, 20, 20);
    p.sendMessage(MSG_DRAW);
    EXPECT_EQ(p.canvasSize, Point(10, 10));
    EXPECT_EQ(getpixel(screen->bitmap, 90, 70), Painter::marker);
    EXPECT_EQ(getpixel(screen->bitmap, 99, 79), p.colour);
}

TEST_F(WidgetTest, WidgetBeyondTheTargetIsNotPaintedButStillReported)
{
    for (Rect r : {Rect(100, 10, 5, 5), Rect(10, 80, 5, 5), Rect(150, 150, 5, 5), Rect(10, 10, 0, 5),
                   Rect(10, 10, 5, -1)}) {
        Painter p;
        p.setParent(&dialog);
        p.shape(r);
        dialog.events.clear();
        p.sendMessage(MSG_DRAW);
        EXPECT_EQ(p.draws, 0);
        EXPECT_FALSE(p.dirty());
        ASSERT_EQ(dialog.events.size(), 1u);
        EXPECT_EQ(dialog.events[0].message, MSG_DRAW);
    }

    // Wholly left of the target: the dialog stands left of the screen.
    dialog.place(-50, 0);
    Painter p;
    p.setParent(&dialog);
    p.shape(10, 5, 10, 10);
    EXPECT_EQ(p.x2(), -30);
    p.sendMessage(MSG_DRAW);
    EXPECT_EQ(p.draws, 0);
    EXPECT_FALSE(p.dirty());
}

TEST_F(WidgetTest, WidgetStickingOutLeftOrAboveIsNotShifted)
{
    dialog.place(-10, -10);  // a top-level dialog stands where it is put
    Painter p;
    p.setParent(&dialog);
    p.shape(7, 8, 8, 6);
    ASSERT_EQ(p.rect(), Rect(-3, -2, 8, 6));
    p.sendMessage(MSG_DRAW);
    EXPECT_EQ(p.draws, 1);
    // Widget pixel (3, 2) is screen (0, 0); its marker at (0, 0) is off screen.
    EXPECT_EQ(getpixel(screen->bitmap, 0, 0), p.colour);
    EXPECT_EQ(getpixel(screen->bitmap, 4, 3), p.colour);
    EXPECT_EQ(getpixel(screen->bitmap, 5, 3), TestUpdate::background);
    EXPECT_EQ(getpixel(screen->bitmap, 4, 4), TestUpdate::background);
}

TEST_F(WidgetTest, NothingToDrawWithoutATarget)
{
    ScreenUpdate::setCurrent(nullptr);
    Painter p;
    p.setParent(&dialog);
    p.shape(1, 1, 5, 5);
    p.sendMessage(MSG_DRAW);
    EXPECT_EQ(p.draws, 0);
    EXPECT_FALSE(p.dirty());
    EXPECT_EQ(p.canvas(), nullptr);
}

// --- Transitions -------------------------------------------------------------

TEST_F(WidgetTest, TransitionRunsFrameByFrameAndEndsWithTheNewLook)
{
    const int rate = theSettings.logicFrameRate;
    theSettings.logicFrameRate = 50;
    Painter p(0x0000ff);
    p.setParent(&dialog);
    p.shape(10, 10, 20, 8);
    p.setAnimationProperties(80, 6);  // wipe downwards over 4 ticks
    p.sendMessage(MSG_START);
    EXPECT_TRUE(p.testFlags(D_ANIMATING));

    auto newRows = [&] {
        int rows = 0;
        while (rows < 8 && getpixel(screen->bitmap, 15, 10 + rows) == p.colour)
            ++rows;
        return rows;
    };

    p.sendMessage(MSG_DRAW);  // starts: frame 1 of 4
    EXPECT_FALSE(p.testFlags(D_ANIMATING));
    EXPECT_TRUE(p.animator().inProgress());
    EXPECT_EQ(p.draws, 1);
    EXPECT_EQ(newRows(), 2);  // 8 * 1 / 4
    EXPECT_EQ(getpixel(screen->bitmap, 15, 12), TestUpdate::background);

    p.clearFlag(D_DIRTY);
    p.sendMessage(MSG_TICK);
    EXPECT_TRUE(p.dirty());
    p.sendMessage(MSG_DRAW);
    EXPECT_EQ(newRows(), 4);
    p.sendMessage(MSG_TICK);
    p.sendMessage(MSG_DRAW);
    EXPECT_EQ(newRows(), 6);
    EXPECT_EQ(p.draws, 1);  // frames come from the animator's images

    p.sendMessage(MSG_TICK);  // counter reaches 4: the new look is copied in
    EXPECT_FALSE(p.animator().inProgress());
    EXPECT_EQ(newRows(), 8);
    p.sendMessage(MSG_DRAW);
    EXPECT_EQ(p.draws, 2);  // back to drawing itself

    // Arming a new transition right after the end is not cancelled.
    p.animate();
    p.sendMessage(MSG_TICK);
    EXPECT_TRUE(p.testFlags(D_ANIMATING));
    theSettings.logicFrameRate = rate;
}

TEST_F(WidgetTest, TypeZeroNeverAnimates)
{
    Painter p;
    p.setParent(&dialog);
    p.shape(0, 0, 10, 10);
    p.setAnimationProperties(500, 0);
    p.sendMessage(MSG_START);
    EXPECT_FALSE(p.testFlags(D_ANIMATING));
    p.setAnimationType(3);
    EXPECT_TRUE(p.testFlags(D_ANIMATING));
    p.stopAnimation();
    EXPECT_FALSE(p.testFlags(D_ANIMATING));
    p.animate();
    p.sendMessage(MSG_DRAW);
    EXPECT_TRUE(p.animator().inProgress());
    p.resetAnimation();
    EXPECT_FALSE(p.animator().started());
    EXPECT_EQ(p.animator().counter(), 1);
}

TEST_F(WidgetTest, ChildrenDrawIntoTheNewImageOfARunningAncestor)
{
    RecordingDialog box;
    box.setParent(&dialog);
    box.shape(20, 10, 40, 30);
    Painter child(0xffff00);
    child.setParent(&box);
    child.shape(5, 6, 4, 4);

    // Armed but not started: the child draws nothing.
    box.setAnimationProperties(1000, 6);
    box.animate();
    child.sendMessage(MSG_DRAW);
    EXPECT_EQ(child.draws, 0);
    EXPECT_FALSE(child.dirty());

    // Started: the child goes into the box's new image, relative to the box.
    box.Widget::msgDraw();
    ASSERT_TRUE(box.animator().inProgress());
    child.sendMessage(MSG_DRAW);
    EXPECT_EQ(child.draws, 1);
    EXPECT_EQ(getpixel(box.animator().newImage(), 5, 6), Painter::marker);
    EXPECT_EQ(getpixel(box.animator().newImage(), 8, 9), child.colour);
    EXPECT_EQ(getpixel(screen->bitmap, 25, 16), TestUpdate::background);
}

class CountingAnimator : public Animator {
public:
    explicit CountingAnimator(int& destroyed) : destroyed_(destroyed) {}
    ~CountingAnimator() override { ++destroyed_; }

private:
    int& destroyed_;
};

TEST_F(WidgetTest, SetAnimatorReplacesAndDestroysTheOldOne)
{
    int destroyed = 0;
    {
        Widget w;
        auto* first = new CountingAnimator(destroyed);
        w.setAnimator(first);
        EXPECT_EQ(&w.animator(), first);
        w.setAnimator(nullptr);
        EXPECT_EQ(&w.animator(), first);
        w.setAnimator(new CountingAnimator(destroyed));
        EXPECT_EQ(destroyed, 1);
        // Handing the widget the animator it already owns keeps it alive.
        Animator* current = &w.animator();
        w.setAnimator(current);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(&w.animator(), current);
        EXPECT_EQ(w.animator().counter(), 1);
    }
    EXPECT_EQ(destroyed, 2);  // the widget owns its animator
}

}  // namespace
