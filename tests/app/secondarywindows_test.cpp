// The model parameters and information windows as the main window finds
// them after a popup: what the boxes hold untouched, and that the layout
// keeps its fixed-size lines.

#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdlib>
#include <string>

#include "app/MessageTexts.h"
#include "app/SecondaryWindows.h"
#include "gui/ListBox.h"
#include "gui/Skin.h"

#include "tests/support/headless.h"

namespace {

const auto* const environment = testkit::headlessAllegro({.colourDepth = 16, .then = [] { setGlobalSkin(new Skin("default")); }});

TEST(ModelParametersWindow, UntouchedBoxesGivePatch32AndThreshold25)
{
    ModelParametersWindow window;
    EXPECT_STREQ(window.title(), "Mudeli parameetrid");
    EXPECT_EQ(textToInt(window.patchSizeBox.text()), 32);
    EXPECT_EQ(thresholdFromText(window.thresholdBox.text()), 25);
    EXPECT_EQ(window.thresholdBox.capacity(), 256);
    EXPECT_TRUE(window.buildButton.exits());
}

TEST(ModelParametersWindow, PatchSizeComesOnlyFromTheList)
{
    ModelParametersWindow window;
    ListBox& list = window.patchSizeBox.list();
    ASSERT_EQ(list.itemCount(), 5);
    int expected = 16;
    for (int i = 0; i < list.itemCount(); ++i, expected *= 2)
        EXPECT_EQ(textToInt(list.item(i)->text().c_str()), expected);
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_TRUE(window.patchSizeBox.editBox().disabled());
    EXPECT_FALSE(window.thresholdBox.disabled());
    EXPECT_EQ(window.patchSizeBox.listHeight(), 64);
}

TEST(ModelParametersWindow, EveryWindowStartsFromTheDefaults)
{
    {
        ModelParametersWindow first;
        first.thresholdBox.setText("40");
        first.patchSizeBox.editBox().setText("256");
    }
    ModelParametersWindow second;
    EXPECT_STREQ(second.thresholdBox.text(), "25");
    EXPECT_STREQ(second.patchSizeBox.text(), "32");
}

TEST(InformationWindow, CentredLinesKeepTheirWidth)
{
    InformationWindow window;
    EXPECT_STREQ(window.title(), "Informatsioon");
    EXPECT_STREQ(window.nameLine.text(), "Voduzediruzaduruvo 'Vaskur'");
    EXPECT_EQ(window.nameLine.alignment(), Label::AlignCentre);
    EXPECT_EQ(window.nameLine.w(), 330);
    EXPECT_EQ(window.nameLine.h(), 16);
    int previousY = window.nameLine.y();
    for (const Label& line : window.creditLines) {
        EXPECT_GT(std::string(line.text()).size(), 0u);
        EXPECT_EQ(line.w(), 330);
        EXPECT_EQ(line.alignment(), Label::AlignCentre);
        EXPECT_GT(line.y(), previousY);  // top to bottom
        previousY = line.y();
    }
    EXPECT_TRUE(window.closeButton.exits());
}

} // namespace
