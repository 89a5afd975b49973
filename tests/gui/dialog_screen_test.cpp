// Tests of the dialog manager under fake input and time: dragging, the
// cursor, redraws, dirty rectangles, mode changes and the joystick. The
// fixture is in dialog_fixture.h.
#include "dialog_fixture.h"

#include "gui/Bitmap.h"
#include "gui/Framework.h"
#include "gui/Skin.h"

TEST_F(DialogTest, DraggingMovesAMovableDialogWithTheGrabbedPoint)
{
    TestDialog main;
    TestDialog panel;
    panel.shape(100, 100, 100, 60);
    panel.setFlag(D_MOVABLE);
    panel.fixedDragMode = DragMode::Move;
    Probe inside(10, 10);
    panel.add(&inside);
    main.add(&panel);
    input.mouse.pos = Point(0, 400);
    main.sendMessage(MSG_START);

    input.queueMouse(110, 105, 0);
    input.queueMouse(110, 105, 1);
    input.queueMouse(150, 125, 1);
    input.queueMouse(160, 135, 1);
    input.queueMouse(160, 135, 0);
    ticks(main, 5);
    EXPECT_EQ(panel.rect(), Rect(150, 130, 100, 60));
    EXPECT_EQ(inside.rect().pos(), Point(160, 140)) << "children follow after the tick";
    EXPECT_FALSE(panel.testFlags(D_PRESSED));

    // Without D_MOVABLE nothing moves.
    panel.clearFlag(D_MOVABLE);
    input.queueMouse(155, 135, 0);
    input.queueMouse(155, 135, 1);
    input.queueMouse(185, 165, 1);
    input.queueMouse(185, 165, 0);
    ticks(main, 4);
    EXPECT_EQ(panel.rect().pos(), Point(150, 130));
    main.sendMessage(MSG_END);
}

TEST_F(DialogTest, DraggingACornerResizesDownToTheMinimumSize)
{
    TestDialog main;
    TestDialog panel;
    panel.shape(100, 100, 100, 60);
    panel.setFlag(D_RESIZABLE);
    panel.fixedDragMode = DragMode::TopLeft;
    main.add(&panel);
    input.mouse.pos = Point(0, 400);
    main.sendMessage(MSG_START);

    input.queueMouse(101, 101, 0);
    input.queueMouse(101, 101, 1);
    input.queueMouse(81, 91, 1); // 20 left, 10 up: grows
    ticks(main, 3);
    EXPECT_EQ(panel.rect(), Rect(80, 90, 120, 70));
    EXPECT_EQ(panel.x2(), 200) << "the opposite corner stays";

    input.queueMouse(400, 400, 1); // far past the other corner
    input.queueMouse(400, 400, 0);
    ticks(main, 2);
    EXPECT_EQ(panel.rect(), Rect(200 - 20, 160 - 8, 20, 8));
    main.sendMessage(MSG_END);
}

TEST_F(DialogTest, OnlyDirtyWidgetsAndThoseInFrontOfThemAreRedrawn)
{
    theSettings.screenUpdateMethod = 3;
    theSettings.yield = false;
    TestDialog d;
    Probe a(0, 0, 50, 50), b(40, 40, 50, 50), far(300, 300, 20, 20);
    d.add(&a);
    d.add(&b);
    d.add(&far);
    // A child dialog with a widget in it, and in front of the dialog a
    // widget covering that one.
    TestDialog panel;
    panel.shape(400, 100, 100, 100);
    Probe inner(10, 10, 40, 40), cover(430, 130, 40, 40);
    panel.add(&inner);
    d.add(&panel);
    d.add(&cover);
    d.sendMessage(MSG_START);
    passWithTick(d);
    ASSERT_EQ(a.draws, 1);
    ASSERT_EQ(b.draws, 1);
    ASSERT_EQ(far.draws, 1);
    ASSERT_EQ(cover.draws, 1);

    a.redraw();
    passWithTick(d);
    EXPECT_EQ(a.draws, 2);
    EXPECT_EQ(b.draws, 2) << "b overlaps a from the front";
    EXPECT_EQ(far.draws, 1);

    b.redraw();
    passWithTick(d);
    EXPECT_EQ(a.draws, 2) << "what lies behind is not drawn again";
    EXPECT_EQ(b.draws, 3);

    inner.redraw();
    passWithTick(d);
    EXPECT_EQ(inner.draws, 2);
    EXPECT_EQ(cover.draws, 2) << "it covers the widget from in front of its dialog";
    EXPECT_EQ(a.draws, 2);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, PressThatArrivesWithAJumpGoesToTheWidgetUnderTheNewPosition)
{
    Dialog d;
    Probe a(10, 10), b(100, 10);
    d.add(&a);
    d.add(&b);
    input.mouse.pos = Point(20, 15);
    d.sendMessage(MSG_START);
    input.queueMouse(110, 15, 1); // moved and pressed within one tick
    ticks(d, 1);
    EXPECT_EQ(b.clicks, 1);
    EXPECT_EQ(a.clicks, 0);
    EXPECT_EQ(d.focus(), &b);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, LeavingAWidgetInsideAChildDialogKeepsTheMouseOnTheDialog)
{
    TestDialog main;
    TestDialog panel;
    panel.shape(100, 100, 200, 100);
    Probe inner(10, 10, 40, 20);
    panel.add(&inner);
    main.add(&panel);
    input.mouse.pos = Point(0, 400);
    main.sendMessage(MSG_START);

    input.queueMouse(120, 115, 0); // onto the inner widget
    input.queueMouse(250, 180, 0); // onto the panel's empty part
    ticks(main, 1);
    EXPECT_EQ(main.mouseOver(), &panel);
    EXPECT_EQ(panel.mouseOver(), &inner);
    ticks(main, 1);
    EXPECT_EQ(panel.mouseOver(), nullptr);
    EXPECT_FALSE(inner.hasMouse());
    EXPECT_EQ(main.mouseOver(), &panel);
    EXPECT_TRUE(panel.hasMouse());

    // A press there reaches the panel.
    input.queueMouse(250, 180, 1);
    ticks(main, 1);
    EXPECT_TRUE(panel.testFlags(D_PRESSED));
    main.sendMessage(MSG_END);
}

