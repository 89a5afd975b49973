// Windows: frame geometry from the skin, drag modes by frame piece and
// position, moving and resizing by dragging, roll-up, maximise, automatic
// roll-up, focus of the frame and icons, and the close icon ending a popup
// (headless Allegro, memory bitmaps, the built-in skin, scripted input).

#include <gtest/gtest.h>


#include <allegro.h>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/Skin.h"
#include "gui/Window.h"

#include "tests/support/dialog_globals.h"
#include "tests/support/headless.h"
#include "tests/support/scripted_input.h"

namespace {

const auto* const env = testkit::headlessAllegro({.asciiText = true, .colourDepth = 16, .then = [] { setGlobalSkin(new Skin("default")); }});

using testkit::ScriptedInput;

// Fills its whole rectangle with one colour.
class Block : public Widget {
public:
    void draw(Bitmap& canvas) override { clear_to_color(canvas.bitmap(), makecol(255, 0, 0)); }
};

// A window that closes itself after some ticks and notes whether its
// transition ran meanwhile.
class TimedWindow : public Window {
public:
    void msgTick() override
    {
        Window::msgTick();
        sawTransition = sawTransition || animator().inProgress();
        if (++ticks >= closeAfter)
            close();
    }
    int ticks = 0;
    int closeAfter = 20;
    bool sawTransition = false;
};

// A dialog that counts the closings of its own children it hears of.
class Host : public Dialog {
public:
    void handleEvent(Widget* w, int message, int a1, int a2) override
    {
        if (message == MSG_CLOSE && contains(w))
            ++closes;
        Dialog::handleEvent(w, message, a1, a2);
    }
    int closes = 0;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(globals_.set(input));
        theSettings.showMouse = true;
        theSettings.useKeyboard = false;
        theSettings.yield = true;
        theSettings.guiSound = false;
        skin = globalSkin();
        ASSERT_NE(skin, nullptr);
    }

    void TearDown() override
    {
        if (host.running())
            host.sendMessage(MSG_END);
        globals_.restore();
    }

    // The window in the host at (100, 80), 300 x 200, the GUI running and
    // the mouse far away.
    void start()
    {
        // The host was made before the screen bitmap existed.
        host.resize(screen->w, screen->h);
        win.shape(100, 80, 300, 200);
        host.add(&win);
        input.mouse.pos = Point(630, 470);
        host.sendMessage(MSG_START);
        ticks(1);
    }

    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            host.msgTick();
    }

    // Draws what is dirty onto the screen bitmap.
    void frame()
    {
        host.drawingPass();
        if (ScreenUpdate* update = ScreenUpdate::current())
            update->show();
    }

    // Presses the left button at `from`, moves to `to` and lets go there.
    void drag(Point from, Point to)
    {
        input.at(from.x, from.y);
        input.at(from.x, from.y, 1);
        input.at((from.x + to.x) / 2, (from.y + to.y) / 2, 1);
        input.at(to.x, to.y, 1);
        input.at(to.x, to.y, 0);
        ticks(5);
    }

    // Skin sizes: thickness of the vertical edges and of the horizontal
    // pieces, from the bitmaps (two frames each).
    int edgeWidth(int slot) const { return skin->bitmap(slot).width() / 2; }
    int pieceHeight(int slot) const { return skin->bitmap(slot).height() / 2; }
    // Part of a frame at each end that is not repeated along the piece.
    int borderAlong(int slot, bool vertical) const
    {
        const Bitmap& b = skin->bitmap(slot);
        const int frame = vertical ? b.height() : b.width();
        int tile = vertical ? b.tileHeight() : b.tileWidth();
        if (tile < 0)
            tile = frame / 3;
        return (frame - tile) / 2;
    }

    ScriptedInput input;
    testkit::DialogGlobals globals_;
    Skin* skin = nullptr;
    Host host;
    Window win;
};

} // namespace

