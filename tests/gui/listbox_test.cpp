// List box: bounds of the selection, keys, mouse, marks, keeping the
// selection in view, its scroll bar, notifications and drawing (headless
// Allegro, built-in skin).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/Dialog.h"
#include "gui/ListBox.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/Panel.h"
#include "gui/ScreenUpdate.h"
#include "gui/ScrollBar.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"
#include "tests/support/memory_update.h"
#include "tests/support/recording_dialog.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 32, .then = [] {
    theSettings.guiSound = false;
    setGlobalSkin(new Skin());
}});

using testkit::RecordingDialog;

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner.resize(800, 600);
        owner.add(&list);
        list.sendMessage(MSG_SKINCHANGED);
    }
    void TearDown() override { destroyMouse(); }

    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            list.insertItem(("item " + std::to_string(i)).c_str());
    }
    void key(int scancode, int character = 0)
    {
        list.itemArea().sendMessage(MSG_CHAR, (scancode << 8) | character);
    }
    // Puts the mouse over entry `row` of the view (0 = top row).
    void mouseOnRow(int row, int buttons = 1)
    {
        Mouse* m = mouse() ? mouse() : createMouse();
        const int y = list.itemArea().y() + 2 + row * list.itemHeight() + list.itemHeight() / 2;
        m->update(Point(list.itemArea().x() + 10, y), buttons, 0);
    }
    std::vector<int> scrolls() const { return owner.args(&list, MSG_SCROLL); }
    std::vector<int> activations() const { return owner.args(&list, MSG_ACTIVATE); }

    RecordingDialog owner;
    ListBox list;
};

} // namespace

TEST_F(ListBoxTest, ItemsThatFitHideTheScrollBar)
{
    list.setup(10, 10, 150, 200, 0, 0, false);
    const int fits = list.visibleCount();
    ASSERT_GE(fits, 3);
    fill(fits);
    EXPECT_TRUE(list.scrollBar().hidden());
    EXPECT_EQ(list.itemArea().w(), 150);
    EXPECT_EQ(list.panel().w(), 150);

    list.insertItem("one too many");
    EXPECT_FALSE(list.scrollBar().hidden());
    const int barW = globalSkin()->bitmap(Skin::SCROLL_VBACK).width();
    EXPECT_EQ(list.itemArea().w(), 150 - barW);
    EXPECT_EQ(list.panel().w(), 150 - barW);
    EXPECT_EQ(list.scrollBar().relativePos(), Point(150 - barW, 0));
    EXPECT_EQ(list.scrollBar().h(), 200);
    EXPECT_EQ(list.scrollBar().max(), 1);
    EXPECT_EQ(list.scrollBar().pageSize(), fits);

    list.clear();
    EXPECT_EQ(list.itemCount(), 0);
    EXPECT_TRUE(list.scrollBar().hidden());
    EXPECT_EQ(list.itemArea().w(), 150);
}

TEST_F(ListBoxTest, HiddenListKeepsItsBarHiddenUntilShown)
{
    list.setup(0, 0, 150, 60, 0, 0, false);
    list.hide();
    fill(20);
    EXPECT_TRUE(list.scrollBar().hidden());
    list.unhide();
    EXPECT_FALSE(list.scrollBar().hidden());
}

TEST_F(ListBoxTest, DownOnTheLastItemChangesNothing)
{
    list.setup(0, 0, 150, 300, 0, 0, false);
    fill(10);
    list.select(9);
    key(KEY_DOWN);
    EXPECT_EQ(list.selectedIndex(), 9);
    EXPECT_TRUE(scrolls().empty());
    key(KEY_UP);
    key(KEY_HOME);
    key(KEY_UP);
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_EQ(scrolls(), (std::vector<int>{8, 0}));
}

TEST_F(ListBoxTest, SelectionIsKeptInView)
{
    list.setup(0, 0, 150, 100, 0, 0, false);
    fill(40);
    const int visible = list.visibleCount();
    ASSERT_LT(visible, 40);

    key(KEY_END);
    EXPECT_EQ(list.selectedIndex(), 39);
    EXPECT_EQ(list.firstVisible(), 39 - visible + 1);
    EXPECT_EQ(list.scrollBar().position(), list.firstVisible());

    key(KEY_PGUP);
    EXPECT_EQ(list.selectedIndex(), 39 - visible);
    EXPECT_EQ(list.firstVisible(), 39 - visible);  // moved just above the view

    key(KEY_HOME);
    key(KEY_PGDN);
    EXPECT_EQ(list.selectedIndex(), visible);
    EXPECT_EQ(list.firstVisible(), 1);
    EXPECT_EQ(list.scrollBar().position(), 1);

    for (int i = 0; i < 20; ++i)
        key(KEY_PGDN);
    EXPECT_EQ(list.selectedIndex(), 39);
    // Every notification is a real change, in order, ending at the last item.
    const std::vector<int> s = scrolls();
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.back(), 39);
    for (std::size_t i = 1; i < s.size(); ++i)
        EXPECT_NE(s[i], s[i - 1]);
}

