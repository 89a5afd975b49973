// The elevation profile window of the last route on a real map.
#pragma once

#include <string>
#include <vector>

#include "app/ProfileChart.h"
#include "gui/Button.h"
#include "gui/Label.h"
#include "gui/Window.h"

// "Kõrgusprofiil": the chart of the route's heights against the distance
// along the ground, its climb, descent and walking time under it, and
// "Sulge aken". Moved by its title bar and closed by the button, Esc or the
// close icon, as the information window is.
class ProfileWindow : public Window {
public:
    ProfileWindow(std::vector<vaskur_geo::TracePoint> points, const std::string& figures);
    ~ProfileWindow() override;

    ProfileChart chart;
    Label figuresLine;
    Button closeButton;
};
