// Buttons, hyperlinks and check boxes: mouse press and release, shortcut
// presses held for a number of logic ticks, auto-repeat, toggles and looks
// (headless Allegro, memory bitmaps, the built-in skin).

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/Dialog.h"
#include "gui/Font.h"
#include "gui/Hyperlink.h"
#include "gui/Mouse.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

namespace {

class AllegroEnv : public ::testing::Environment {
public:
    void SetUp() override
    {
        set_uformat(U_ASCII);
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
        set_color_depth(32);
        setGlobalSkin(new Skin("default"));
    }
};

const auto* const env = ::testing::AddGlobalTestEnvironment(new AllegroEnv);

// A dialog that counts the activations it hears of.
class Recorder : public Dialog {
public:
    void handleEvent(Widget* widget, int message, int a1, int) override
    {
        if (message == MSG_ACTIVATE) {
            activations.push_back(widget);
            arguments.push_back(a1);
        }
    }
    std::vector<Widget*> activations;
    std::vector<int> arguments;
};

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedRate = theSettings.logicFrameRate;
        theSettings.logicFrameRate = 50;
        createMouse();
        dialog.shape(0, 0, 300, 200);
        button.setParent(&dialog);
        button.sendMessage(MSG_SKINCHANGED);
        button.setup(20, 30, 80, 24, 'o', 0, "&Ok");
        mouseAt(40, 40);
    }
    void TearDown() override
    {
        destroyMouse();
        theSettings.logicFrameRate = savedRate;
    }

    static void mouseAt(int x, int y) { mouse()->update(Point(x, y), 0, 0); }

    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            button.sendMessage(MSG_TICK);
    }

    int savedRate = 50;
    Recorder dialog;
    Button button;
};

TEST_F(ButtonTest, ClickInsideActivatesOnceAndComesBackUp)
{
    button.sendMessage(MSG_LPRESS);
    EXPECT_TRUE(button.selected());
    EXPECT_TRUE(button.testFlags(D_PRESSED));
    EXPECT_TRUE(dialog.activations.empty());  // nothing until the release

    button.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(button.selected());
    EXPECT_FALSE(button.testFlags(D_PRESSED));
    ASSERT_EQ(dialog.activations.size(), 1u);
    EXPECT_EQ(dialog.activations[0], &button);

    // The edge of the rectangle still counts as inside.
    mouseAt(button.x2(), button.y2());
    button.sendMessage(MSG_LPRESS);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_EQ(dialog.activations.size(), 2u);
}

TEST_F(ButtonTest, ReleaseOutsideTakesThePressBack)
{
    button.sendMessage(MSG_LPRESS);
    mouseAt(button.x2() + 1, 40);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(button.selected());
    EXPECT_FALSE(button.testFlags(D_PRESSED));
    EXPECT_TRUE(dialog.activations.empty());

    // A toggle button keeps the state it had before the press.
    button.setFlag(D_TOGGLE);
    button.select();
    mouseAt(40, 40);
    button.sendMessage(MSG_LPRESS);
    EXPECT_FALSE(button.selected());
    mouseAt(40, button.y() - 1);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_TRUE(button.selected());
    EXPECT_TRUE(dialog.activations.empty());
}

TEST_F(ButtonTest, ReleaseWithoutPressDoesNothing)
{
    button.sendMessage(MSG_LRELEASE);
    mouseAt(0, 0);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(button.selected());
    EXPECT_TRUE(dialog.activations.empty());
}

TEST_F(ButtonTest, ToggleButtonStaysDownUntilClickedAgain)
{
    button.setFlag(D_TOGGLE);
    button.sendMessage(MSG_LPRESS);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_TRUE(button.selected());
    button.sendMessage(MSG_LPRESS);
    button.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(button.selected());
    EXPECT_EQ(dialog.activations.size(), 2u);
}

TEST_F(ButtonTest, ShortcutPressIsHeldForAFixedNumberOfTicks)
{
    struct Case {
        int rate, ticks;
    };
    for (Case c : {Case{50, 7}, Case{100, 15}, Case{60, 9}, Case{5, 1}}) {
        theSettings.logicFrameRate = c.rate;
        dialog.activations.clear();
        EXPECT_EQ(Button::keyHoldTicks(), c.ticks) << c.rate;

        button.sendMessage(MSG_KEY);
        for (int t = 1; t < c.ticks; ++t) {
            tick();
            // A second press while one is pending changes nothing.
            button.sendMessage(MSG_KEY);
            ASSERT_TRUE(button.selected()) << c.rate << " tick " << t;
            ASSERT_TRUE(dialog.activations.empty()) << c.rate << " tick " << t;
        }
        tick();
        EXPECT_FALSE(button.selected()) << c.rate;
        EXPECT_FALSE(button.testFlags(D_PRESSED)) << c.rate;
        EXPECT_EQ(dialog.activations.size(), 1u) << c.rate;
        tick(20);
        EXPECT_EQ(dialog.activations.size(), 1u) << c.rate;
    }
}