TEST_F(WindowTest, FrameClientAreaIconsAndTitleFollowTheSkin)
{
    EXPECT_TRUE(win.testFlags(D_WINDOW | D_MOVABLE | D_RESIZABLE));
    EXPECT_FALSE(win.testFlags(D_MODAL));
    EXPECT_STREQ(win.title(), "Window");
    EXPECT_TRUE(win.closeIcon().disabled() && win.closeIcon().exits());
    start();
    const int l = edgeWidth(Skin::WINLEFT), r = edgeWidth(Skin::WINRIGHT);
    const int t = pieceHeight(Skin::WINTOP), g = pieceHeight(Skin::WINGRIP);
    const int b = pieceHeight(Skin::WINBOTTOM);
    ASSERT_GT(l, 0);
    ASSERT_GT(g, 0);
    EXPECT_EQ(win.leftEdge().rect(), Rect(100, 80, l, 200));
    EXPECT_EQ(win.rightEdge().rect(), Rect(400 - r, 80, r, 200));
    EXPECT_EQ(win.topEdge().rect(), Rect(100 + l, 80, 300 - l - r, t));
    EXPECT_EQ(win.titleBar().rect(), Rect(100 + l, 80 + t, 300 - l - r, g));
    EXPECT_EQ(win.bottomEdge().rect(), Rect(100 + l, 280 - b, 300 - l - r, b));
    EXPECT_EQ(win.clientArea()->rect(), Rect(100 + l, 80 + t + g, 300 - l - r, 200 - t - g - b));

    const SkinElements& e = skin->elements();
    const int iw = skin->bitmap(Skin::ICONEXIT).width(), ih = skin->bitmap(Skin::ICONEXIT).height() / 4;
    EXPECT_EQ(win.closeIcon().rect(), Rect(400 + e.windowExitX, 80 + e.windowExitY, iw, ih));
    EXPECT_EQ(win.maximiseIcon().rect().pos(), Point(400 + e.windowMaxX, 80 + e.windowMaxY));
    EXPECT_EQ(win.minimiseIcon().rect().pos(), Point(400 + e.windowMinX, 80 + e.windowMinY));
    EXPECT_EQ(win.titleLabel().rect().pos(), Point(100 + e.windowTextX, 80 + e.windowTextY));
    EXPECT_TRUE(win.titleBack().hidden()) << "no title background without textBack";

    EXPECT_GE(win.minimumSize().x, win.titleBack().w() + 32);
    EXPECT_GE(win.minimumSize().y, t + g + b);

    // A new size moves the right-hand pieces along.
    win.resize(360, 240);
    EXPECT_EQ(win.rightEdge().rect().x, 460 - r);
    EXPECT_EQ(win.closeIcon().rect().x, 460 + e.windowExitX);
    EXPECT_EQ(win.clientArea()->rect().size(), Point(360 - l - r, 240 - t - g - b));
}

TEST_F(WindowTest, TitleAlignmentAndBackgroundFromTheSkin)
{
    SkinElements keep = skin->elements();
    skin->elements().windowAlignment = Label::AlignRight;
    skin->elements().windowTextBack = 1;
    start();
    win.setTitle("Mudel");
    const SkinElements& e = skin->elements();
    const Rect title = win.titleLabel().rect();
    EXPECT_EQ(title.x2(), 400 - e.windowTextX) << "right-aligned textX from the right edge";
    EXPECT_FALSE(win.titleBack().hidden());
    const Rect back = win.titleBack().rect();
    EXPECT_EQ(back.x + back.w / 2, title.x + title.w / 2) << "centred behind the title";
    EXPECT_GT(back.w, title.w);
    // The plate's two frames stand side by side; it is one frame high.
    EXPECT_EQ(back.h, skin->bitmap(Skin::WINTEXT).height());
    EXPECT_EQ(back.w - title.w, skin->bitmap(Skin::WINTEXT).width());

    skin->elements().windowAlignment = Label::AlignCentre;
    win.sendMessage(MSG_SKINCHANGED);
    EXPECT_NEAR(win.titleLabel().rect().x + win.titleLabel().w() / 2.0, 250.0, 1.0);
    skin->elements() = keep;
}

