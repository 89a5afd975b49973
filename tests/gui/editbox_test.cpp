// The edit box: capacity rules, the keys it takes, selection by Shift and
// by the mouse, view scrolling and the selection's look (headless Allegro,
// the built-in skin, a fake Shift key).

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/InputSource.h"
#include "gui/EditBox.h"
#include "gui/Font.h"
#include "gui/Mouse.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"
#include "tests/support/recording_dialog.h"

namespace {

const auto* const env = testkit::headlessAllegro({.asciiText = true, .colourDepth = 32, .then = [] { setGlobalSkin(new Skin("default")); }});

class FakeInput : public InputSource {
public:
    bool shiftHeld() override { return shift; }
    bool shift = false;
};

class EditBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setInputSource(&input);
        createMouse();
        box.setParent(&dialog);
        box.sendMessage(MSG_SKINCHANGED);
        box.setup(10, 20, 200, 20, 0, 0, "", 5);
    }
    void TearDown() override
    {
        destroyMouse();
        setInputSource(nullptr);
    }

    bool key(int scancode, bool shift = false)
    {
        input.shift = shift;
        const bool used = box.sendMessage(MSG_CHAR, scancode << 8) == D_USED_CHAR;
        input.shift = false;
        return used;
    }
    void type(const std::string& s)
    {
        for (unsigned char c : s)
            box.sendMessage(MSG_UCHAR, c);
    }
    std::string text() const { return box.text(); }
    void mouseAtChar(int index)
    {
        const Font& f = globalSkin()->font(box.fontIndex(0));
        const std::string head = text().substr(box.firstVisible(), index - box.firstVisible());
        mouse()->update(Point(box.x() + 4 + f.textLength(head.c_str()), box.y() + 5), 0, 0);
    }

    FakeInput input;
    testkit::RecordingDialog dialog{testkit::RecordingDialog::RecordOnly};
    EditBox box;
};

TEST_F(EditBoxTest, FullBoxRefusesMoreUntilSomethingIsDeleted)
{
    type("abcdef");
    EXPECT_EQ(text(), "abcde");
    EXPECT_TRUE(key(KEY_BACKSPACE));
    type("xy");
    EXPECT_EQ(text(), "abcdx");
    // Typing over a selection in a full box replaces it.
    key(KEY_LEFT, true);
    key(KEY_LEFT, true);
    type("Z");
    EXPECT_EQ(text(), "abcZ");
}

TEST_F(EditBoxTest, SetTextFollowsTheCapacityRules)
{
    box.setText("abcdefgh");  // keeps the capacity and cuts the text
    EXPECT_EQ(text(), "abcde");
    EXPECT_EQ(box.cursor(), 5);
    box.setText("abcdefgh", 5);  // the same capacity: cut as well
    EXPECT_EQ(text(), "abcde");
    box.setText("abcdefgh", 3);  // a new buffer takes the longer text
    EXPECT_EQ(text(), "abcdefgh");
    EXPECT_EQ(box.capacity(), 8);
    box.setText(nullptr, 0);
    EXPECT_EQ(box.capacity(), 256);

    EditBox fresh;
    fresh.sendMessage(MSG_UCHAR, 'a');  // never given a text: still takes typing
    EXPECT_STREQ(fresh.text(), "a");
    fresh.setText("abc");  // no capacity yet: 256
    EXPECT_EQ(fresh.capacity(), 256);
    fresh.setup(0, 0, 50, 20, 0, 0, "q", -7);
    EXPECT_EQ(fresh.capacity(), 256);
}

TEST_F(EditBoxTest, HugeCapacityIsALimitNotAnAllocation)
{
    // Room for the text grows as it is typed: a capacity near the int limit
    // neither overflows nor asks for gigabytes up front.
    box.setText("abc", std::numeric_limits<int>::max());
    EXPECT_EQ(box.capacity(), std::numeric_limits<int>::max());
    type("def");
    EXPECT_EQ(text(), "abcdef");
    box.setup(0, 0, 50, 20, 0, 0, "q", 400'000'000);
    EXPECT_EQ(box.capacity(), 400'000'000);
    EXPECT_EQ(text(), "q");
}

TEST_F(EditBoxTest, ShiftHomeAndEndSelectFromTheCursor)
{
    box.setText("abcd", 20);
    key(KEY_LEFT);
    EXPECT_TRUE(key(KEY_HOME, true));
    EXPECT_EQ(box.selectionStart(), 0);
    EXPECT_EQ(box.selectionEnd(), 3);
    EXPECT_EQ(box.cursor(), 0);
    key(KEY_END, true);  // the anchor stays where the selection began
    EXPECT_EQ(box.selectionStart(), 3);
    EXPECT_EQ(box.selectionEnd(), 4);
    key(KEY_LEFT, true);  // back to the anchor: nothing selected
    EXPECT_FALSE(box.selected());
    key(KEY_END, true);
    key(KEY_HOME);  // without Shift the selection is dropped
    EXPECT_FALSE(box.selected());
    EXPECT_EQ(box.cursor(), 0);
    key(KEY_LEFT);  // and the ends hold the cursor
    EXPECT_EQ(box.cursor(), 0);
}

TEST_F(EditBoxTest, BackspaceAndDeleteRemoveTheSelectionOrOneCharacter)
{
    box.setText("abcdef", 20);
    key(KEY_BACKSPACE);
    key(KEY_HOME);
    key(KEY_DEL);
    key(KEY_BACKSPACE);  // nothing before the cursor
    EXPECT_EQ(text(), "bcde");
    key(KEY_RIGHT);
    key(KEY_RIGHT, true);
    key(KEY_RIGHT, true);
    key(KEY_DEL);
    EXPECT_EQ(text(), "be");
    EXPECT_EQ(box.cursor(), 1);
    key(KEY_END, true);
    key(KEY_BACKSPACE);
    key(KEY_DEL);  // nothing at the cursor
    EXPECT_EQ(text(), "b");
}

