// Scroll range and scroll bar: clamping, layout from the skin bitmaps, grip
// size and place, keys, arrows, wheel, dragging, and which changes are
// reported (headless Allegro, built-in skin).

#include <gtest/gtest.h>

#include <vector>

#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/ScrollBar.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"
#include "tests/support/recording_dialog.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 32, .then = [] {
    theSettings.guiSound = false;
    setGlobalSkin(new Skin());
}});

// A dialog that records what reaches it.
class RecordingDialog : public testkit::RecordingDialog {
public:
    std::vector<int> scrolls(const Widget* from) const { return args(from, MSG_SCROLL); }
};

int frameH(int slot) { return globalSkin()->bitmap(slot).height() / 4; }
int frameW(int slot) { return globalSkin()->bitmap(slot).width(); }

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner.resize(800, 600);
        owner.add(&bar);
        bar.sendMessage(MSG_SKINCHANGED);
    }
    void TearDown() override { destroyMouse(); }

    // The grip's key handler with a scancode.
    void key(int scancode) { bar.grip().sendMessage(MSG_CHAR, scancode << 8); }

    RecordingDialog owner;
    ScrollBar bar;
};

} // namespace

TEST(ScrollRange, ClampsPositionButNotTheEnds)
{
    ScrollRange r;
    EXPECT_EQ(r.min(), 0);
    EXPECT_EQ(r.max(), 100);
    EXPECT_EQ(r.position(), 0);
    EXPECT_EQ(r.step(), 1);
    r.decrement();
    EXPECT_EQ(r.position(), 0);
    r.setPosition(100);
    r.increment();
    EXPECT_EQ(r.position(), 100);
    r.setPosition(250);
    EXPECT_EQ(r.position(), 100);
    r.setPosition(-3);
    EXPECT_EQ(r.position(), 0);
    r.setPosition(60);
    r.setMax(40);  // does not move the position
    EXPECT_EQ(r.position(), 60);
    r.setAll(10, 20, 5, 4);
    EXPECT_EQ(r.position(), 10);
    r.increment();
    r.increment();
    r.increment();
    EXPECT_EQ(r.position(), 20);
    EXPECT_EQ(r.range(), 10);
}

TEST_F(ScrollBarTest, VerticalLayoutFollowsTheBitmaps)
{
    bar.setup(10, 20, 40, 200, 0, 0, 50, 10, 0, ScrollBar::Vertical);
    const int dH = frameH(Skin::SCROLL_UP), iH = frameH(Skin::SCROLL_DOWN);
    EXPECT_EQ(bar.w(), frameW(Skin::SCROLL_VBACK));
    EXPECT_EQ(bar.decreaseButton().relativePos(), Point(0, 0));
    EXPECT_EQ(bar.decreaseButton().h(), dH);
    EXPECT_EQ(bar.increaseButton().relativePos(), Point(0, 200 - iH));
    EXPECT_EQ(bar.increaseButton().y(), 20 + 200 - iH);  // absolute
    EXPECT_EQ(bar.track().relativePos().y, iH);
    EXPECT_EQ(bar.track().h(), 200 - dH - iH);
    EXPECT_EQ(bar.grip().w(), bar.w());
    EXPECT_EQ(bar.grip().x(), 10);
}

TEST_F(ScrollBarTest, HorizontalLayoutFollowsTheBitmaps)
{
    bar.setup(0, 0, 300, 50, 0, 0, 50, 10, 0, ScrollBar::Horizontal);
    const int dW = frameW(Skin::SCROLL_LEFT), iW = frameW(Skin::SCROLL_RIGHT);
    EXPECT_EQ(bar.h(), frameH(Skin::SCROLL_HBACK));
    EXPECT_EQ(bar.decreaseButton().w(), dW);
    EXPECT_EQ(bar.increaseButton().relativePos(), Point(300 - iW, 0));
    EXPECT_EQ(bar.track().w(), 300 - dW - iW);
    EXPECT_EQ(bar.grip().h(), bar.h());
    EXPECT_EQ(bar.grip().relativePos(), Point(dW, 0));
}