TEST_F(WindowTest, ClientAreaSizesTheWindow)
{
    start();
    Dialog content;
    content.resize(200, 120);
    win.setClientArea(&content);
    EXPECT_EQ(win.clientArea(), &content);
    EXPECT_EQ(win.w(), 200 + win.frameLeft() + win.frameRight());
    EXPECT_EQ(win.h(), 120 + win.frameTop() + win.frameBottom());
    EXPECT_EQ(content.rect(), Rect(100 + win.frameLeft(), 80 + win.frameTop(), 200, 120));
    EXPECT_TRUE(content.running());

    // Widgets added to the window go into the client area.
    Widget child;
    child.shape(10, 10, 30, 20);
    EXPECT_TRUE(win.add(&child));
    EXPECT_TRUE(content.contains(&child));
    EXPECT_FALSE(win.contains(&child));

    // A skin change keeps the client area's size.
    win.sendMessage(MSG_SKINCHANGED);
    EXPECT_EQ(content.rect().size(), Point(200, 120));

    // Back to the window's own client area.
    win.setClientArea(nullptr);
    EXPECT_FALSE(win.contains(&content));
    EXPECT_FALSE(content.running());
    win.remove(&content);
}

TEST_F(WindowTest, ClientWidgetsDoNotPaintOutsideTheClientArea)
{
    start();
    // Larger than the client area on both sides.
    Block big;
    big.shape(4, 4, 400, 300);
    win.add(&big);
    frame();
    const int red = makecol(255, 0, 0);
    const Rect client = win.clientArea()->rect();
    EXPECT_EQ(getpixel(screen, client.x2() - 1, client.y2() - 1), red);
    EXPECT_NE(getpixel(screen, win.x2() - 1, client.y + 50), red) << "right edge";
    EXPECT_NE(getpixel(screen, client.x + 50, win.y2() - 1), red) << "bottom edge";
    EXPECT_NE(getpixel(screen, win.x2() + 20, client.y + 50), red) << "right of the window";
    EXPECT_NE(getpixel(screen, client.x + 50, win.y2() + 20), red) << "below the window";
    win.clientArea()->remove(&big);

    // A dialog in the client area (like a combo box with its list dropped
    // down) draws its children beyond it.
    Dialog drop;
    drop.shape(10, client.h - 30, 100, 120);
    Block list;
    list.shape(0, 0, 100, 120);
    drop.add(&list);
    win.add(&drop);
    frame();
    EXPECT_EQ(getpixel(screen, client.x + 20, win.y2() + 20), red);
    win.clientArea()->remove(&drop);
}