TEST_F(ButtonTest, ShortcutReleaseDoesNotCareWhereTheMouseIs)
{
    mouseAt(-500, -500);
    button.sendMessage(MSG_KEY);
    tick(Button::keyHoldTicks());
    EXPECT_EQ(dialog.activations.size(), 1u);
}

TEST_F(ButtonTest, AutoRepeatFiresWhileHeldAndNotOnRelease)
{
    button.setFlag(D_AUTOREPEAT);
    EXPECT_EQ(Button::repeatTicks(), 3);
    button.sendMessage(MSG_LPRESS);
    std::vector<int> firedAt;
    for (int t = 1; t <= 12; ++t) {
        const auto before = dialog.activations.size();
        tick();
        if (dialog.activations.size() > before)
            firedAt.push_back(t);
    }
    EXPECT_EQ(firedAt, (std::vector<int>{1, 4, 7, 10}));

    button.sendMessage(MSG_LRELEASE);
    EXPECT_EQ(dialog.activations.size(), 4u);
    EXPECT_FALSE(button.selected());
    tick(10);
    EXPECT_EQ(dialog.activations.size(), 4u);
}

TEST_F(ButtonTest, EndOfTheDialogTakesAHeldPressBack)
{
    button.sendMessage(MSG_KEY);
    ASSERT_TRUE(button.selected());
    button.sendMessage(MSG_END);
    EXPECT_FALSE(button.selected());
    EXPECT_EQ(button.keyHoldCounter(), 0);
    tick(20);
    EXPECT_TRUE(dialog.activations.empty());
}

TEST_F(ButtonTest, TakesFocusAndReadsTheButtonLook)
{
    EXPECT_EQ(button.sendMessage(MSG_WANTFOCUS), D_WANTFOCUS);
    EXPECT_EQ(button.bitmapIndex(), Skin::BUTTON);
    EXPECT_EQ(button.sampleIndex(Skin::SAMPLE_ACTIVATE), Skin::SAMPLE_ACTIVATE);
    EXPECT_EQ(button.sampleIndex(Skin::SAMPLE_GOTFOCUS), Skin::SAMPLE_GOTFOCUS);
    EXPECT_EQ(button.sampleIndex(Skin::SAMPLE_LOSTFOCUS), Skin::SAMPLE_LOSTFOCUS);
    EXPECT_EQ(button.sampleIndex(Skin::SAMPLE_KEY), -1);
    for (int s = 0; s < Widget::stateCount; ++s)
        EXPECT_EQ(button.fontColor(s), globalSkin()->textColor(Skin::TYPE_BUTTON, s)) << s;
    EXPECT_FALSE(button.testFlags(D_AUTOSIZE));
}

// --- Looks -------------------------------------------------------------------

// Bounding box of the pixels of one colour.
struct Ink {
    int x1 = 1 << 20, y1 = 1 << 20, x2 = -1, y2 = -1;
    bool found() const { return x2 >= 0; }
};

Ink inkOf(BITMAP* b, int colour, int fromX = 0, int fromY = 0, int toX = -1, int toY = -1)
{
    Ink ink;
    if (toX < 0)
        toX = b->w;
    if (toY < 0)
        toY = b->h;
    for (int y = fromY; y < toY; ++y)
        for (int x = fromX; x < toX; ++x)
            if (getpixel(b, x, y) == colour) {
                ink.x1 = std::min(ink.x1, x);
                ink.y1 = std::min(ink.y1, y);
                ink.x2 = std::max(ink.x2, x);
                ink.y2 = std::max(ink.y2, y);
            }
    return ink;
}

TEST_F(ButtonTest, SelectedCaptionMovesByTheDisplacement)
{
    const int colour = makecol(255, 0, 255);
    for (int s = 0; s < Widget::stateCount; ++s)
        button.setFontColor(s, colour);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(button.w(), button.h()));
    clear_to_color(canvas.bitmap(), 0);
    button.draw(canvas);
    const Ink up = inkOf(canvas.bitmap(), colour);
    ASSERT_TRUE(up.found());

    button.select();
    clear_to_color(canvas.bitmap(), 0);
    button.draw(canvas);
    const Ink down = inkOf(canvas.bitmap(), colour);
    const int d = globalSkin()->elements().buttonDisplacement;
    EXPECT_EQ(down.x1, up.x1 + d);
    EXPECT_EQ(down.y1, up.y1 + d);
    // Centred: as much room left as right, give or take the pixel the
    // caption is moved left by.
    EXPECT_NEAR(up.x1, button.w() - 1 - up.x2, 3);
}