TEST_F(ScrollBarTest, SizesGiveRangeGripAndPage)
{
    bar.setup(0, 0, 16, 200, 0, 0, 50, 10, 0, ScrollBar::Vertical);
    EXPECT_EQ(bar.min(), 0);
    EXPECT_EQ(bar.max(), 40);
    EXPECT_EQ(bar.pageSize(), 10);
    const int free = 200 - frameH(Skin::SCROLL_UP) - frameH(Skin::SCROLL_DOWN);
    EXPECT_EQ(bar.freeLength(), free);
    EXPECT_EQ(bar.grip().h(), free / 5);

    // Everything visible: nothing to scroll, the grip fills the free length
    // and stands right after the decrease arrow.
    bar.setSizes(5, 10);
    EXPECT_EQ(bar.max(), 0);
    EXPECT_EQ(bar.grip().h(), free);
    EXPECT_EQ(bar.grip().relativePos().y, frameH(Skin::SCROLL_UP));

    // A tiny share still gives a grip one can hold.
    bar.setSizes(100000, 1);
    EXPECT_EQ(bar.grip().h(), 10);
}

TEST_F(ScrollBarTest, GripTravelsFromArrowToArrow)
{
    bar.setup(0, 0, 16, 200, 0, 0, 50, 10, 0, ScrollBar::Vertical);
    EXPECT_EQ(bar.grip().relativePos().y, bar.decreaseButton().h());
    bar.moveTo(40);
    EXPECT_EQ(bar.grip().relativePos().y + bar.grip().h(), bar.increaseButton().relativePos().y);
    bar.moveTo(20);
    const int middle = bar.grip().relativePos().y;
    EXPECT_GT(middle, bar.decreaseButton().h());
    EXPECT_LT(middle + bar.grip().h(), bar.increaseButton().relativePos().y);

    // A position left beyond a shrunken range keeps the grip on the track.
    bar.moveTo(40);
    bar.setSizes(20, 10);
    EXPECT_EQ(bar.position(), 40);
    EXPECT_LE(bar.grip().relativePos().y + bar.grip().h(), bar.increaseButton().relativePos().y);
}