// ------------------------------------------------------------ the mouse

namespace {

// A cursor of `frames` 8x8 frames side by side, frame i filled with colour
// (40 * (i + 1), 0, 0), focus point (2, 3).
void makeCursor(Cursor& c, int frames)
{
    ASSERT_TRUE(c.bitmap().create(8 * frames, 8));
    for (int i = 0; i < frames; ++i)
        rectfill(c.bitmap().bitmap(), 8 * i, 0, 8 * i + 7, 7, makecol(40 * (i + 1), 0, 0));
    c.frames = frames;
    c.frameDuration = 20;
    c.focusX = 2;
    c.focusY = 3;
}

} // namespace

TEST_F(DialogTest, CursorFramesAdvanceByTheirDuration)
{
    Cursor c;
    makeCursor(c, 3);
    Mouse m;
    m.setCursor(&c);
    EXPECT_EQ(m.frame(), 0);
    m.advance(19);
    EXPECT_EQ(m.frame(), 0);
    m.advance(1);
    EXPECT_EQ(m.frame(), 1);
    m.advance(40);
    EXPECT_EQ(m.frame(), 0) << "after the last frame comes the first";
    m.advance(50);
    EXPECT_EQ(m.frame(), 2);

    // A cursor whose whole cycle is longer than an int can count still
    // steps through its frames one duration at a time.
    Cursor slow;
    makeCursor(slow, 3);
    slow.frameDuration = 1 << 30;
    m.setCursor(&slow);
    for (int i = 0; i < 4; ++i)
        m.advance(1 << 28);
    EXPECT_EQ(m.frame(), 1);
}

TEST_F(DialogTest, CursorIsDrawnAtItsFocusPointAndHidingRestoresTheTarget)
{
    theSettings.mouseShadow = false;
    DoubleBufferUpdate update;
    ASSERT_FALSE(update.create().isFatal());
    BITMAP* t = update.target();
    const int green = makecol(0, 200, 0);
    clear_to_color(t, green);

    Cursor c;
    makeCursor(c, 2);
    Mouse m;
    m.connect(&update);
    m.setCursor(&c);
    m.update(Point(50, 60), 0, 0);
    m.draw();
    EXPECT_TRUE(m.visible());
    EXPECT_EQ(m.area(), Rect(48, 57, 8, 8));
    EXPECT_EQ(getpixel(t, 48, 57), makecol(40, 0, 0));
    EXPECT_EQ(getpixel(t, 55, 64), makecol(40, 0, 0));
    EXPECT_EQ(getpixel(t, 56, 64), green);

    m.advance(20);
    m.update(Point(100, 100), 0, 0);
    m.hide();
    EXPECT_EQ(getpixel(t, 48, 57), green) << "the saved picture goes back";
    m.draw();
    EXPECT_EQ(getpixel(t, 98, 97), makecol(80, 0, 0)) << "the second frame";
    EXPECT_EQ(getpixel(t, 50, 60), green);

    // Partly off the target: only the visible part is covered.
    m.hide();
    m.update(Point(1, 1), 0, 0);
    m.draw();
    EXPECT_EQ(m.area(), Rect(0, 0, 7, 6));
    m.hide();
    EXPECT_EQ(getpixel(t, 0, 0), green);
}

