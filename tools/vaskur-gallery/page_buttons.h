// The buttons page of the gallery (tools/vaskur-gallery/page_buttons.cpp).
#pragma once

#include <functional>
#include <string>

// The gallery page of the standard widgets: a backdrop, panels, labels,
// buttons of every kind, a hyperlink, a check box, two edit boxes and an
// image, in a dialog of their own. Every activation and the final state of
// the widgets are reported line by line through `report`:
//   ready                    the page runs
//   activate NAME [STATE]    a button was activated (toggle and check box:
//                            1 when down / ticked)
//   edit NAME TEXT           Enter in an edit box
//   final NAME VALUE         at the end: texts, states and counters
// `seconds` > 0 closes the page by itself after that time.
// Returns the program's exit status.
int runButtonsPage(const std::function<void(const std::string&)>& report, int seconds);