TEST_F(ScrollBarTest, GripPlaceIsTheExactShareOfItsWay)
{
    // The grip stands at the whole pixels of room x position / range: a
    // position that is an exact share of the range must not lose a pixel to
    // rounding (49 x 1 / 49 is 1, not 0.99...).
    const int dW = frameW(Skin::SCROLL_LEFT);
    int checked = 0;
    for (int width = 60; width <= 400; ++width) {
        bar.setup(0, 0, width, 16, 0, 0, 59, 10, 0, ScrollBar::Horizontal);
        const int room = bar.freeLength() - bar.gripLength();
        if (room <= 0)
            continue;
        for (int p = 0; p <= 49; ++p) {
            bar.moveTo(p);
            ASSERT_EQ(bar.grip().relativePos().x, dW + room * p / 49)
                << "width " << width << " position " << p;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_F(ScrollBarTest, PageDownClampsAndReportsOnce)
{
    bar.setup(0, 0, 16, 200, 0, 0, 50, 10, 35, ScrollBar::Vertical);
    EXPECT_EQ(bar.position(), 35);
    key(KEY_PGDN);
    EXPECT_EQ(bar.position(), 40);
    key(KEY_PGDN);
    EXPECT_EQ(bar.position(), 40);
    EXPECT_EQ(owner.scrolls(&bar), std::vector<int>{40});

    key(KEY_PGUP);
    key(KEY_HOME);
    key(KEY_END);
    EXPECT_EQ(owner.scrolls(&bar), (std::vector<int>{40, 30, 0, 40}));
}

TEST_F(ScrollBarTest, KeysOfTheOtherOrientationDoNothing)
{
    bar.setup(0, 0, 16, 200, 0, 0, 50, 10, 20, ScrollBar::Vertical);
    key(KEY_LEFT);
    key(KEY_RIGHT);
    EXPECT_EQ(bar.position(), 20);
    EXPECT_TRUE(owner.scrolls(&bar).empty());
    key(KEY_DOWN);
    key(KEY_DOWN);
    key(KEY_UP);
    EXPECT_EQ(owner.scrolls(&bar), (std::vector<int>{21, 22, 21}));

    owner.events.clear();
    bar.setup(0, 0, 200, 16, 0, 0, 50, 10, 20, ScrollBar::Horizontal);
    key(KEY_UP);
    key(KEY_DOWN);
    EXPECT_EQ(bar.position(), 20);
    key(KEY_RIGHT);
    key(KEY_LEFT);
    key(KEY_LEFT);
    EXPECT_EQ(owner.scrolls(&bar), (std::vector<int>{21, 20, 19}));
}

TEST_F(ScrollBarTest, GripKeysAreUsedOthersAreNot)
{
    bar.setup(0, 0, 16, 200, 0, 0, 50, 10, 0, ScrollBar::Vertical);
    EXPECT_EQ(bar.grip().sendMessage(MSG_CHAR, KEY_END << 8), D_USED_CHAR);
    EXPECT_EQ(bar.grip().sendMessage(MSG_CHAR, (KEY_A << 8) | 'a'), D_O_K);
    EXPECT_EQ(bar.position(), 40);
}

TEST_F(ScrollBarTest, OwnerChangesReportNothing)
{
    bar.setup(0, 0, 16, 200, 0, 0, 50, 10, 0, ScrollBar::Vertical);
    bar.moveTo(30);
    bar.setSizes(80, 20);
    bar.moveTo(500);
    EXPECT_EQ(bar.position(), 60);
    EXPECT_TRUE(owner.scrolls(&bar).empty());
}

TEST_F(ScrollBarTest, ArrowsStepAndStopAtTheEnds)
{
    bar.setup(0, 0, 16, 200, 0, 0, 12, 10, 1, ScrollBar::Vertical);
    bar.handleEvent(&bar.increaseButton(), MSG_ACTIVATE);
    bar.handleEvent(&bar.increaseButton(), MSG_ACTIVATE);  // already at 2
    bar.handleEvent(&bar.decreaseButton(), MSG_ACTIVATE);
    bar.handleEvent(&bar.decreaseButton(), MSG_ACTIVATE);
    bar.handleEvent(&bar.decreaseButton(), MSG_ACTIVATE);  // already at 0
    EXPECT_EQ(bar.position(), 0);
    EXPECT_EQ(owner.scrolls(&bar), (std::vector<int>{2, 1, 0}));
}

TEST_F(ScrollBarTest, HeldArrowRepeats)
{
    // The arrows repeat by themselves while held, once a skin was handed out.
    bar.setup(0, 0, 16, 200, 0, 0, 100, 10, 0, ScrollBar::Vertical);
    Button& down = bar.increaseButton();
    EXPECT_TRUE(down.testFlags(D_AUTOREPEAT));
    down.sendMessage(MSG_LPRESS);
    const int ticks = 4 * Button::repeatTicks() + 1;
    for (int i = 0; i < ticks; ++i)
        down.sendMessage(MSG_TICK);
    EXPECT_EQ(bar.position(), 5);
    EXPECT_EQ(owner.scrolls(&bar).size(), 5u);
}

TEST_F(ScrollBarTest, WheelMovesTowardMinOnVerticalBars)
{
    bar.setup(0, 0, 16, 200, 0, 0, 50, 10, 10, ScrollBar::Vertical);
    bar.handleEvent(&bar.track(), MSG_WHEEL, 3);
    EXPECT_EQ(bar.position(), 7);
    bar.handleEvent(&bar.track(), MSG_WHEEL, -5);
    EXPECT_EQ(bar.position(), 12);
    bar.handleEvent(&bar.track(), MSG_WHEEL, 100);
    bar.handleEvent(&bar.track(), MSG_WHEEL, 1);  // already at 0
    EXPECT_EQ(owner.scrolls(&bar), (std::vector<int>{7, 12, 0}));

    owner.events.clear();
    bar.setup(0, 0, 200, 16, 0, 0, 50, 10, 10, ScrollBar::Horizontal);
    bar.handleEvent(&bar.track(), MSG_WHEEL, 3);
    EXPECT_EQ(bar.position(), 13);
}

TEST_F(ScrollBarTest, DraggingPastBothEndsStopsThere)
{
    bar.setup(100, 50, 16, 200, 0, 0, 50, 10, 0, ScrollBar::Vertical);
    Mouse* m = createMouse();
    Button& grip = bar.grip();
    m->update(Point(grip.x() + 5, grip.y() + 2), 1, 0);
    grip.sendMessage(MSG_LPRESS);
    ASSERT_TRUE(grip.selected());

    m->update(Point(grip.x() + 5, 50 + 900), 1, 0);
    grip.sendMessage(MSG_MOUSEMOVE, 0, 900);
    EXPECT_EQ(bar.position(), 40);
    EXPECT_EQ(grip.relativePos().y + grip.h(), bar.increaseButton().relativePos().y);

    m->update(Point(grip.x() + 5, 50 - 300), 1, 0);
    grip.sendMessage(MSG_MOUSEMOVE, 0, -1200);
    EXPECT_EQ(bar.position(), 0);
    EXPECT_EQ(owner.scrolls(&bar), (std::vector<int>{40, 0}));

    // Holding the grip by its middle over the middle of the track gives the
    // middle of the range.
    const int trackMiddle = 50 + bar.track().relativePos().y + bar.track().h() / 2;
    m->update(Point(grip.x() + 5, trackMiddle), 1, 0);
    grip.sendMessage(MSG_MOUSEMOVE, 0, 10);
    EXPECT_NEAR(bar.position(), 20, 1);

    // Moving without holding the grip does nothing.
    grip.sendMessage(MSG_LRELEASE);
    m->update(Point(grip.x() + 5, 50 + 900), 0, 0);
    grip.sendMessage(MSG_MOUSEMOVE, 0, 300);
    EXPECT_NEAR(bar.position(), 20, 1);
}

TEST_F(ScrollBarTest, GripFillingTheTrackCannotBeDragged)
{
    bar.setup(0, 0, 16, 200, 0, 0, 5, 10, 0, ScrollBar::Vertical);
    Mouse* m = createMouse();
    m->update(Point(5, 100), 1, 0);
    bar.grip().sendMessage(MSG_LPRESS);
    m->update(Point(5, 150), 1, 0);
    bar.grip().sendMessage(MSG_MOUSEMOVE, 0, 50);
    EXPECT_EQ(bar.position(), 0);
    EXPECT_TRUE(owner.scrolls(&bar).empty());
}

TEST_F(ScrollBarTest, TabNeverLandsOnTheBar)
{
    EXPECT_EQ(bar.sendMessage(MSG_WANTTAB), D_O_K);
    EXPECT_EQ(bar.grip().sendMessage(MSG_WANTTAB), D_O_K);
    EXPECT_EQ(bar.increaseButton().sendMessage(MSG_WANTTAB), D_O_K);
    EXPECT_EQ(bar.decreaseButton().sendMessage(MSG_WANTTAB), D_O_K);
    // The grip still takes the focus from a click, so its keys work.
    EXPECT_EQ(bar.grip().sendMessage(MSG_WANTFOCUS), D_WANTFOCUS);
}

TEST_F(ScrollBarTest, MissingBitmapsLeaveTheLayoutAlone)
{
    Skin bare;
    bare.bitmap(Skin::SCROLL_VBACK).release();
    bare.bitmap(Skin::SCROLL_UP).release();
    bar.setup(0, 0, 16, 200, 0, 0, 50, 10, 0, ScrollBar::Vertical);
    const Rect gripBefore = bar.grip().rect();
    const Rect trackBefore = bar.track().rect();
    bar.setSkin(&bare);
    bar.resize(30, 300);
    bar.updateChildPositions();
    EXPECT_EQ(bar.w(), 30);  // no track bitmap: the width is not taken from it
    EXPECT_EQ(bar.track().rect(), trackBefore);
    bar.setSizes(100, 10);
    bar.moveTo(90);
    EXPECT_EQ(bar.grip().rect(), gripBefore);
    EXPECT_EQ(bar.max(), 90);
    EXPECT_EQ(bar.pageSize(), 10);
    bar.setSkin(nullptr);
}

TEST_F(ScrollBarTest, GripDrawsItsOverlayCentred)
{
    bar.setup(0, 0, 16, 200, 0, 0, 2, 1, 0, ScrollBar::Vertical);
    Button& grip = bar.grip();
    BITMAP* canvas = create_bitmap_ex(32, grip.w(), grip.h());
    ASSERT_NE(canvas, nullptr);
    const int magenta = bitmap_mask_color(canvas);
    clear_to_color(canvas, magenta);
    Bitmap c;
    c.wrap(canvas);
    grip.draw(c);

    // The overlay's normal frame, copied masked, must show at the centre of
    // the grip exactly as it is in the skin.
    const Bitmap& overlay = globalSkin()->bitmap(Skin::SCROLL_VGRIPOVERLAY);
    const int ow = overlay.width(), oh = overlay.height() / 4;
    const int ox = (grip.w() - ow) / 2, oy = (grip.h() - oh) / 2;
    int compared = 0;
    for (int y = 0; y < oh; ++y)
        for (int x = 0; x < ow; ++x) {
            const int src = getpixel(overlay.bitmap(), x, y);
            if (src == bitmap_mask_color(overlay.bitmap()))
                continue;
            ++compared;
            EXPECT_EQ(getpixel(canvas, ox + x, oy + y), src) << x << "," << y;
        }
    EXPECT_GT(compared, 0);
    // And the grip bitmap covers the rest of the grip.
    EXPECT_NE(getpixel(canvas, 0, grip.h() / 2), magenta);
    c.release();
    destroy_bitmap(canvas);
}