TEST_F(DialogTest, CursorShadowIsABlurredCopyOfTheShape)
{
    BITMAP* frame = create_bitmap(10, 10);
    clear_to_color(frame, bitmap_mask_color(frame));
    rectfill(frame, 3, 3, 6, 6, makecol(255, 255, 255)); // a 4x4 square

    const Mouse::Shadow sharp = Mouse::makeShadow(frame, 0);
    ASSERT_EQ(sharp.w, 10);
    ASSERT_EQ(sharp.h, 10);
    EXPECT_EQ(sharp.alpha[3 * 10 + 3], 255);
    EXPECT_EQ(sharp.alpha[2 * 10 + 3], 0);

    const int r = 2;
    const Mouse::Shadow soft = Mouse::makeShadow(frame, r);
    ASSERT_EQ(soft.w, 10 + 2 * r);
    ASSERT_EQ(soft.h, 10 + 2 * r);
    auto at = [&](int x, int y) { return static_cast<int>(soft.alpha[(y + r) * soft.w + x + r]); };
    // Softened: the middle is no longer solid, the edge fades out beyond
    // the shape, and far away there is nothing.
    EXPECT_LT(at(4, 4), 255);
    EXPECT_GT(at(4, 4), at(2, 4));
    EXPECT_GT(at(2, 4), 0);
    EXPECT_GT(at(1, 4), 0);
    EXPECT_EQ(at(0, 4), 0);
    EXPECT_EQ(at(-2, -2), 0);
    // Symmetric like the square.
    EXPECT_EQ(at(2, 4), at(7, 4));
    EXPECT_EQ(at(4, 2), at(4, 7));
    // The blur keeps the amount of shadow (up to rounding).
    int sum = 0;
    for (auto a : soft.alpha)
        sum += a;
    EXPECT_NEAR(sum, 16 * 255, 16 * 10);

    // A skin asking for an absurd blur gets a bounded picture, not an
    // overflowing size or an allocation that cannot be met.
    const Mouse::Shadow huge = Mouse::makeShadow(frame, 1 << 30);
    EXPECT_EQ(huge.w, 10 + 2 * Mouse::maxShadowRadius);
    EXPECT_EQ(huge.h, 10 + 2 * Mouse::maxShadowRadius);
    EXPECT_EQ(huge.alpha.size(), static_cast<std::size_t>(huge.w) * huge.h);
    destroy_bitmap(frame);
}

TEST_F(DialogTest, CursorShadowDarkensTheTargetNextToTheCursor)
{
    setGlobalSkin(new Skin("default"));
    ASSERT_NE(globalSkin(), nullptr);
    globalSkin()->elements().mouseShadowColor = makecol(0, 0, 0);
    globalSkin()->elements().mouseShadowSize = 1;
    globalSkin()->elements().mouseShadowOffsetX = 4;
    globalSkin()->elements().mouseShadowOffsetY = 4;
    theSettings.mouseShadow = true;

    DoubleBufferUpdate update;
    ASSERT_FALSE(update.create().isFatal());
    BITMAP* t = update.target();
    const int white = makecol(255, 255, 255);
    clear_to_color(t, white);
    Cursor c;
    makeCursor(c, 1);
    Mouse m;
    m.connect(&update);
    m.setCursor(&c);
    m.update(Point(50, 50), 0, 0); // frame at 48..55, 47..54
    m.draw();
    const int under = getpixel(t, 58, 56); // in the shadow, off the frame
    EXPECT_LT(getr(under), 255);
    EXPECT_GT(getr(under), 0) << "translucent, not solid";
    EXPECT_EQ(getpixel(t, 50, 50), makecol(40, 0, 0)) << "the frame lies over its shadow";
    EXPECT_EQ(getpixel(t, 70, 70), white);
    EXPECT_TRUE(m.area().contains(Point(59, 58)));
    m.hide();
    EXPECT_EQ(getpixel(t, 58, 56), white);
    setGlobalSkin(nullptr);
}

