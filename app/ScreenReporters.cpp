// The screen batch (a copy of the screen, its dirty box and pending lines),
// the progress line of a build and the status line and edges of a search.
#include "app/ScreenReporters.h"

#include <allegro.h>

#include <algorithm>
#include <cstdlib>

#include "app/MapViews.h"
#include "app/FormatLine.h"
#include "app/ProgressTexts.h"
#include "gui/BackgroundThread.h"
#include "gui/Font.h"
#include "gui/Skin.h"
#include "terrain/Vertex.h"

const Font& progressFont()
{
    static const Font builtIn;
    const Skin* skin = globalSkin();
    return skin ? skin->font(progressFontSlot) : builtIn;
}

namespace {

int lineColour(BITMAP* target, int grey)
{
    return makecol_depth(bitmap_color_depth(target), grey, grey, grey);
}

}  // namespace

ScreenBatch::ScreenBatch(std::chrono::milliseconds interval)
    : interval_(interval), lastFlush_(std::chrono::steady_clock::now())
{
}

ScreenBatch::~ScreenBatch()
{
    flush();
    dropCopy();
}

void ScreenBatch::dropCopy()
{
    if (copy_)
        destroy_bitmap(copy_);
    copy_ = nullptr;
    screenOfCopy_ = nullptr;
    dirtyRight_ = dirtyLeft_ - 1;
    lines_.clear();
}

BITMAP* ScreenBatch::target()
{
    if (!screen || interval_.count() <= 0)
        return screen;
    if (screenOfCopy_ != screen)
        dropCopy();
    if (!copy_) {
        copy_ = create_bitmap_ex(bitmap_color_depth(screen), screen->w, screen->h);
        if (!copy_)
            return screen;  // no memory for the copy: draw directly
        blit(screen, copy_, 0, 0, 0, 0, screen->w, screen->h);
        screenOfCopy_ = screen;
    }
    return copy_;
}

void ScreenBatch::drawn(int x, int y, int w, int h)
{
    if (!copy_ || w <= 0 || h <= 0)
        return;
    if (dirtyRight_ < dirtyLeft_) {
        dirtyLeft_ = x;
        dirtyTop_ = y;
        dirtyRight_ = x + w - 1;
        dirtyBottom_ = y + h - 1;
    } else {
        dirtyLeft_ = std::min(dirtyLeft_, x);
        dirtyTop_ = std::min(dirtyTop_, y);
        dirtyRight_ = std::max(dirtyRight_, x + w - 1);
        dirtyBottom_ = std::max(dirtyBottom_, y + h - 1);
    }
    if (std::chrono::steady_clock::now() - lastFlush_ >= interval_)
        flush();
}

void ScreenBatch::printLine(BITMAP* target, const std::string& text)
{
    const Font& font = progressFont();
    font.draw(target, text.c_str(), progressLineX, progressLineY, lineColour(target, 0),
              lineColour(target, progressBackgroundGrey), Font::Left);
}

void ScreenBatch::setLine(const char* text)
{
    BITMAP* where = target();
    if (!where)
        return;
    if (where == screen) {
        printLine(where, text);
        return;
    }
    const int width = progressFont().textLength(text);
    while (!lines_.empty() && lines_.back().width <= width)
        lines_.pop_back();
    lines_.push_back({text, width});
    drawn(0, progressLineY - 1, where->w, progressFont().textHeight() + 3);
}

void ScreenBatch::flush()
{
    lastFlush_ = std::chrono::steady_clock::now();
    if (!copy_ || screenOfCopy_ != screen)
        return;
    for (const Line& line : lines_)
        printLine(copy_, line.text);
    lines_.clear();
    if (dirtyRight_ < dirtyLeft_)
        return;
    const int left = std::max(dirtyLeft_, 0), top = std::max(dirtyTop_, 0);
    const int right = std::min(dirtyRight_, copy_->w - 1), bottom = std::min(dirtyBottom_, copy_->h - 1);
    if (left <= right && top <= bottom) {
        blit(copy_, screen, left, top, left, top, right - left + 1, bottom - top + 1);
        BackgroundThread::wake();  // to the X server now, not at its next beat
    }
    dirtyRight_ = dirtyLeft_ - 1;
}

void ScreenBuildProgress::stageProgress(int32_t stage, int32_t done, int32_t total)
{
    if (const char* format = stageFormat(stage))
        batch_.setLine(
            formatLine<Font::printBufferSize>(format, static_cast<int>(done), static_cast<int>(total)).c_str());
}

void ScreenSearchObserver::searchStatus(SearchKind kind, SearchPhase phase, double shownLength)
{
    batch_.setLine(formatLine<Font::printBufferSize>(searchStatusFormat(kind, phase), shownLength).c_str());
}

void ScreenSearchObserver::examinedEdge(const Edge& edge)
{
    if (!edge.from || !edge.to)
        return;
    BITMAP* target = batch_.target();
    if (!target)
        return;
    const int x1 = edge.from->x * scale_ + mapScreenX, y1 = edge.from->y * scale_ + mapScreenY;
    const int x2 = edge.to->x * scale_ + mapScreenX, y2 = edge.to->y * scale_ + mapScreenY;
    line(target, x1, y1, x2, y2, lineColour(target, examinedEdgeGrey));
    batch_.drawn(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
}