TEST_F(ListBoxTest, OwnerSelectIsClampedAndSilent)
{
    list.setup(0, 0, 150, 100, 0, 0, false);
    fill(30);
    list.select(100);
    EXPECT_EQ(list.selectedIndex(), 29);
    EXPECT_EQ(list.firstVisible(), 30 - list.visibleCount());
    list.select(-4);
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_EQ(list.firstVisible(), 0);
    EXPECT_TRUE(scrolls().empty());
    EXPECT_EQ(list.item(-1), nullptr);
    EXPECT_EQ(list.item(30), nullptr);
    EXPECT_EQ(list.item(29)->text(), "item 29");
}

TEST_F(ListBoxTest, EnterAndSpaceActivate)
{
    list.setup(0, 0, 150, 100, 0, 0, false);
    key(KEY_ENTER, 13);  // empty list: nothing to choose
    EXPECT_TRUE(activations().empty());
    fill(5);
    list.select(3);
    key(KEY_ENTER, 13);
    key(KEY_SPACE, ' ');
    EXPECT_EQ(activations(), (std::vector<int>{3, 3}));
    EXPECT_FALSE(list.item(3)->marked());
}

TEST_F(ListBoxTest, MultiSelectMarks)
{
    list.setup(0, 0, 150, 100, 0, 0, true);
    fill(5);
    list.select(2);
    key(KEY_SPACE, ' ');
    EXPECT_TRUE(list.item(2)->marked());
    key(KEY_SPACE, ' ');
    EXPECT_FALSE(list.item(2)->marked());
    key(KEY_ENTER, 13);  // marks an unmarked entry first
    EXPECT_TRUE(list.item(2)->marked());
    EXPECT_TRUE(activations().empty());
    key(KEY_ENTER, 13);  // then chooses it
    EXPECT_EQ(activations(), std::vector<int>{2});
}

TEST_F(ListBoxTest, OtherKeysAreNotTaken)
{
    list.setup(0, 0, 150, 100, 0, 0, false);
    fill(5);
    EXPECT_EQ(list.itemArea().sendMessage(MSG_CHAR, (KEY_A << 8) | 'a'), D_O_K);
    EXPECT_EQ(list.itemArea().sendMessage(MSG_CHAR, KEY_LEFT << 8), D_O_K);
    EXPECT_EQ(list.itemArea().sendMessage(MSG_CHAR, KEY_DOWN << 8), D_USED_CHAR);
}

TEST_F(ListBoxTest, MousePressSelectsDoubleClickChooses)
{
    list.setup(20, 30, 150, 100, 0, 0, false);
    fill(30);
    list.select(10);
    const int first = list.firstVisible();
    mouseOnRow(1);
    list.itemArea().sendMessage(MSG_LPRESS);
    EXPECT_EQ(list.selectedIndex(), first + 1);
    EXPECT_EQ(scrolls(), std::vector<int>{first + 1});
    list.itemArea().sendMessage(MSG_LRELEASE);
    list.itemArea().sendMessage(MSG_DCLICK);
    EXPECT_EQ(activations(), std::vector<int>{first + 1});

    // Below the last entry of a short list nothing is hit.
    list.clear();
    fill(2);
    mouseOnRow(list.visibleCount() - 1);
    list.itemArea().sendMessage(MSG_LPRESS);
    list.itemArea().sendMessage(MSG_DCLICK);
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_EQ(activations().size(), 1u);
}

TEST_F(ListBoxTest, MultiSelectDragMarksWhatItPasses)
{
    list.setup(0, 0, 150, 200, 0, 0, true);
    fill(8);
    mouseOnRow(1);
    list.itemArea().sendMessage(MSG_LPRESS);
    EXPECT_TRUE(list.item(1)->marked());
    for (int row = 2; row <= 4; ++row) {
        mouseOnRow(row);
        list.itemArea().sendMessage(MSG_MOUSEMOVE, 0, list.itemHeight());
    }
    list.itemArea().sendMessage(MSG_LRELEASE);
    mouseOnRow(6, 0);
    list.itemArea().sendMessage(MSG_MOUSEMOVE, 0, 2 * list.itemHeight());
    std::vector<bool> marks;
    for (int i = 0; i < 8; ++i)
        marks.push_back(list.item(i)->marked());
    EXPECT_EQ(marks, (std::vector<bool>{false, true, true, true, true, false, false, false}));
    EXPECT_EQ(list.selectedIndex(), 4);
}