TEST_F(WindowTest, DragModeDependsOnThePieceAndWhereAlongIt)
{
    start();
    const int lb = borderAlong(Skin::WINLEFT, true);
    const int tb = borderAlong(Skin::WINTOP, false);
    const int bb = borderAlong(Skin::WINBOTTOM, false);
    ASSERT_GT(lb, 0);
    ASSERT_LT(2 * lb, 200) << "the window is long enough for a middle";
    const Rect left = win.leftEdge().rect(), right = win.rightEdge().rect();
    const Rect top = win.topEdge().rect(), bottom = win.bottomEdge().rect();

    EXPECT_EQ(win.dragModeAt(Point(left.x, left.y + lb - 1)), DragMode::TopLeft);
    EXPECT_EQ(win.dragModeAt(Point(left.x, left.y + lb)), DragMode::Left);
    EXPECT_EQ(win.dragModeAt(Point(left.x, left.y2() - lb)), DragMode::BottomLeft);
    EXPECT_EQ(win.dragModeAt(Point(right.x, right.y)), DragMode::TopRight);
    EXPECT_EQ(win.dragModeAt(Point(right.x2() - 1, right.y + 100)), DragMode::Right);
    EXPECT_EQ(win.dragModeAt(Point(right.x, right.y2() - 1)), DragMode::BottomRight);
    EXPECT_EQ(win.dragModeAt(Point(top.x + tb - 1, top.y)), DragMode::TopLeft);
    EXPECT_EQ(win.dragModeAt(Point(top.x + tb, top.y)), DragMode::Top);
    EXPECT_EQ(win.dragModeAt(Point(top.x2() - tb, top.y + 1)), DragMode::TopRight);
    EXPECT_EQ(win.dragModeAt(Point(bottom.x, bottom.y)), DragMode::BottomLeft);
    EXPECT_EQ(win.dragModeAt(Point(bottom.x + 100, bottom.y)), DragMode::Bottom);
    EXPECT_EQ(win.dragModeAt(Point(bottom.x2() - bb, bottom.y2() - 1)), DragMode::BottomRight);

    const Rect grip = win.titleBar().rect();
    const Point onGrip(grip.x + grip.w / 2, grip.y2() - 1);
    const Point onTitle = win.titleLabel().rect().pos();
    const Point onIcon = win.closeIcon().rect().pos();
    const Point inClient(200, 200);
    EXPECT_EQ(win.dragModeAt(onGrip), DragMode::Move);
    EXPECT_EQ(win.dragModeAt(onTitle), DragMode::Move) << "the caption moves the window too";
    EXPECT_EQ(win.dragModeAt(onIcon), DragMode::None);
    EXPECT_EQ(win.dragModeAt(inClient), DragMode::None);
    EXPECT_EQ(win.dragModeAt(Point(10, 10)), DragMode::None);

    // Not resizable: edges give nothing; not movable: the title bar neither.
    win.clearFlag(D_RESIZABLE);
    EXPECT_EQ(win.dragModeAt(Point(left.x, left.y + 100)), DragMode::None);
    EXPECT_EQ(win.dragModeAt(onGrip), DragMode::Move);
    win.clearFlag(D_MOVABLE);
    EXPECT_EQ(win.dragModeAt(onGrip), DragMode::None);
    win.setFlag(D_MOVABLE | D_RESIZABLE);

    // Maximised: neither moving nor resizing.
    win.maximise();
    EXPECT_EQ(win.dragModeAt(Point(win.rightEdge().x(), win.rightEdge().y() + 100)), DragMode::None);
    EXPECT_EQ(win.dragModeAt(Point(win.titleBar().x() + 50, win.titleBar().y() + 2)), DragMode::None);
    win.maximise();

    // Rolled up: moving only.
    win.rollUp();
    EXPECT_EQ(win.dragModeAt(Point(win.titleBar().x() + 50, win.titleBar().y() + 2)), DragMode::Move);
    EXPECT_EQ(win.dragModeAt(Point(win.leftEdge().x(), win.leftEdge().y() + win.h() / 2)), DragMode::None);
    EXPECT_EQ(win.dragModeAt(Point(win.bottomEdge().x() + 50, win.bottomEdge().y())), DragMode::None);
}

TEST_F(WindowTest, DraggingTheTitleBarMovesTheWindowWithItsParts)
{
    start();
    const Point grab(win.titleBar().x() + 60, win.titleBar().y() + 5);
    const Rect clientBefore = win.clientArea()->rect();
    drag(grab, grab + Point(70, 40));
    EXPECT_EQ(win.rect(), Rect(170, 120, 300, 200));
    EXPECT_EQ(win.clientArea()->rect(), Rect(clientBefore.x + 70, clientBefore.y + 40, clientBefore.w, clientBefore.h));
    EXPECT_EQ(win.closeIcon().x(), 470 + skin->elements().windowExitX);

    // A maximised window stays where it is.
    win.maximise();
    const Rect full = win.rect();
    drag(Point(win.titleBar().x() + 80, win.titleBar().y() + 5), Point(300, 300));
    EXPECT_EQ(win.rect(), full);
}

TEST_F(WindowTest, DraggingPastTheParentsLeftAndTopEdgesKeepsFollowingTheMouse)
{
    start();
    const Point grab(win.titleBar().x() + 60, win.titleBar().y() + 5);
    drag(grab, grab - Point(130, 100));
    EXPECT_EQ(win.rect().pos(), Point(-30, -20));
}

TEST_F(WindowTest, DraggingTheMiddleOfTheRightEdgeResizesOnlyTheWidth)
{
    start();
    const Rect right = win.rightEdge().rect();
    drag(Point(right.x + 1, right.y + 100), Point(right.x + 51, right.y + 130));
    EXPECT_EQ(win.rect(), Rect(100, 80, 350, 200));
    EXPECT_EQ(win.rightEdge().x2(), 450);
    EXPECT_EQ(win.clientArea()->w(), 350 - win.frameLeft() - win.frameRight());

    // The bottom-left corner: the right and top edges stay.
    const Rect bottom = win.bottomEdge().rect();
    drag(Point(bottom.x + 1, bottom.y + 1), Point(bottom.x - 19, bottom.y + 31));
    EXPECT_EQ(win.rect(), Rect(80, 80, 370, 230));
}

