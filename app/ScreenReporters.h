#pragma once

// Screen output of long work: the progress line of the three build stages,
// the status line of a route search and the grey lines of the edges a search
// examines. Everything is drawn straight onto Allegro's `screen` (whatever it
// points at when the call comes), past the dialog manager's screen update.
// Nothing is drawn while `screen` is null.

#include <cstdint>

#include "route/RouteSearch.h"
#include "terrain/BuildProgress.h"

class Font;

// Where the progress and status lines stand, and their look.
inline constexpr int progressLineX = 30;
inline constexpr int progressLineY = 550;
// Slot of the global skin's font the lines are printed in.
inline constexpr int progressFontSlot = 1;
// Background of the lines (opaque) and colour of examined edges, as (r, g, b).
inline constexpr int progressBackgroundGrey = 210;
inline constexpr int examinedEdgeGrey = 128;

// The font the lines are printed in: font 1 of the global skin, or Allegro's
// built-in font when there is no global skin.
const Font& progressFont();

// Stage progress of a model build: "N. etapp - ... lappi done/total".
class ScreenBuildProgress : public BuildProgress {
public:
    void stageProgress(int32_t stage, const char* format, int32_t done, int32_t total) override;
};

// Status line and examined edges of a route search. An examined edge is a
// line in (128, 128, 128) from (from.x + 10, from.y + 10) to
// (to.x + 10, to.y + 10), the map view's place on the screen.
class ScreenSearchObserver : public SearchObserver {
public:
    void statusLine(const char* format, double shownLength) override;
    void examinedEdge(const Edge& edge) override;
};
