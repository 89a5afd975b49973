// Helpers shared by the dialog manager's files (gui/Dialog.cpp, the
// gui/Dialog*.cpp beside it and gui/FocusChain.cpp); not part of the
// framework's interface.
#pragma once

#include "gui/Dialog.h"
#include "gui/Messages.h"
#include "gui/Settings.h"

namespace dialog_detail {

// The widget answers `message` (MSG_WANTFOCUS, MSG_WANTMOUSE, MSG_WANTTAB) with yes.
inline bool wants(Widget* w, int message)
{
    return w && (w->sendMessage(message) & D_WANTFOCUS) != 0;
}

inline Dialog* asDialog(Widget* w)
{
    return (w && w->isDialog()) ? static_cast<Dialog*>(w) : nullptr;
}

// Ticks per second of the logic timer; a rate of 0 or less would divide by
// zero, so the usual 50 is taken instead.
inline int logicRate()
{
    return theSettings.logicFrameRate > 0 ? theSettings.logicFrameRate : 50;
}

// The dialog that takes the input: the focused modal child dialog, followed
// down as far as it goes, or `d` itself.
inline Dialog* innermostModal(Dialog* d)
{
    while (d->focus() && d->focus()->isDialog() && d->focus()->testFlags(D_MODAL))
        d = static_cast<Dialog*>(d->focus());
    return d;
}

// Makes the skin bitmaps kept in video memory again after they were lost:
// the dialog's own skin and the global one, which its widgets may use
// (Dialog.cpp).
void reloadSkins(Dialog* d);

// Whether a drawing pass would change the picture (DialogDraw.cpp).
bool somethingToDraw(Dialog* d);

} // namespace dialog_detail
