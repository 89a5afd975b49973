// Where every widget of the main window and of the two popped-up windows
// stands, what it says, which flags it carries and in which order it was
// added (back to front), read from the built objects themselves.

#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/MainDialog.h"
#include "app/SecondaryWindows.h"
#include "app/Startup.h"
#include "gui/Skin.h"
#include "route/ModelBuild.h"
#include "terrain/HeightMap.h"
#include "terrain/PatchGrid.h"

#include "tests/app/maindialog_seam.h"
#include "tests/support/headless.h"

namespace {

const auto* const environment = testkit::headlessAllegro({.colourDepth = 16, .then = [] { setGlobalSkin(new Skin("default")); }});

struct Placement {
    const Widget* widget;
    int x, y, w, h;  // relative to the parent; w, h < 0: not checked
};

void expectPlaced(const std::vector<Placement>& placements)
{
    for (const Placement& p : placements) {
        SCOPED_TRACE(::testing::Message() << "widget at " << p.x << "," << p.y);
        EXPECT_EQ(p.widget->relativePos().x, p.x);
        EXPECT_EQ(p.widget->relativePos().y, p.y);
        if (p.w >= 0) {
            EXPECT_EQ(p.widget->w(), p.w);
            EXPECT_EQ(p.widget->h(), p.h);
        }
    }
}

// The children of `dialog` that are in `expected`, in the dialog's order.
std::vector<const Widget*> ownChildren(const Dialog& dialog, const std::vector<const Widget*>& expected)
{
    std::vector<const Widget*> found;
    for (const Widget* child : dialog.children())
        if (std::find(expected.begin(), expected.end(), child) != expected.end())
            found.push_back(child);
    return found;
}

TEST(MainWindowLayout, WidgetsStandWhereTheLayoutPutsThemWithTheirTexts)
{
    HeightMap map;
    PatchGrid grid;
    theHeightMap = &map;
    thePatchGrid = &grid;
    {
        OpenMainDialog d;
        expectPlaced({{&d.mapView, 10, 10, 513, 513},
                      {&d.titleButton, 550, 10, -1, -1},
                      {&d.triangleCaption, 550, 80, -1, -1},
                      {&d.triangleCount, 725, 80, 55, 20},
                      {&d.vertexCaption, 550, 100, -1, -1},
                      {&d.vertexCount, 725, 100, 55, 20},
                      {&d.edgeCaption, 550, 120, -1, -1},
                      {&d.edgeCount, 725, 120, 55, 20},
                      {&d.loadButton, 550, 140, 230, 30},
                      {&d.clearButton, 550, 185, 230, 30},
                      {&d.heightMapButton, 550, 230, 230, 30},
                      {&d.modelButton, 550, 275, 230, 30},
                      {&d.vertexButton, 550, 320, 230, 30},
                      {&d.graphButton, 550, 365, 230, 30},
                      {&d.searchButton, 550, 410, 230, 30},
                      {&d.quickSearchButton, 550, 455, 230, 30},
                      {&d.exitButton, 550, 500, 230, 30},
                      {&d.messageLine, 10, 540, 780, 50}});

        EXPECT_STREQ(d.titleButton.text(), "* Vaskur *");
        EXPECT_STREQ(d.triangleCaption.text(), "Kolmnurki mudelis:");
        EXPECT_STREQ(d.vertexCaption.text(), "Graafi tippe:");
        EXPECT_STREQ(d.edgeCaption.text(), "Graafi servi:");
        EXPECT_STREQ(d.loadButton.text(), "LOE KAART");
        EXPECT_STREQ(d.clearButton.text(), "T\xdcHJENDA");
        EXPECT_STREQ(d.heightMapButton.text(), "K\xd5RGUSKAART");
        EXPECT_STREQ(d.modelButton.text(), "MUDEL");
        EXPECT_STREQ(d.vertexButton.text(), "GRAAFI TIPUD");
        EXPECT_STREQ(d.graphButton.text(), "GRAAF");
        EXPECT_STREQ(d.searchButton.text(), "OTSI");
        EXPECT_STREQ(d.quickSearchButton.text(), "KIIROTSING");
        EXPECT_STREQ(d.exitButton.text(), "V\xc4LJU");

        // Captions fit their text; counters keep their box, right-aligned.
        for (const Label* caption : {&d.triangleCaption, &d.vertexCaption, &d.edgeCaption})
            EXPECT_TRUE(caption->testFlags(D_AUTOSIZE));
        for (const Label* counter : {&d.triangleCount, &d.vertexCount, &d.edgeCount}) {
            EXPECT_FALSE(counter->testFlags(D_AUTOSIZE));
            EXPECT_EQ(counter->alignment(), Label::AlignRight);
        }
        EXPECT_TRUE(d.mapView.testFlags(D_AUTOSIZE));
        // Only the exit button closes the window; only the message line is off.
        for (const Button* b : {&d.loadButton, &d.clearButton, &d.heightMapButton, &d.modelButton,
                                &d.vertexButton, &d.graphButton, &d.searchButton, &d.quickSearchButton}) {
            EXPECT_FALSE(b->exits());
            EXPECT_FALSE(b->disabled());
        }
        EXPECT_TRUE(d.exitButton.exits());
        EXPECT_TRUE(d.messageLine.disabled());
        EXPECT_FALSE(d.messageLine.exits());

        const std::vector<const Widget*> order = {
            &d.background,   &d.mapView,      &d.titleButton,     &d.triangleCaption, &d.triangleCount,
            &d.vertexCaption, &d.vertexCount, &d.edgeCaption,     &d.edgeCount,       &d.loadButton,
            &d.clearButton,  &d.heightMapButton, &d.modelButton,  &d.vertexButton,    &d.graphButton,
            &d.exitButton,   &d.searchButton, &d.quickSearchButton, &d.messageLine};
        EXPECT_EQ(ownChildren(d, order), order);
        EXPECT_EQ(d.children().size(), order.size());
    }
    releaseModelAndGraph(grid);
    theHeightMap = nullptr;
    thePatchGrid = nullptr;
}

TEST(ParametersWindowLayout, WidgetsStandInTheClientAreaInTheirOrder)
{
    ModelParametersWindow w;
    EXPECT_EQ(w.relativePos().x, 200);
    EXPECT_EQ(w.relativePos().y, 150);
    EXPECT_EQ(w.w(), 400);
    EXPECT_EQ(w.h(), 200);
    ASSERT_NE(w.clientArea(), nullptr);

    expectPlaced({{&w.panel, 4, 4, 392, 192},
                  {&w.patchSizeCaption, 20, 60, -1, -1},
                  {&w.patchSizeBox, 20, 80, 100, 20},
                  {&w.thresholdCaption, 20, 15, -1, -1},
                  {&w.thresholdBox, 20, 35, 100, 20},
                  {&w.buildButton, 150, 115, 200, 50}});
    EXPECT_STREQ(w.patchSizeCaption.text(), "\xdche maastiku lapi suurus:");
    EXPECT_STREQ(w.thresholdCaption.text(), "Kolmnurga poolitamiseks n\xf5utav vahe:");
    EXPECT_STREQ(w.buildButton.text(), "Koosta mudel");
    EXPECT_TRUE(w.patchSizeCaption.testFlags(D_AUTOSIZE));
    EXPECT_TRUE(w.thresholdCaption.testFlags(D_AUTOSIZE));

    for (const Widget* child : {static_cast<const Widget*>(&w.panel), static_cast<const Widget*>(&w.buildButton)})
        EXPECT_EQ(child->parent(), w.clientArea());
    const std::vector<const Widget*> order = {&w.panel,        &w.background,       &w.patchSizeCaption,
                                              &w.patchSizeBox, &w.thresholdCaption, &w.thresholdBox,
                                              &w.buildButton};
    EXPECT_EQ(ownChildren(*w.clientArea(), order), order);
}

TEST(InformationWindowLayout, CloseButtonFirstThenTheLinesTopToBottom)
{
    InformationWindow w;
    EXPECT_EQ(w.relativePos().x, 200);
    EXPECT_EQ(w.relativePos().y, 150);
    EXPECT_EQ(w.w(), 350);
    EXPECT_EQ(w.h(), 200);
    ASSERT_NE(w.clientArea(), nullptr);

    expectPlaced({{&w.nameLine, 10, 10, 330, 16},
                  {&w.creditLines[0], 10, 40, 330, 16},
                  {&w.creditLines[1], 10, 56, 330, 16},
                  {&w.creditLines[2], 10, 72, 330, 16},
                  {&w.creditLines[3], 10, 92, 330, 16},
                  {&w.closeButton, 100, 125, 150, 40}});
    EXPECT_STREQ(w.closeButton.text(), "Sulge aken");
    EXPECT_FALSE(w.nameLine.testFlags(D_AUTOSIZE));
    for (const Label& line : w.creditLines)
        EXPECT_FALSE(line.testFlags(D_AUTOSIZE));

    const std::vector<const Widget*> order = {&w.closeButton,    &w.nameLine,       &w.creditLines[0],
                                              &w.creditLines[1], &w.creditLines[2], &w.creditLines[3]};
    EXPECT_EQ(ownChildren(*w.clientArea(), order), order);
}

} // namespace
