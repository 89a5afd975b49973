// What a user sees of the main window and of the two popped-up windows:
// every widget on the screen, none covering another, in the order the eye
// reads them, with its text and flags, and the order the widgets were added
// (back to front), read from the built objects themselves.

#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
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

// The program's window as gui.cfg sets it (800 x 600), the size the windows
// are laid out for.
const Rect programWindow(0, 0, 800, 600);

// A widget's rectangle relative to its parent.
Rect placeOf(const Widget& widget)
{
    return Rect(widget.relativePos(), Point(widget.w(), widget.h()));
}

// What a user sees of a set of siblings: each one is there (not empty), lies
// wholly inside `area` (parent coordinates) and covers none of the others.
void expectVisibleApart(const std::vector<const Widget*>& widgets, const Rect& area)
{
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const Rect r = placeOf(*widgets[i]);
        SCOPED_TRACE(::testing::Message() << "widget " << i << " at " << r.x << "," << r.y << " " << r.w << "x" << r.h);
        EXPECT_GT(r.w, 0);
        EXPECT_GT(r.h, 0);
        EXPECT_TRUE(r.x >= area.x && r.y >= area.y && r.x2() <= area.x2() && r.y2() <= area.y2()) << "outside";
        for (std::size_t j = i + 1; j < widgets.size(); ++j)
            EXPECT_FALSE(r.intersects(placeOf(*widgets[j]))) << "covers widget " << j;
    }
}

// The widgets stand one below the other in this order.
void expectTopToBottom(const std::vector<const Widget*>& widgets)
{
    for (std::size_t i = 1; i < widgets.size(); ++i)
        EXPECT_LE(placeOf(*widgets[i - 1]).y2(), placeOf(*widgets[i]).y) << "widget " << i;
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
        // Everything on the screen, nothing covering anything else; the
        // map view takes a 513-sample map at one pixel a sample.
        const std::vector<const Widget*> commands = {&d.loadButton, &d.clearButton, &d.heightMapButton,
            &d.modelButton, &d.vertexButton, &d.graphButton, &d.searchButton, &d.quickSearchButton, &d.exitButton};
        std::vector<const Widget*> shown = {&d.mapView, &d.titleButton, &d.triangleCaption, &d.triangleCount,
            &d.vertexCaption, &d.vertexCount, &d.edgeCaption, &d.edgeCount, &d.messageLine};
        shown.insert(shown.end(), commands.begin(), commands.end());
        expectVisibleApart(shown, programWindow);
        EXPECT_GE(d.mapView.w(), 513);
        EXPECT_GE(d.mapView.h(), 513);

        // On the right, under the title: the three counters, each on the row
        // of its caption and right of it, then the commands in one column of
        // equal buttons, in the order they are listed; the message line
        // runs along the bottom under the map and the column.
        const Rect picture = placeOf(d.mapView);
        std::vector<const Widget*> column = {&d.titleButton, &d.triangleCaption, &d.vertexCaption, &d.edgeCaption};
        column.insert(column.end(), commands.begin(), commands.end());
        expectTopToBottom(column);
        for (const Widget* w : column)
            EXPECT_GE(placeOf(*w).x, picture.x2());
        using Row = std::pair<const Label*, const Label*>;
        for (auto [caption, count] : std::initializer_list<Row>{
                 {&d.triangleCaption, &d.triangleCount}, {&d.vertexCaption, &d.vertexCount}, {&d.edgeCaption, &d.edgeCount}}) {
            EXPECT_EQ(count->relativePos().y, caption->relativePos().y);
            EXPECT_GE(count->relativePos().x, placeOf(*caption).x2());
        }
        for (const Widget* b : commands) {
            EXPECT_EQ(b->relativePos().x, d.loadButton.relativePos().x);
            EXPECT_EQ(b->w(), d.loadButton.w());
            EXPECT_EQ(b->h(), d.loadButton.h());
        }
        for (const Widget* w : shown) {
            if (w != &d.messageLine) {
                EXPECT_LE(placeOf(*w).y2(), d.messageLine.relativePos().y);
            }
        }

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
    ASSERT_NE(w.clientArea(), nullptr);
    const Widget& client = *w.clientArea();

    // On the screen; inside, the two questions top to bottom, each box under
    // its caption, and the button below them, nothing covering anything
    // else, all on the panel.
    expectVisibleApart({&w}, programWindow);
    const Rect inside(0, 0, client.w(), client.h());
    expectVisibleApart({&w.patchSizeCaption, &w.patchSizeBox, &w.thresholdCaption, &w.thresholdBox, &w.buildButton},
        inside);
    expectTopToBottom({&w.thresholdCaption, &w.thresholdBox, &w.patchSizeCaption, &w.patchSizeBox});
    EXPECT_EQ(w.thresholdBox.relativePos().x, w.thresholdCaption.relativePos().x);
    EXPECT_EQ(w.patchSizeBox.relativePos().x, w.patchSizeCaption.relativePos().x);
    EXPECT_GT(placeOf(w.buildButton).y2(), placeOf(w.patchSizeBox).y2());
    const Rect panel = placeOf(w.panel);
    for (const Widget* on : std::initializer_list<const Widget*>{&w.patchSizeCaption, &w.patchSizeBox,
             &w.thresholdCaption, &w.thresholdBox, &w.buildButton}) {
        const Rect r = placeOf(*on);
        EXPECT_TRUE(r.x >= panel.x && r.y >= panel.y && r.x2() <= panel.x2() && r.y2() <= panel.y2());
    }
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
    ASSERT_NE(w.clientArea(), nullptr);
    const Widget& client = *w.clientArea();

    // On the screen; inside, the lines top to bottom and the button under
    // them, all within the client area and apart.
    expectVisibleApart({&w}, programWindow);
    const std::vector<const Widget*> shown = {&w.nameLine, &w.creditLines[0], &w.creditLines[1], &w.creditLines[2],
        &w.creditLines[3], &w.closeButton};
    expectVisibleApart(shown, Rect(0, 0, client.w(), client.h()));
    expectTopToBottom(shown);
    EXPECT_STREQ(w.closeButton.text(), "Sulge aken");
    EXPECT_FALSE(w.nameLine.testFlags(D_AUTOSIZE));
    for (const Label& line : w.creditLines)
        EXPECT_FALSE(line.testFlags(D_AUTOSIZE));

    const std::vector<const Widget*> order = {&w.closeButton,    &w.nameLine,       &w.creditLines[0],
                                              &w.creditLines[1], &w.creditLines[2], &w.creditLines[3]};
    EXPECT_EQ(ownChildren(*w.clientArea(), order), order);
}

} // namespace
