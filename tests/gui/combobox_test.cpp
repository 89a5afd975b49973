// Combo box: setup clamping, opening below or above, closing, sounds,
// transition settings, choosing from the list and Enter in the edit box
// (headless Allegro, built-in skin).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/EditBox.h"
#include "gui/ListBox.h"
#include "gui/Messages.h"
#include "gui/Mouse.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"
#include "tests/support/recording_dialog.h"

namespace {

const auto* const env = testkit::headlessAllegro({.colourDepth = 32, .then = [] {
    theSettings.guiSound = false;
    setGlobalSkin(new Skin());
}});

using testkit::RecordingDialog;

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner.resize(800, 600);
        owner.add(&other);
        owner.add(&combo);
        owner.add(&later);
        for (const char* t : {"16", "32", "64", "128", "256"})
            combo.list().insertItem(t);
        combo.sendMessage(MSG_SKINCHANGED);
    }
    void TearDown() override { destroyMouse(); }

    void pressButton() { combo.handleEvent(&combo.button(), MSG_ACTIVATE); }

    RecordingDialog owner;
    Widget other;
    ComboBox combo;
    Widget later;
};

} // namespace

TEST_F(ComboBoxTest, SetupClampsTheIndex)
{
    combo.setup(20, 80, 100, 20, 0, 0, 1);
    EXPECT_EQ(combo.list().selectedIndex(), 1);
    EXPECT_STREQ(combo.text(), "32");
    EXPECT_EQ(combo.editBox().rect(), Rect(20, 80, 100, 20));
    EXPECT_EQ(combo.list().w(), 100);

    combo.setup(20, 80, 100, 20, 0, 0, 9);
    EXPECT_EQ(combo.list().selectedIndex(), 4);
    EXPECT_STREQ(combo.text(), "256");

    combo.setup(20, 80, 100, 20, 0, 0, -7);
    EXPECT_EQ(combo.list().selectedIndex(), 0);
    EXPECT_STREQ(combo.text(), "16");

    ComboBox empty;
    empty.setup(0, 0, 80, 20, 0, 0, 3);
    EXPECT_STREQ(empty.text(), "");
    EXPECT_EQ(empty.list().selectedIndex(), 0);
}

TEST_F(ComboBoxTest, ButtonOpensBelowAndCloses)
{
    combo.setup(20, 80, 100, 20, 0, 0, 1);
    EXPECT_TRUE(combo.list().hidden());
    EXPECT_EQ(combo.h(), 20);
    EXPECT_EQ(combo.button().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_OPEN);

    pressButton();
    EXPECT_TRUE(combo.isOpen());
    EXPECT_FALSE(combo.opensAbove());
    EXPECT_FALSE(combo.list().hidden());
    EXPECT_EQ(combo.h(), 20 + ComboBox::defaultListHeight);
    EXPECT_EQ(combo.list().rect(), Rect(20, 100, 100, ComboBox::defaultListHeight));
    EXPECT_EQ(combo.button().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_ACTIVATE);
    // In front of everything else of its dialog while open.
    EXPECT_EQ(owner.children().back(), &combo);

    pressButton();
    EXPECT_FALSE(combo.isOpen());
    EXPECT_TRUE(combo.list().hidden());
    EXPECT_EQ(combo.h(), 20);
    EXPECT_EQ(combo.rect(), Rect(20, 80, 100, 20));
    EXPECT_EQ(combo.button().sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_OPEN);
    // The button's activation is the combo box's own business.
    EXPECT_TRUE(owner.args(&combo.button(), MSG_ACTIVATE).empty());
}

TEST_F(ComboBoxTest, ComboBoxOfItsOwnOpensBelowWhereverItStands)
{
    // Without a screen and without a dialog around it there is no bottom
    // edge to leave: the list opens below, even far above the origin.
    ComboBox alone;
    alone.list().insertItem("a");
    alone.setup(0, -100, 80, 20, 0, 0, 0);
    ASSERT_EQ(alone.y(), -100);
    alone.openList();
    EXPECT_TRUE(alone.isOpen());
    EXPECT_FALSE(alone.opensAbove());
    EXPECT_EQ(alone.list().y(), -80);
    alone.closeList();
}

