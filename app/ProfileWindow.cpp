// The widgets of the elevation profile window.
#include "app/ProfileWindow.h"

#include "app/MessageTexts.h"

ProfileWindow::ProfileWindow(std::vector<vaskur_geo::TracePoint> points, const std::string& figures)
{
    setup(150, 110, 500, 320, 0, 0);
    setTitle(texts::profileTitle);

    chart.setup(10, 10, 480, 210, 0, 0);
    chart.setPoints(std::move(points));
    figuresLine.clearFlag(D_AUTOSIZE);
    figuresLine.setup(10, 228, 480, 16, 0, 0, figures.c_str(), Label::AlignCentre);
    closeButton.setup(175, 252, 150, 34, 0, D_EXIT, texts::closeWindow);

    add(&chart);
    add(&figuresLine);
    add(&closeButton);
}

ProfileWindow::~ProfileWindow() = default;