TEST_F(WindowTest, ResizingStopsAtTheMinimumSize)
{
    start();
    win.setTitle("Pikk pealkiri, mis ei mahu");
    const Point least = win.minimumSize();
    EXPECT_GE(least.x, win.titleBack().w() + 32);
    const Rect corner = win.rightEdge().rect();
    drag(Point(corner.x + 1, corner.y2() - 1), Point(0, 0));
    EXPECT_EQ(win.rect(), Rect(100, 80, least.x, least.y));
    EXPECT_GE(win.h(), win.frameTop() + win.frameBottom());
}

TEST_F(WindowTest, RollUpShrinksToATitleBarAndComesBack)
{
    start();
    win.resize(420, 260);
    Dialog* client = win.clientArea();
    win.rollUp();
    EXPECT_TRUE(win.rolledUp());
    EXPECT_EQ(win.w(), Window::rolledUpWidth);
    EXPECT_EQ(win.h(), win.frameTop() + win.frameBottom());
    EXPECT_FALSE(win.contains(client));
    EXPECT_EQ(win.savedRect(), Rect(100, 80, 420, 260));
    EXPECT_EQ(win.bottomEdge().y(), win.titleBar().y2()) << "the bottom edge closes the title bar";
    EXPECT_EQ(win.minimiseIcon().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_OPEN);
    EXPECT_EQ(win.maximiseIcon().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_ACTIVATE);

    // Maximise does nothing while rolled up.
    win.maximise();
    EXPECT_FALSE(win.maximised());
    EXPECT_EQ(win.w(), Window::rolledUpWidth);

    // Moved while rolled up: unrolling keeps the new place.
    win.place(150, 100);
    win.rollUp();
    EXPECT_FALSE(win.rolledUp());
    EXPECT_EQ(win.rect(), Rect(150, 100, 420, 260));
    EXPECT_TRUE(win.contains(client));
    EXPECT_TRUE(client->running());
    EXPECT_EQ(client->rect().size(), Point(420 - win.frameLeft() - win.frameRight(),
                                           260 - win.frameTop() - win.frameBottom()));
    EXPECT_EQ(win.minimiseIcon().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_CLOSE);
    EXPECT_EQ(win.maximiseIcon().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_OPEN);

    // A narrow window rolls up to the same width.
    win.resize(130, 90);
    win.rollUp();
    EXPECT_EQ(win.w(), Window::rolledUpWidth);
    win.rollUp();
    EXPECT_EQ(win.rect().size(), Point(130, 90));
}

TEST_F(WindowTest, MaximiseFillsTheParentAndRestores)
{
    start();
    win.maximise();
    EXPECT_TRUE(win.maximised());
    EXPECT_EQ(win.rect(), Rect(0, 0, 640, 480));
    EXPECT_EQ(win.maximiseIcon().icon(), Skin::ICONRESTORE);
    EXPECT_EQ(win.maximiseIcon().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_CLOSE);
    EXPECT_EQ(win.rightEdge().x2(), host.x2());

    // Roll up does nothing while maximised.
    win.rollUp();
    EXPECT_FALSE(win.rolledUp());
    EXPECT_EQ(win.rect(), host.rect());

    win.maximise();
    EXPECT_FALSE(win.maximised());
    EXPECT_EQ(win.rect(), Rect(100, 80, 300, 200));
    EXPECT_EQ(win.maximiseIcon().icon(), Skin::ICONMAX);
    EXPECT_EQ(win.maximiseIcon().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_OPEN);
}

TEST_F(WindowTest, MaximiseRestoresAPlaceLeftOfAndAboveTheParent)
{
    start();
    // Half out of the parent on the left and on the top.
    win.place(-50 - host.w(), -30 - host.h());
    ASSERT_EQ(win.rect().pos(), Point(-50, -30));
    win.maximise();
    win.maximise();
    EXPECT_EQ(win.rect(), Rect(-50, -30, 300, 200));
}

