#include "app/ScreenReporters.h"

#include <allegro.h>

#include "app/MapViews.h"
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

int lineColour(int grey)
{
    return makecol_depth(bitmap_color_depth(screen), grey, grey, grey);
}

}  // namespace

void ScreenBuildProgress::stageProgress(int32_t /*stage*/, const char* format, int32_t done, int32_t total)
{
    if (!screen || !format)
        return;
    progressFont().print(screen, progressLineX, progressLineY, lineColour(0), lineColour(progressBackgroundGrey),
                         Font::Left, format, static_cast<int>(done), static_cast<int>(total));
}

void ScreenSearchObserver::statusLine(const char* format, double shownLength)
{
    if (!screen || !format)
        return;
    progressFont().print(screen, progressLineX, progressLineY, lineColour(0), lineColour(progressBackgroundGrey),
                         Font::Left, format, shownLength);
}

void ScreenSearchObserver::examinedEdge(const Edge& edge)
{
    if (!screen || !edge.from || !edge.to)
        return;
    line(screen, edge.from->x + mapScreenX, edge.from->y + mapScreenY, edge.to->x + mapScreenX,
         edge.to->y + mapScreenY, lineColour(examinedEdgeGrey));
}
