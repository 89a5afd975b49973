// The panel: takes the "PANEL_RAISED" skin bitmap and stretches it over
// itself.
#include "gui/Panel.h"

#include "gui/Bitmap.h"
#include "gui/Skin.h"

Panel::Panel() = default;
Panel::~Panel() = default;

void Panel::msgSkinChanged()
{
    bitmapIndex_ = Skin::PANEL_RAISED;
    Widget::msgSkinChanged();
}

void Panel::draw(Bitmap& canvas)
{
    const Bitmap& b = skinBitmap();
    if (!b.empty())
        b.tiledBlit(canvas.bitmap(), 0, 0, 0, 0, w(), h());
}