TEST_F(DialogTest, FrameIsDrawnOnlyWhenAWidgetOrTheCursorChanged)
{
    theSettings.yield = false;
    theSettings.mouseShadow = false;
    setGlobalSkin(new Skin("default")); // its cursors
    TestDialog d;
    Probe p(10, 10);
    d.add(&p);
    input.mouse.pos = Point(300, 300);
    d.sendMessage(MSG_START);
    ASSERT_TRUE(ScreenUpdate::current()->redrawsEverything());
    passWithTick(d);
    ASSERT_EQ(p.draws, 1);
    for (int i = 0; i < 5; ++i)
        passWithTick(d);
    EXPECT_EQ(p.draws, 1) << "nothing changed: no frame";
    input.mouse.pos = Point(305, 300);
    passWithTick(d);
    EXPECT_EQ(p.draws, 2) << "the cursor moved";
    p.redraw();
    passWithTick(d);
    EXPECT_EQ(p.draws, 3) << "a widget is dirty";
    passWithTick(d);
    EXPECT_EQ(p.draws, 3);
    d.sendMessage(MSG_END);
    setGlobalSkin(nullptr);
}

// ------------------------------------------------------------ requests and joystick

TEST_F(DialogTest, WindowCloseButtonClosesOnTheNextPass)
{
    theSettings.yield = false;
    TestDialog d;
    d.sendMessage(MSG_START);
    requestWindowClose();
    d.msgIdle();
    EXPECT_TRUE(d.closeRequested());

    TestDialog stubborn;
    stubborn.allowClose = false;
    d.sendMessage(MSG_END);
    stubborn.sendMessage(MSG_START);
    requestWindowClose();
    stubborn.msgIdle();
    EXPECT_FALSE(stubborn.closeRequested());
    stubborn.sendMessage(MSG_END);
}

TEST_F(DialogTest, DisplaySwitchRedrawsEverything)
{
    theSettings.screenUpdateMethod = 3;
    theSettings.yield = false;
    TestDialog d;
    Probe a(0, 0), b(100, 100);
    d.add(&a);
    d.add(&b);
    d.sendMessage(MSG_START);
    passWithTick(d);
    ASSERT_EQ(a.draws, 1);
    requestRedrawEverything();
    passWithTick(d);
    EXPECT_EQ(a.draws, 2);
    EXPECT_EQ(b.draws, 2);
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, JoystickGivesOneArrowKeyPerPush)
{
    theSettings.useJoystick = true;
    Grid g;
    g.dialog.sendMessage(MSG_START);
    FocusChain::giveFocus(&g.a);
    input.joystick.present = true;
    input.joystick.right = true;
    ticks(g.dialog, 3); // held: one step only
    EXPECT_EQ(g.dialog.focus(), &g.b);
    EXPECT_TRUE(DialogTestAccess::joystickHeld(g.dialog));

    input.joystick.right = false;
    g.dialog.msgTick();
    EXPECT_TRUE(DialogTestAccess::joystickHeld(g.dialog)) << "released only after one logic frame";
    input.time += 20;
    g.dialog.msgTick();
    EXPECT_FALSE(DialogTestAccess::joystickHeld(g.dialog));

    input.joystick.button1 = true; // a button is Space: presses the focused widget
    g.dialog.msgTick();
    EXPECT_EQ(g.b.keyPresses, 1);

    // A key from the keyboard in the same tick wins.
    input.joystick.button1 = false;
    input.time += 40;
    ticks(g.dialog, 2);
    input.joystick.down = true;
    input.keys.push_back({0, KEY_LEFT});
    g.dialog.msgTick();
    EXPECT_EQ(g.dialog.focus(), &g.a);
    g.dialog.sendMessage(MSG_END);
}

namespace {

// A probe that paints itself in one colour.
class Painted : public Probe {
public:
    Painted(int x, int y, int w, int h, int colour) : Probe(x, y, w, h), colour_(colour) {}
    void draw(Bitmap& canvas) override { clear_to_color(canvas.bitmap(), colour_); }

private:
    int colour_;
};

} // namespace

TEST_F(DialogTest, WithDirtyRectanglesOnlyChangedAreasReachTheScreen)
{
    theSettings.screenUpdateMethod = 3;
    theSettings.yield = false;
    theSettings.showMouse = false;
    const int blue = makecol(0, 0, 255), yellow = makecol(255, 255, 0), black = makecol(0, 0, 0);
    TestDialog d;
    Painted a(10, 10, 30, 30, blue), b(100, 10, 30, 30, yellow);
    d.add(&a);
    d.add(&b);
    d.sendMessage(MSG_START);
    passWithTick(d);
    ASSERT_STREQ(ScreenUpdate::current()->name(), "Dirty Rectangle System");
    EXPECT_EQ(getpixel(screen, 20, 20), blue);
    EXPECT_EQ(getpixel(screen, 110, 20), yellow);
    EXPECT_EQ(getpixel(screen, 300, 300), black) << "nothing else was copied";

    clear_to_color(screen, black);
    b.redraw();
    passWithTick(d);
    EXPECT_EQ(getpixel(screen, 110, 20), yellow);
    EXPECT_EQ(getpixel(screen, 20, 20), black) << "an unchanged widget is not copied again";

    // With nothing dirty no frame copies anything.
    clear_to_color(screen, black);
    passWithTick(d);
    EXPECT_EQ(getpixel(screen, 110, 20), black);
    d.sendMessage(MSG_END);
}

