// Keyboard and joystick of the dialog manager. A key goes, in this order:
// to the focused chain (a focused dialog dispatches it first, then the
// focused widget gets it as MSG_CHAR and MSG_UCHAR), to the first widget
// whose shortcut matches, to every widget as MSG_XCHAR, as MSG_KEY to the
// focused widget for Enter and Space, to closing for Esc, and last to Tab
// and arrow-key navigation (DialogFocus.cpp). The first that uses it ends
// the dispatch.
#include "gui/Dialog.h"

#include <cstdint>
#include <vector>

#include <allegro.h>

#include "gui/DialogInternals.h"
#include "gui/FocusChain.h"
#include "gui/InputSource.h"
#include "gui/InputTrace.h"
#include "gui/Messages.h"
#include "gui/Settings.h"

using namespace dialog_detail;

void Dialog::joystickToKeys(int& character, int& scancode, bool& have)
{
    const InputSource::JoystickState js = inputSource().pollJoystick();
    if (!js.present)
        return;
    const bool any = js.left || js.right || js.up || js.down || js.button1 || js.button2;
    if (!joystickHeld_) {
        if (!any)
            return;
        joystickHeld_ = true;
        joystickReleasedAt_ = -1;
        character = 0;
        if (js.left)
            scancode = KEY_LEFT;
        else if (js.right)
            scancode = KEY_RIGHT;
        else if (js.up)
            scancode = KEY_UP;
        else if (js.down)
            scancode = KEY_DOWN;
        else {
            scancode = KEY_SPACE;
            character = ' ';
        }
        have = true;
        return;
    }
    // Held: released only after everything has been let go for one logic frame.
    if (any) {
        joystickReleasedAt_ = -1;
        return;
    }
    const std::int64_t now = inputSource().nowMs();
    if (joystickReleasedAt_ < 0)
        joystickReleasedAt_ = now;
    else if (now - joystickReleasedAt_ >= 1000 / logicRate()) {
        joystickHeld_ = false;
        joystickReleasedAt_ = -1;
    }
}

// Reads one key (or, when the keyboard gave none, the joystick) and hands it
// to the dialog that takes the input.
void Dialog::processKeyboard()
{
    Dialog* d = innermostModal(this);

    int character = 0, scancode = 0;
    bool have = inputSource().readKey(character, scancode);
    // A key from the keyboard takes precedence; the joystick is read when
    // the keyboard gave nothing in this tick.
    if (theSettings.useJoystick && !have)
        joystickToKeys(character, scancode, have);
    if (have) {
        InputTrace::key(character, scancode);
        d->dispatchKey(character, scancode);
    }
}

bool Dialog::dispatchKey(int character, int scancode)
{
    const int code = (character > 255 ? 94 : character) + scancode * 256;
    return keyToFocused(character, scancode, code)
        || keyToShortcut(character, scancode)
        || keyAsXChar(code)
        || keyPressesFocused(character)
        || keyCloses(character)
        || keyNavigates(scancode);
}

// A focused dialog dispatches the key first; then the focused widget gets
// it as a character.
bool Dialog::keyToFocused(int character, int scancode, int code)
{
    Widget* f = focus();
    if (!f)
        return false;
    if (Dialog* inner = asDialog(f))
        if (inner->dispatchKey(character, scancode))
            return true;
    if (contains(f) && f->msgChar(code))
        return true;
    return contains(f) && f->msgUChar(character);
}

// The first child in list order whose shortcut matches.
bool Dialog::keyToShortcut(int character, int scancode)
{
    const std::vector<Widget*> list = children_;
    for (Widget* c : list) {
        if (c->matchesKey(character, scancode)) {
            c->msgKey();
            return true;
        }
    }
    return false;
}

// Every visible, enabled child is offered the key until one takes it.
bool Dialog::keyAsXChar(int code)
{
    const std::vector<Widget*> list = children_;
    for (Widget* c : list) {
        if (!contains(c) || c->hidden() || c->disabled())
            continue;
        if (c->msgXChar(code))
            return true;
    }
    return false;
}

// Enter and Space press the focused widget.
bool Dialog::keyPressesFocused(int character)
{
    if ((character == 10 || character == 13 || character == 32) && focus()) {
        focus()->msgKey();
        return true;
    }
    return false;
}

// Esc closes a top-level dialog or a window that lets it.
bool Dialog::keyCloses(int character)
{
    if (character != 27 || !escapeCloses_ || !(isTopLevel() || isWindow()))
        return false;
    // The focus chain goes only when msgClose agreed.
    if (close())
        FocusChain::releaseFocusInside(this);
    return true;
}

// Tab and the arrow keys move the focus in a top-level dialog or a window.
bool Dialog::keyNavigates(int scancode)
{
    if (!(isTopLevel() || isWindow()))
        return false;
    switch (scancode) {
    case KEY_TAB:
        return navigateFocus(KEY_TAB, inputSource().shiftHeld());
    case KEY_LEFT:
    case KEY_RIGHT:
    case KEY_UP:
    case KEY_DOWN:
        return navigateFocus(scancode, false);
    default:
        return false;
    }
}