TEST_F(WindowTest, FocusPaintsTheFrameAndEnablesTheIcons)
{
    start();
    frame();
    const Rect grip = win.titleBar().rect();
    const Point probe(grip.x + grip.w / 2, grip.y + grip.h / 2);
    const Bitmap& bar = skin->bitmap(Skin::WINGRIP);
    const int fh = bar.height() / 2;
    auto framePixel = [&](int frame) { return getpixel(bar.bitmap(), bar.width() / 2, frame * fh + fh / 2); };
    ASSERT_NE(framePixel(0), framePixel(1)) << "the skin paints the two frames differently";

    EXPECT_EQ(getpixel(screen, probe.x, probe.y), framePixel(1));
    FocusChain::giveFocus(&win);
    for (Widget* piece : {(Widget*)&win.leftEdge(), (Widget*)&win.rightEdge(), (Widget*)&win.topEdge(),
                          (Widget*)&win.bottomEdge(), (Widget*)&win.titleBar(), (Widget*)&win.titleBack()})
        EXPECT_TRUE(piece->hasFocus());
    for (WindowIcon* icon : {&win.minimiseIcon(), &win.maximiseIcon(), &win.closeIcon()})
        EXPECT_FALSE(icon->disabled());
    frame();
    EXPECT_EQ(getpixel(screen, probe.x, probe.y), framePixel(0));

    FocusChain::takeFocus(&win);
    EXPECT_FALSE(win.titleBar().hasFocus());
    EXPECT_TRUE(win.closeIcon().disabled());
    frame();
    EXPECT_EQ(getpixel(screen, probe.x, probe.y), framePixel(1));
}

TEST_F(WindowTest, AWindowThatCannotBeResizedShowsOnlyTheCloseIcon)
{
    win.clearFlag(D_RESIZABLE);
    start();
    FocusChain::giveFocus(&win);
    EXPECT_TRUE(win.minimiseIcon().hidden());
    EXPECT_TRUE(win.maximiseIcon().hidden());
    EXPECT_FALSE(win.closeIcon().hidden());
    // Nor can it be resized by dragging its edge.
    const Rect right = win.rightEdge().rect();
    drag(Point(right.x + 1, right.y + 100), Point(right.x + 60, right.y + 100));
    EXPECT_EQ(win.w(), 300);

    // Showing a hidden window again keeps the icons hidden.
    win.hide();
    win.unhide();
    EXPECT_TRUE(win.minimiseIcon().hidden());
    EXPECT_TRUE(win.titleBack().hidden());
}

TEST_F(WindowTest, AutomaticRollUpFollowsTheMouse)
{
    // Nothing on screen yet: the bit is set but nothing rolls.
    win.shape(100, 80, 300, 200);
    win.setAutoRollUp(true);
    EXPECT_TRUE(win.autoRollUp());
    EXPECT_FALSE(win.rolledUp());
    win.setAutoRollUp(false);

    start();
    win.setAutoRollUp(true);
    EXPECT_TRUE(win.rolledUp());
    // The mouse enters the title bar: the window opens; it leaves: it rolls up.
    input.at(win.titleBar().x() + 20, win.titleBar().y() + 5);
    ticks(1);
    EXPECT_FALSE(win.rolledUp());
    EXPECT_EQ(win.h(), 200);
    input.at(600, 400);
    ticks(1);
    EXPECT_TRUE(win.rolledUp());
    win.setAutoRollUp(false);
    EXPECT_FALSE(win.rolledUp());
    EXPECT_FALSE(win.autoRollUp());

    // With a child focused it does not roll up at once.
    FocusChain::giveFocus(win.clientArea());
    win.setAutoRollUp(true);
    EXPECT_FALSE(win.rolledUp());

    // Nor while the frame is being dragged and the mouse has run off it
    // (here: past the minimum width).
    const Rect right = win.rightEdge().rect();
    input.at(right.x + 1, right.y + 100);
    input.at(right.x + 1, right.y + 100, 1);
    input.at(20, right.y + 100, 1);
    ticks(3);
    EXPECT_EQ(win.w(), win.minimumSize().x);
    EXPECT_FALSE(win.rolledUp());
    input.at(20, right.y + 100, 0);
    ticks(1);
}