namespace {

// Mode changes without a graphics driver: the "screen" becomes a memory
// bitmap of the new size.
class MemoryModes : public ModeSetter {
public:
    int desktopColorDepth() override { return 16; }
    bool setMode(int, int width, int height, int depth) override
    {
        set_color_depth(depth);
        destroy_bitmap(screen);
        screen = create_bitmap(width, height);
        return screen != nullptr;
    }
    void moveScreenToVideoMemory() override {}
    void keepRunningInBackground() override {}
};

} // namespace

TEST_F(DialogTest, ModeChangeAdaptsTheRunningDialog)
{
    theSettings.yield = false;
    theSettings.useVideoMemory = false;
    TestDialog d;
    Probe p(10, 10);
    d.add(&p);
    input.mouse.pos = Point(30, 30);
    d.sendMessage(MSG_START);
    passWithTick(d);
    ASSERT_FALSE(p.dirty());

    MemoryModes modes;
    ASSERT_EQ(changeResolutionWith(modes, 0, false, 320, 200, 16, &d), Error());
    ASSERT_NE(ScreenUpdate::current(), nullptr);
    ASSERT_NE(ScreenUpdate::current()->target(), nullptr);
    EXPECT_EQ(ScreenUpdate::current()->target()->w, 320);
    EXPECT_EQ(ScreenUpdate::current()->target()->h, 200);
    EXPECT_EQ(d.rect(), Rect(0, 0, 320, 200));
    EXPECT_TRUE(p.dirty()) << "everything is drawn again";

    // The loop goes on drawing into the new target (mouse included).
    passWithTick(d);
    EXPECT_FALSE(p.dirty());
    d.sendMessage(MSG_END);
}

TEST_F(DialogTest, CursorShowsTheDragModeUnderTheMouse)
{
    setGlobalSkin(new Skin("default"));
    Skin* skin = globalSkin();
    ASSERT_NE(skin, nullptr);
    const int expected[10] = {4, 4, 6, 7, 7, 6, 9, 9, 8, 8};
    for (int mode = 0; mode <= 9; ++mode) {
        TestDialog main;
        TestDialog panel;
        panel.shape(100, 100, 100, 60);
        panel.fixedDragMode = static_cast<DragMode>(mode);
        main.add(&panel);
        input.mouse.pos = Point(0, 400);
        main.sendMessage(MSG_START);
        input.queueMouse(150, 130, 0);
        ticks(main, 1);
        ASSERT_NE(mouse(), nullptr);
        EXPECT_EQ(DialogTestAccess::dragMode(panel), static_cast<DragMode>(mode));
        EXPECT_EQ(mouse()->cursor(), &skin->cursor(expected[mode])) << "mode " << mode;
        input.queueMouse(400, 400, 0); // off the panel: the normal cursor again
        ticks(main, 1);
        EXPECT_EQ(mouse()->cursor(), &skin->cursor(Skin::MOUSE_NORMAL)) << "mode " << mode;
        main.sendMessage(MSG_END);
    }
    setGlobalSkin(nullptr);
}

TEST_F(DialogTest, DraggingPastTheParentsLeftAndTopEdgesKeepsFollowingTheMouse)
{
    TestDialog main;
    TestDialog panel;
    panel.shape(20, 30, 100, 60);
    panel.setFlag(D_MOVABLE);
    panel.fixedDragMode = DragMode::Move;
    main.add(&panel);
    input.mouse.pos = Point(0, 400);
    main.sendMessage(MSG_START);
    input.queueMouse(30, 35, 0);
    input.queueMouse(30, 35, 1);
    input.queueMouse(0, 5, 1); // 30 left and up: 10 past the left edge
    ticks(main, 3);
    EXPECT_EQ(panel.rect().pos(), Point(-10, 0));
    EXPECT_EQ(panel.relativePos(), Point(-10, 0));

    // Centring a dialog larger than its parent leaves it sticking out on both sides.
    TestDialog wide;
    wide.resize(800, 100);
    panel.add(&wide);
    wide.centre();
    wide.updatePosition();
    EXPECT_EQ(wide.x(), panel.x() + (100 - 800) / 2);
    main.sendMessage(MSG_END);
}