TEST_F(ListBoxTest, WheelScrollsTheViewNotTheSelection)
{
    list.setup(0, 0, 150, 100, 0, 0, false);
    fill(40);
    list.itemArea().sendMessage(MSG_WHEEL, -3);
    EXPECT_EQ(list.firstVisible(), 3);
    EXPECT_EQ(list.scrollBar().position(), 3);
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_TRUE(scrolls().empty());
    list.itemArea().sendMessage(MSG_WHEEL, 10);
    EXPECT_EQ(list.firstVisible(), 0);
    // The parent hears of each wheel movement once.
    EXPECT_EQ(owner.args(&list.itemArea(), MSG_WHEEL), (std::vector<int>{-3, 10}));

    // All entries visible: no bar, no scrolling.
    list.clear();
    fill(2);
    list.itemArea().sendMessage(MSG_WHEEL, -3);
    EXPECT_EQ(list.firstVisible(), 0);
}

TEST_F(ListBoxTest, ScrollBarMovesTheView)
{
    list.setup(0, 0, 150, 100, 0, 0, false);
    fill(40);
    ScrollBar& bar = list.scrollBar();
    bar.grip().sendMessage(MSG_CHAR, KEY_END << 8);
    EXPECT_EQ(list.firstVisible(), 40 - list.visibleCount());
    EXPECT_EQ(list.selectedIndex(), 0);
    // The bar's own notifications stay inside the list box.
    EXPECT_TRUE(scrolls().empty());
    EXPECT_TRUE(owner.args(&bar, MSG_SCROLL).empty());
    EXPECT_TRUE(owner.args(&bar.grip(), MSG_SCROLL).empty());

    // Moving the selection afterwards brings it back into view.
    key(KEY_DOWN);
    EXPECT_EQ(list.firstVisible(), 1);
    EXPECT_EQ(bar.position(), 1);
}

TEST_F(ListBoxTest, InsertAndSortKeepTheSelectedEntry)
{
    list.setup(0, 0, 150, 100, 0, 0, false);
    list.insertItem("delta");
    list.insertItem("alpha");
    list.insertItem("charlie");
    list.select(2);
    list.insertItem("bravo", 0);
    EXPECT_EQ(list.selectedItem()->text(), "charlie");
    list.insertItem("echo", 99);
    EXPECT_EQ(list.item(4)->text(), "echo");
    list.sort([](const ListItem& a, const ListItem& b) { return a.text() < b.text(); });
    std::vector<std::string> order;
    for (int i = 0; i < list.itemCount(); ++i)
        order.push_back(list.item(i)->text());
    EXPECT_EQ(order, (std::vector<std::string>{"alpha", "bravo", "charlie", "delta", "echo"}));
    EXPECT_EQ(list.selectedIndex(), 2);
    list.insertItem(static_cast<ListItem*>(nullptr));
    EXPECT_EQ(list.itemCount(), 5);
}

using TestUpdate = testkit::MemoryUpdate;

TEST_F(ListBoxTest, SelectedRowIsDrawnInTheSelectColour)
{
    TestUpdate update(400, 300);
    ScreenUpdate::setCurrent(&update);
    list.setup(0, 0, 150, 100, 0, 0, false);
    fill(20);
    list.select(2);
    list.itemArea().sendMessage(MSG_DRAW);

    const int select = globalSkin()->colors().select;
    auto rowHasSelect = [&](int row) {
        const int y = 2 + row * list.itemHeight() + list.itemHeight() / 2;
        for (int x = 2; x < list.itemArea().w() - 2; ++x)
            if (getpixel(update.bitmap, x, y) == select)
                return true;
        return false;
    };
    EXPECT_TRUE(rowHasSelect(2));
    EXPECT_FALSE(rowHasSelect(1));
    EXPECT_FALSE(rowHasSelect(3));

    // Scrolled by the wheel, the highlight moves up with the entry, and
    // nothing of the old highlight is left behind.
    list.itemArea().sendMessage(MSG_WHEEL, -1);
    list.itemArea().sendMessage(MSG_DRAW);
    EXPECT_TRUE(rowHasSelect(1));
    EXPECT_FALSE(rowHasSelect(2));
    ScreenUpdate::setCurrent(nullptr);
}
