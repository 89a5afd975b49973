// The two small windows the main window (app/MainDialog.cpp) pops up over
// itself: the model parameters asked for after every successful map load, and
// the program information shown when the title banner is clicked. Both are
// built on the stack of the command that shows them, run with popup and
// destroyed after.
#pragma once

#include "gui/Backdrop.h"
#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "gui/Window.h"

// Patch size (a list of 16 to 256, "32" chosen) and split threshold (free
// text, "25"). The window gives no result of its own: the caller reads the
// two boxes after it has closed. "Koosta mudel", Esc and the close icon all
// just close it.
class ModelParametersWindow : public Window {
public:
    ModelParametersWindow();
    ~ModelParametersWindow() override;

    Panel panel;
    Backdrop background;
    Label patchSizeCaption;
    ComboBox patchSizeBox;
    Label thresholdCaption;
    EditBox thresholdBox;
    Button buildButton;
};

// The program's name and four lines of credits, closed by "Sulge aken".
class InformationWindow : public Window {
public:
    static constexpr int creditLineCount = 4;

    InformationWindow();
    ~InformationWindow() override;

    Label nameLine;
    Label creditLines[creditLineCount];
    Button closeButton;
};
