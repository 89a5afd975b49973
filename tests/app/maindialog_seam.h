// Test seam: the main window with its widgets, route pick and commands open
// to the tests, which check what the window shows and holds.
#pragma once

#include "app/MainDialog.h"

class OpenMainDialog : public MainDialog {
public:
    using MainDialog::buildAndShow;
    using MainDialog::loadMapFile;

    using MainDialog::background;
    using MainDialog::mapView;
    using MainDialog::titleButton;
    using MainDialog::triangleCaption;
    using MainDialog::triangleCount;
    using MainDialog::vertexCaption;
    using MainDialog::vertexCount;
    using MainDialog::edgeCaption;
    using MainDialog::edgeCount;
    using MainDialog::loadButton;
    using MainDialog::clearButton;
    using MainDialog::heightMapButton;
    using MainDialog::modelButton;
    using MainDialog::vertexButton;
    using MainDialog::graphButton;
    using MainDialog::searchButton;
    using MainDialog::quickSearchButton;
    using MainDialog::exitButton;
    using MainDialog::messageLine;

    using MainDialog::pickState;
    using MainDialog::searchKind;
    using MainDialog::startVertex;
    using MainDialog::endVertex;
};
