// The widgets of the model parameters window (patch size list, threshold
// box) and of the information window.
#include "app/SecondaryWindows.h"

#include "app/MessageTexts.h"
#include "gui/ListBox.h"

#include <iterator>

namespace {
const char* const patchSizes[] = {"16", "32", "64", "128", "256"};
constexpr int defaultPatchSizeIndex = 1;  // "32"
constexpr int patchSizeListHeight = 64;
} // namespace

ModelParametersWindow::ModelParametersWindow()
{
    setup(200, 150, 400, 200, 0, 0);
    setTitle(texts::parametersTitle);

    panel.setup(4, 4, 392, 192, 0, 0);
    // The backdrop takes the client area's size when the window starts.
    patchSizeCaption.setup(20, 60, 150, 20, 0, 0, texts::patchSizeCaption);

    // The items go in before setup, which selects among them.
    for (int i = 0; i < static_cast<int>(std::size(patchSizes)); ++i)
        patchSizeBox.list().insertItem(patchSizes[i], i);
    patchSizeBox.setup(20, 80, 100, 20, 0, 0, defaultPatchSizeIndex);
    patchSizeBox.editBox().disable();  // only the list may change the size
    patchSizeBox.setListHeight(patchSizeListHeight);

    thresholdCaption.setup(20, 15, 150, 20, 0, 0, texts::thresholdCaption);
    thresholdBox.setup(20, 35, 100, 20, 0, 0, texts::defaultThreshold, -1);
    buildButton.setup(150, 115, 200, 50, 0, D_EXIT, texts::buildModel);

    add(&panel);
    add(&background);
    add(&patchSizeCaption);
    add(&patchSizeBox);
    add(&thresholdCaption);
    add(&thresholdBox);
    add(&buildButton);
}

ModelParametersWindow::~ModelParametersWindow() = default;

InformationWindow::InformationWindow()
{
    setup(200, 150, 350, 200, 0, 0);
    setTitle(texts::informationTitle);

    // Fixed-size, centred lines: the flag goes before setup sizes them.
    nameLine.clearFlag(D_AUTOSIZE);
    nameLine.setup(10, 10, 330, 16, 0, 0, texts::programName, Label::AlignCentre);
    const char* const credits[creditLineCount] = {texts::creditLine1, texts::creditLine2,
                                                  texts::creditLine3, texts::creditLine4};
    const int creditY[creditLineCount] = {40, 56, 72, 92};
    for (int i = 0; i < creditLineCount; ++i) {
        creditLines[i].clearFlag(D_AUTOSIZE);
        creditLines[i].setup(10, creditY[i], 330, 16, 0, 0, credits[i], Label::AlignCentre);
    }
    closeButton.setup(100, 125, 150, 40, 0, D_EXIT, texts::closeWindow);

    add(&closeButton);
    add(&nameLine);
    for (Label& line : creditLines)
        add(&line);
}

InformationWindow::~InformationWindow() = default;
