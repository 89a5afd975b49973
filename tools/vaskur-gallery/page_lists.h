// The lists page of the gallery (tools/vaskur-gallery/page_lists.cpp).
#pragma once

#include <functional>
#include <string>

// The gallery page of the lists: a list box long enough to scroll, two combo
// boxes (one near the bottom edge, whose list opens upwards) and a vertical
// and a horizontal scroll bar. Reported line by line through `report`:
//   ready                       the page runs
//   rect NAME X Y W H           screen rectangles of the parts (at ready,
//                               and again for a combo box when it opens)
//   item-height NAME H          entry height of a list box
//   scroll NAME N               a list's selection or a bar's position changed
//   view NAME N                 the first entry a list box shows changed
//   activate NAME N             an entry was chosen
//   open NAME / close NAME      a combo box's list opened or closed
//   final NAME VALUE...         at the end: texts, selections and positions
// `seconds` > 0 closes the page by itself after that time.
// VASKUR_GALLERY_COMBO_ANIMATION=TYPE makes the combo boxes' lists open with
// that transition. Returns the program's exit status.
int runListsPage(const std::function<void(const std::string&)>& report, int seconds);