TEST_F(ButtonTest, FocusedButtonDrawsTheDottedRectangle)
{
    const int colour = makecol(0, 255, 255);
    for (int s = 0; s < Widget::stateCount; ++s)
        button.setFontColor(s, colour);
    button.setText("");
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(button.w(), button.h()));

    clear_to_color(canvas.bitmap(), 0);
    button.draw(canvas);
    EXPECT_FALSE(inkOf(canvas.bitmap(), colour).found());

    button.setFlag(D_GOTFOCUS);
    clear_to_color(canvas.bitmap(), 0);
    button.draw(canvas);
    const Ink dots = inkOf(canvas.bitmap(), colour);
    EXPECT_EQ(dots.x1, 3);
    EXPECT_EQ(dots.y1, 3);
    EXPECT_EQ(dots.x2, button.w() - 3);
    EXPECT_EQ(dots.y2, button.h() - 3);

    globalSkin()->elements().dottedRect = false;
    clear_to_color(canvas.bitmap(), 0);
    button.draw(canvas);
    globalSkin()->elements().dottedRect = true;
    EXPECT_FALSE(inkOf(canvas.bitmap(), colour).found());
}

TEST_F(ButtonTest, AutosizeButtonTakesOneFrameOfItsBitmap)
{
    button.setFlag(D_AUTOSIZE);
    button.updateSize();
    const Bitmap& b = globalSkin()->bitmap(Skin::BUTTON);
    EXPECT_EQ(button.w(), b.width());
    EXPECT_EQ(button.h(), b.height() / 4);
}

// --- Hyperlink ---------------------------------------------------------------

TEST_F(ButtonTest, HyperlinkSizesToItsCaptionAndNeverToggles)
{
    Hyperlink link;
    link.setParent(&dialog);
    link.setup(5, 5, 200, 50, 0, D_TOGGLE | D_AUTOREPEAT, "Vaata &siia");
    link.sendMessage(MSG_SKINCHANGED);
    const Font& f = globalSkin()->font(link.fontIndex(0));
    EXPECT_EQ(link.w(), f.captionLength("Vaata &siia") + 3);
    EXPECT_EQ(link.h(), f.textHeight() + 2);
    EXPECT_FALSE(link.testFlags(D_TOGGLE));
    EXPECT_FALSE(link.testFlags(D_AUTOREPEAT));
    EXPECT_EQ(link.backColor(), globalSkin()->colors().face);

    // Size does not creep up with repeated skin changes.
    link.sendMessage(MSG_SKINCHANGED);
    EXPECT_EQ(link.w(), f.captionLength("Vaata &siia") + 3);

    mouseAt(link.x() + 2, link.y() + 2);
    link.sendMessage(MSG_LPRESS);
    link.sendMessage(MSG_LRELEASE);
    EXPECT_FALSE(link.selected());
    ASSERT_EQ(dialog.activations.size(), 1u);
    EXPECT_EQ(dialog.activations[0], &link);
}

TEST_F(ButtonTest, HyperlinkIsUnderlinedAndShowsTheSelectCursor)
{
    Hyperlink link;
    link.setParent(&dialog);
    link.sendMessage(MSG_SKINCHANGED);
    link.setup(5, 5, 0, 0, 0, 0, "link");
    link.sendMessage(MSG_SKINCHANGED);
    const int colour = makecol(0, 0, 255);
    link.setFontColor(0, colour);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(link.w(), link.h()));
    link.draw(canvas);
    for (int x = 1; x <= link.w() - 2; ++x)
        ASSERT_EQ(getpixel(canvas.bitmap(), x, link.h() - 2), colour) << x;
    EXPECT_EQ(getpixel(canvas.bitmap(), 0, link.h() - 1), globalSkin()->colors().face);

    link.sendMessage(MSG_GOTMOUSE);
    EXPECT_EQ(mouse()->cursor(), &globalSkin()->cursor(Skin::MOUSE_SELECT));
    EXPECT_TRUE(link.hasMouse());
    link.sendMessage(MSG_LOSTMOUSE);
    EXPECT_EQ(mouse()->cursor(), &globalSkin()->cursor(Skin::MOUSE_NORMAL));
    EXPECT_FALSE(link.hasMouse());
}

}  // namespace
