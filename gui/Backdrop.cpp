// The backdrop: covers its dialog when it starts and fills itself with the
// skin's "back" colour.
#include "gui/Backdrop.h"

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/Skin.h"

Backdrop::Backdrop() = default;
Backdrop::~Backdrop() = default;

void Backdrop::msgStart()
{
    Widget::msgStart();
    if (Dialog* p = parent())
        resize(p->w(), p->h());
}

void Backdrop::msgSkinChanged()
{
    if (Skin* s = skin())
        fill_ = s->colors().back;
    Widget::msgSkinChanged();
}

void Backdrop::draw(Bitmap& canvas)
{
    if (fill_ != NO_COLOR)
        clear_to_color(canvas.bitmap(), fill_);
}
