// Screen output of long work, batched for speed: the progress line of the
// three build stages, the status line of a route search and the grey lines of
// the edges a search examines (the interfaces they serve are in terrain/ and
// route/). Everything is drawn straight onto Allegro's `screen` (whatever it
// points at when the call comes), past the dialog manager's screen update.
// Nothing is drawn while `screen` is null.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "route/RouteSearch.h"
#include "terrain/BuildProgress.h"

class Font;
struct BITMAP;

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

// Under a window system every primitive drawn on `screen` is a round trip
// to the display (tens of microseconds), and a search draws one line per
// examined edge and two status lines per correction: drawn one by one, they
// cost far more than the search itself. A ScreenBatch therefore draws into a
// copy of the screen and brings the changed area to the screen at most once
// per interval, and always when it is flushed or destroyed. The screen ends
// up with exactly the pixels that drawing on it directly gives; only the
// in-between pictures are fewer. The progress or status lines are kept as
// text and printed only when the picture goes to the screen. Each line covers
// a box of its own width with its opaque background, so a shorter line leaves
// the tail of a longer one before it: what is kept is the last line and,
// under it, the earlier lines still wider than every line after them, which
// together give the pixels of printing every line in turn.
// With an interval of zero everything is drawn on the screen directly. The
// screen must stay the same bitmap while a batch lives; when it changes, what
// was not yet shown is dropped with the old copy.
class ScreenBatch {
public:
    explicit ScreenBatch(std::chrono::milliseconds interval);
    ~ScreenBatch();
    ScreenBatch(const ScreenBatch&) = delete;
    ScreenBatch& operator=(const ScreenBatch&) = delete;

    // Where to draw now: the copy, or the screen itself; null without a screen.
    BITMAP* target();
    // The area (screen coordinates) just drawn; brings it to the screen when
    // the interval has passed since the last time.
    void drawn(int x, int y, int w, int h);
    // The text of the progress line (already formatted): printed in font 1
    // of the global skin, black on opaque grey, at the line's place.
    void setLine(const char* text);
    // Brings everything drawn so far to the screen.
    void flush();

private:
    void dropCopy();
    void printLine(BITMAP* target, const std::string& text);

    std::chrono::milliseconds interval_;
    BITMAP* screenOfCopy_ = nullptr;
    BITMAP* copy_ = nullptr;
    int dirtyLeft_ = 0, dirtyTop_ = 0, dirtyRight_ = -1, dirtyBottom_ = -1;  // inclusive; empty when right < left
    std::chrono::steady_clock::time_point lastFlush_;
    struct Line {
        std::string text;
        int width;
    };
    std::vector<Line> lines_;  // waiting for the next flush, widest (oldest) first
};

// How often a batch shows its picture while work goes on: 50 times a second.
inline constexpr std::chrono::milliseconds screenBatchInterval{20};

// Stage progress of a model build: "N. etapp - ... lappi done/total"
// (app/ProgressTexts.h); nothing for a stage number other than 1-3.
class ScreenBuildProgress : public BuildProgress {
public:
    explicit ScreenBuildProgress(std::chrono::milliseconds interval = screenBatchInterval) : batch_(interval) {}
    void stageProgress(int32_t stage, int32_t done, int32_t total) override;

private:
    ScreenBatch batch_;
};

// Status line (app/ProgressTexts.h) and examined edges of a route search. An examined edge is a
// line in (128, 128, 128) from (from.x + 10, from.y + 10) to
// (to.x + 10, to.y + 10), the map view's place on the screen; on a map drawn
// at a scale, from (scale from.x + 10, scale from.y + 10) and so on.
class ScreenSearchObserver : public SearchObserver {
public:
    explicit ScreenSearchObserver(std::chrono::milliseconds interval = screenBatchInterval, int scale = 1)
        : batch_(interval), scale_(scale)
    {
    }
    void searchStatus(SearchKind kind, SearchPhase phase, double shownLength) override;
    void examinedEdge(const Edge& edge) override;

private:
    ScreenBatch batch_;
    int scale_;
};