TEST_F(WindowTest, IconsAndTheClientAreaReachTheWindowsHandler)
{
    start();
    win.handleEvent(&win.minimiseIcon(), MSG_ACTIVATE);
    EXPECT_TRUE(win.rolledUp());
    win.handleEvent(&win.minimiseIcon(), MSG_ACTIVATE);
    EXPECT_FALSE(win.rolledUp());
    EXPECT_EQ(win.rect().size(), Point(300, 200));

    win.handleEvent(&win.maximiseIcon(), MSG_ACTIVATE);
    EXPECT_TRUE(win.maximised());
    EXPECT_EQ(win.maximiseIcon().icon(), Skin::ICONRESTORE);
    EXPECT_EQ(win.rect(), host.rect());
    win.handleEvent(&win.maximiseIcon(), MSG_ACTIVATE);
    EXPECT_FALSE(win.maximised());
    EXPECT_EQ(win.maximiseIcon().icon(), Skin::ICONMAX);
    EXPECT_EQ(win.rect(), Rect(100, 80, 300, 200));

    // Only the client area's closing closes the window.
    win.handleEvent(&win.titleLabel(), MSG_CLOSE);
    EXPECT_EQ(host.closes, 0);
    win.handleEvent(win.clientArea(), MSG_CLOSE);
    EXPECT_EQ(host.closes, 1);

    // An exit button in the client area closes the client area, and with it
    // the window.
    Button done;
    done.setup(10, 10, 60, 24, 0, D_EXIT, "OK");
    win.add(&done);
    win.clientArea()->handleEvent(&done, MSG_ACTIVATE);
    EXPECT_EQ(host.closes, 2);
    win.clientArea()->remove(&done);
}

TEST_F(WindowTest, CloseIconEndsAPopup)
{
    host.resize(screen->w, screen->h);
    host.sendMessage(MSG_START);
    win.shape(0, 0, 240, 160);
    win.setTitle("Info");
    const SkinElements& e = skin->elements();
    const Point icon(150 + 240 + e.windowExitX + 4, 100 + e.windowExitY + 4);
    input.at(icon.x, icon.y);
    input.at(icon.x, icon.y, 1);
    input.at(icon.x, icon.y, 0);
    Widget* result = win.popup(&host, 150, 100);
    EXPECT_EQ(result, &win.closeIcon());
    EXPECT_FALSE(host.contains(&win));
    EXPECT_TRUE(win.testFlags(D_RESIZABLE)) << "the flags return after the popup";
    EXPECT_FALSE(win.testFlags(D_ANIMATING));

    // A button with D_EXIT in the client area ends it too.
    Button ok;
    ok.setup(10, 10, 60, 24, 0, D_EXIT, "OK");
    win.add(&ok);
    const Point okAt(150 + win.frameLeft() + 20, 100 + win.frameTop() + 20);
    input.at(okAt.x, okAt.y);
    input.at(okAt.x, okAt.y, 1);
    input.at(okAt.x, okAt.y, 0);
    result = win.popup(&host, 150, 100);
    EXPECT_EQ(result, &ok);
    EXPECT_FALSE(host.contains(&win));
    win.clientArea()->remove(&ok);
}

TEST_F(WindowTest, PopupPlaysTheSkinsWindowTransition)
{
    const SkinElements keep = skin->elements();
    skin->elements().windowAnimationType = 6;   // wipe downwards
    skin->elements().windowAnimationLength = 200;
    host.resize(screen->w, screen->h);
    host.sendMessage(MSG_START);
    TimedWindow box;
    box.resize(200, 120);
    box.popup(&host, 50, 60);
    EXPECT_EQ(box.animationType(), 6);
    EXPECT_EQ(box.animationLength(), 200);
    EXPECT_TRUE(box.sawTransition);
    EXPECT_FALSE(box.testFlags(D_ANIMATING));
    EXPECT_EQ(box.animator().counter(), 1) << "the transition is reset after the popup";

    // Without a transition in the skin nothing runs.
    skin->elements() = keep;
    TimedWindow plain;
    plain.resize(200, 120);
    plain.popup(&host, 50, 60);
    EXPECT_FALSE(plain.sawTransition);
}