TEST_F(EditBoxTest, EnterActivatesAndOtherKeysAreLeftToTheDialog)
{
    box.setText("abc", 20);
    key(KEY_HOME, true);
    EXPECT_TRUE(key(KEY_ENTER));
    EXPECT_EQ(dialog.count(MSG_ACTIVATE), 1);
    EXPECT_FALSE(box.selected());
    for (int sc : {KEY_UP, KEY_DOWN, KEY_TAB, KEY_ESC, KEY_F1})
        EXPECT_FALSE(key(sc)) << sc;
    EXPECT_EQ(box.sendMessage(MSG_UCHAR, 9), D_O_K);       // a control character
    EXPECT_EQ(box.sendMessage(MSG_UCHAR, 0x20AC), D_O_K);  // no Latin-1 byte for it
    EXPECT_EQ(box.sendMessage(MSG_UCHAR, 0xF5), D_USED_CHAR);
    EXPECT_EQ(text(), "\xf5" "abc");
}

TEST_F(EditBoxTest, ViewFollowsTheCursor)
{
    box.resize(60, 20);
    const std::string long_(30, 'm');
    box.setText(long_.c_str(), 50);
    EXPECT_EQ(box.firstVisible(), 0);  // a new text shows its start
    key(KEY_END);
    const Font& f = globalSkin()->font(box.fontIndex(0));
    auto width = [&](int from, int to) { return f.textLength(long_.substr(from, to - from).c_str()); };
    // The cursor is in view and the view is as far left as it can be.
    EXPECT_LE(4 + width(box.firstVisible(), 30), box.w() - 10);
    EXPECT_GT(4 + width(box.firstVisible() - 1, 30), box.w() - 10);
    key(KEY_HOME);
    EXPECT_EQ(box.firstVisible(), 0);
    key(KEY_END);
    for (int i = 0; i < 30; ++i)  // deleting from the end brings the start back
        key(KEY_BACKSPACE);
    EXPECT_EQ(box.firstVisible(), 0);
}

TEST_F(EditBoxTest, DraggingSelectsAndDoubleClickSelectsAll)
{
    box.setText("abcdefgh", 20);
    mouseAtChar(2);
    box.sendMessage(MSG_LPRESS);
    EXPECT_EQ(box.cursor(), 2);
    mouseAtChar(5);
    box.sendMessage(MSG_MOUSEMOVE, 10, 0);
    EXPECT_EQ(box.selectionStart(), 2);
    EXPECT_EQ(box.selectionEnd(), 5);
    mouseAtChar(1);  // back past the start
    box.sendMessage(MSG_MOUSEMOVE, -10, 0);
    EXPECT_EQ(box.selectionStart(), 1);
    EXPECT_EQ(box.selectionEnd(), 2);
    mouseAtChar(6);
    box.sendMessage(MSG_LRELEASE);
    EXPECT_EQ(box.cursor(), 6);
    EXPECT_EQ(box.selectionStart(), 2);
    mouseAtChar(0);  // moving without the button does nothing
    box.sendMessage(MSG_MOUSEMOVE, -5, 0);
    EXPECT_EQ(box.selectionStart(), 2);

    mouseAtChar(3);  // a click without moving leaves no selection
    box.sendMessage(MSG_LPRESS);
    box.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(box.selected());
    EXPECT_EQ(box.cursor(), 3);

    // The double click comes while the second press is down; the release
    // somewhere else keeps the whole text selected.
    box.sendMessage(MSG_LPRESS);
    box.sendMessage(MSG_DCLICK);
    mouseAtChar(4);
    box.sendMessage(MSG_LRELEASE);
    EXPECT_EQ(box.selectionStart(), 0);
    EXPECT_EQ(box.selectionEnd(), 8);
}

int countColour(BITMAP* b, int colour)
{
    int n = 0;
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x)
            n += getpixel(b, x, y) == colour;
    return n;
}

TEST_F(EditBoxTest, SelectionAndCursorLook)
{
    Skin& skin = *globalSkin();
    skin.colors().select = makecol(1, 2, 250);
    skin.colors().deselect = makecol(250, 2, 1);
    const int cursorColour = makecol(3, 200, 3);
    box.setFontColor(Widget::Focused, cursorColour);
    box.setText("abcdef", 20);
    key(KEY_HOME, true);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(box.w(), box.h()));
    auto paint = [&] {
        clear_to_color(canvas.bitmap(), 0);
        box.draw(canvas);
    };
    paint();  // without the focus: the deselect colour and no cursor
    EXPECT_EQ(countColour(canvas.bitmap(), skin.colors().select), 0);
    EXPECT_GT(countColour(canvas.bitmap(), skin.colors().deselect), 0);
    EXPECT_EQ(countColour(canvas.bitmap(), cursorColour), 0);

    box.setFlag(D_GOTFOCUS);
    paint();
    EXPECT_GT(countColour(canvas.bitmap(), skin.colors().select), 0);
    EXPECT_EQ(countColour(canvas.bitmap(), skin.colors().deselect), 0);
    // The cursor: one font high, one pixel left of character 0.
    const int fh = skin.font(box.fontIndex(Widget::Focused)).textHeight();
    const int y = box.h() / 2 - fh / 2 + 1;
    EXPECT_EQ(getpixel(canvas.bitmap(), 3, y), cursorColour);
    EXPECT_EQ(getpixel(canvas.bitmap(), 3, y + fh - 1), cursorColour);
    skin.resetColors();
}

}  // namespace