TEST_F(ComboBoxTest, OpensAboveNearTheBottomOfTheScreen)
{
    combo.setup(20, 560, 100, 20, 0, 0, 2);
    pressButton();
    ASSERT_TRUE(combo.opensAbove());
    const int lh = ComboBox::defaultListHeight;
    EXPECT_EQ(combo.rect(), Rect(20, 560 - lh, 100, 20 + lh));
    EXPECT_EQ(combo.editBox().rect(), Rect(20, 560, 100, 20));  // stays where it was
    EXPECT_EQ(combo.list().rect(), Rect(20, 560 - lh, 100, lh));
    EXPECT_EQ(combo.button().y(), 560);

    pressButton();
    EXPECT_EQ(combo.rect(), Rect(20, 560, 100, 20));
    EXPECT_EQ(combo.editBox().rect(), Rect(20, 560, 100, 20));
    EXPECT_FALSE(combo.opensAbove());

    // Near the top of its window (a small relative y) it still opens above
    // without the position being read as counting from the bottom edge.
    Dialog window;
    window.resize(300, 100);
    owner.add(&window);
    window.place(100, 500);
    ComboBox low;
    window.add(&low);
    low.list().insertItem("a");
    low.setup(10, 40, 100, 20, 0, 0, 0);
    low.openList();
    ASSERT_TRUE(low.opensAbove());
    EXPECT_EQ(low.relativePos().y, 40 - lh);
    EXPECT_EQ(low.y(), 500 + 40 - lh);
    EXPECT_EQ(low.editBox().y(), 500 + 40);
    low.closeList();
    EXPECT_EQ(low.relativePos().y, 40);
    EXPECT_EQ(low.y(), 540);
    owner.remove(&window);
}

TEST_F(ComboBoxTest, ChoosingFromTheListFillsTheEditBox)
{
    combo.setup(20, 80, 100, 20, 0, 0, 1);
    pressButton();
    Widget& items = combo.list().itemArea();
    items.sendMessage(MSG_CHAR, KEY_DOWN << 8);
    items.sendMessage(MSG_CHAR, KEY_DOWN << 8);
    EXPECT_STREQ(combo.text(), "32");  // moving in the list is not choosing
    items.sendMessage(MSG_CHAR, (KEY_ENTER << 8) | 13);
    EXPECT_STREQ(combo.text(), "128");
    EXPECT_FALSE(combo.isOpen());
    EXPECT_EQ(owner.args(&combo, MSG_ACTIVATE), std::vector<int>{3});
}

TEST_F(ComboBoxTest, EnterInTheEditBoxClosesAndReports)
{
    combo.setup(20, 80, 100, 20, 0, 0, 4);
    pressButton();
    combo.editBox().sendMessage(MSG_CHAR, (KEY_ENTER << 8) | 13);
    EXPECT_FALSE(combo.isOpen());
    EXPECT_EQ(owner.args(&combo, MSG_ACTIVATE), std::vector<int>{4});
}

TEST_F(ComboBoxTest, LeavingWithTheMouseCloses)
{
    combo.setup(20, 80, 100, 20, 0, 0, 1);
    Mouse* m = createMouse();
    pressButton();
    // From the button down into the list: still inside, stays open.
    m->update(Point(50, 130), 0, 0);
    combo.handleEvent(&combo.button(), MSG_LOSTMOUSE);
    EXPECT_TRUE(combo.isOpen());
    // Out of the combo box altogether.
    m->update(Point(300, 300), 0, 0);
    combo.handleEvent(&combo.list(), MSG_LOSTMOUSE);
    EXPECT_FALSE(combo.isOpen());

    pressButton();
    combo.sendMessage(MSG_LOSTMOUSE);
    EXPECT_FALSE(combo.isOpen());
}

TEST_F(ComboBoxTest, TransitionComesFromTheSkin)
{
    Skin skin;
    skin.elements().comboAnimationType = 6;
    skin.elements().comboAnimationLength = 200;
    combo.setSkin(&skin);
    combo.sendMessage(MSG_SKINCHANGED);
    EXPECT_EQ(combo.list().animationType(), 6);
    EXPECT_EQ(combo.list().animationLength(), 200);
    combo.setup(20, 80, 100, 20, 0, 0, 1);
    combo.openList();
    EXPECT_TRUE(combo.list().testFlags(D_ANIMATING));
    combo.closeList();
    EXPECT_FALSE(combo.list().testFlags(D_ANIMATING));
    combo.setSkin(nullptr);
}

TEST_F(ComboBoxTest, EndingTheDialogClosesTheList)
{
    combo.setup(20, 80, 100, 20, 0, 0, 1);
    combo.openList();
    combo.sendMessage(MSG_END);
    EXPECT_FALSE(combo.isOpen());
    EXPECT_EQ(combo.h(), 20);
}
