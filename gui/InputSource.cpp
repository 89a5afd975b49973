// The Allegro input source: timer, display-switch, close-button, keyboard
// and mouse-button callbacks, and polling of mouse, keyboard and joystick.
// Nothing else in the framework reads Allegro's input (the slots are
// gui/TimerSlots.cpp).
#include "gui/InputSource.h"

#include <atomic>
#include <chrono>
#include <cstdint>

#include <allegro.h>

#include "gui/BackgroundThread.h"
#include "gui/TimerSlots.h"

namespace {

void timerCallback(void* slot)
{
    TimerSlots::raise(static_cast<int>(reinterpret_cast<std::intptr_t>(slot)));
}
END_OF_FUNCTION(timerCallback)

void switchInCallback() { requestRedrawEverything(); }
void closeButtonCallback() { requestWindowClose(); }

// The modifiers held when each key was pressed. Keys wait in Allegro's
// buffer until the next logic tick reads them, and a quick Shift+Tab lets
// Shift go before that: key_shifts at reading time would tell a plain Tab.
// The keyboard callback, run by Allegro's input thread for every key put
// into the buffer, records key_shifts here; readKey takes the record that
// belongs to the key it read. One writer (the input thread), one reader
// (the main loop).
struct KeyRecord {
    int character;
    int scancode;
    int shifts;
};
constexpr unsigned keyRecordCount = 64;
KeyRecord keyRecords[keyRecordCount];
std::atomic<unsigned> keyRecordsWritten{0};
std::atomic<unsigned> keyRecordsRead{0};
// Modifiers of the key read last; -1 when the last read found no key.
int lastKeyShifts = -1;

int recordKeyShifts(int key, int* scancode)
{
    const unsigned w = keyRecordsWritten.load(std::memory_order_relaxed);
    // When full the key goes without a record; it is read with the state
    // at reading time.
    if (w - keyRecordsRead.load(std::memory_order_acquire) < keyRecordCount) {
        keyRecords[w % keyRecordCount] = {key, scancode ? *scancode : 0, key_shifts};
        keyRecordsWritten.store(w + 1, std::memory_order_release);
    }
    return key;
}
END_OF_FUNCTION(recordKeyShifts)

// The modifiers recorded for a key just read, or -1. Records of keys that
// never reached the reader (the buffer was cleared or overflowed) are
// passed over.
int takeKeyShifts(int character, int scancode)
{
    unsigned r = keyRecordsRead.load(std::memory_order_relaxed);
    const unsigned w = keyRecordsWritten.load(std::memory_order_acquire);
    int shifts = -1;
    while (r != w) {
        const KeyRecord& k = keyRecords[r % keyRecordCount];
        ++r;
        if (k.character == character && k.scancode == scancode) {
            shifts = k.shifts;
            break;
        }
    }
    keyRecordsRead.store(r, std::memory_order_release);
    return shifts;
}

// Every change of the mouse buttons, recorded by Allegro's mouse callback
// on its input thread as it happens: the main loop polls only once per
// logic tick, and a quick click (a touchpad's tap) presses and releases
// well within one. Each record is the whole button state after a change
// and the pointer's position then (Allegro has updated mouse_x and mouse_y
// for the event before it calls the callback), so that a press after a
// quick move is taken where it happened. One writer (the input thread), one
// reader (the main loop); when the reader falls behind by more than the
// ring holds, later changes are dropped and the newest state is read after
// the records instead.
struct ButtonRecord {
    int buttons;
    int x, y;
};
constexpr unsigned buttonRecordCount = 64;
ButtonRecord buttonRecords[buttonRecordCount];
std::atomic<unsigned> buttonRecordsWritten{0};
std::atomic<unsigned> buttonRecordsRead{0};
// The newest record; read (under the flag below) only after records were dropped.
std::atomic<int> latestButtons{0};
std::atomic<int> latestX{0}, latestY{0};
std::atomic<bool> buttonRecordsDropped{false};
// The button state as the callback last saw it (input thread only).
int callbackButtons = 0;

void recordButtons(int flags)
{
    int down = 0, up = 0;
    if (flags & MOUSE_FLAG_LEFT_DOWN)
        down |= 1;
    if (flags & MOUSE_FLAG_LEFT_UP)
        up |= 1;
    if (flags & MOUSE_FLAG_RIGHT_DOWN)
        down |= 2;
    if (flags & MOUSE_FLAG_RIGHT_UP)
        up |= 2;
    if (flags & MOUSE_FLAG_MIDDLE_DOWN)
        down |= 4;
    if (flags & MOUSE_FLAG_MIDDLE_UP)
        up |= 4;
    if (!down && !up)
        return; // a move or a wheel step
    callbackButtons = (callbackButtons | down) & ~up;
    const ButtonRecord record{callbackButtons, mouse_x, mouse_y};
    latestButtons.store(record.buttons, std::memory_order_relaxed);
    latestX.store(record.x, std::memory_order_relaxed);
    latestY.store(record.y, std::memory_order_relaxed);
    const unsigned w = buttonRecordsWritten.load(std::memory_order_relaxed);
    if (w - buttonRecordsRead.load(std::memory_order_acquire) >= buttonRecordCount) {
        buttonRecordsDropped.store(true, std::memory_order_release);
        return;
    }
    buttonRecords[w % buttonRecordCount] = record;
    buttonRecordsWritten.store(w + 1, std::memory_order_release);
}
END_OF_FUNCTION(recordButtons)

InputSource allegroInput;
InputSource* currentInput = &allegroInput;

} // namespace

bool InputSource::startTimer(int slot, int rate)
{
    return install_param_int_ex(timerCallback, reinterpret_cast<void*>(static_cast<std::intptr_t>(slot)),
                                BPS_TO_TIMER(rate)) == 0;
}

void InputSource::stopTimer(int slot)
{
    remove_param_int(timerCallback, reinterpret_cast<void*>(static_cast<std::intptr_t>(slot)));
}

InputSource::MouseState InputSource::pollMouse()
{
    MouseState s;
    if (mouse_needs_poll())
        poll_mouse();
    s.pos = Point(mouse_x, mouse_y);
    s.buttons = mouse_b & 7;
    s.wheel = mouse_z;
    return s;
}

std::vector<InputSource::ButtonEdge> InputSource::takeButtonEdges()
{
    std::vector<ButtonEdge> edges;
    unsigned r = buttonRecordsRead.load(std::memory_order_relaxed);
    const unsigned w = buttonRecordsWritten.load(std::memory_order_acquire);
    for (; r != w; ++r) {
        const ButtonRecord& b = buttonRecords[r % buttonRecordCount];
        edges.push_back({b.buttons, Point(b.x, b.y)});
    }
    buttonRecordsRead.store(r, std::memory_order_release);
    if (buttonRecordsDropped.exchange(false, std::memory_order_acq_rel))
        edges.push_back({latestButtons.load(std::memory_order_relaxed),
                         Point(latestX.load(std::memory_order_relaxed), latestY.load(std::memory_order_relaxed))});
    return edges;
}

bool InputSource::readKey(int& character, int& scancode)
{
    if (!keyboard_driver)
        return false;
    if (keyboard_needs_poll())
        poll_keyboard();
    lastKeyShifts = -1;
    if (!keypressed())
        return false;
    character = ureadkey(&scancode);
    lastKeyShifts = takeKeyShifts(character, scancode);
    return true;
}

bool InputSource::shiftHeld()
{
    const int shifts = lastKeyShifts >= 0 ? lastKeyShifts : key_shifts;
    return (shifts & KB_SHIFT_FLAG) != 0;
}

InputSource::JoystickState InputSource::pollJoystick()
{
    JoystickState s;
    if (num_joysticks < 1)
        return s;
    poll_joystick();
    s.present = true;
    if (joy[0].num_sticks > 0 && joy[0].stick[0].num_axis >= 2) {
        s.left = joy[0].stick[0].axis[0].d1;
        s.right = joy[0].stick[0].axis[0].d2;
        s.up = joy[0].stick[0].axis[1].d1;
        s.down = joy[0].stick[0].axis[1].d2;
    }
    if (joy[0].num_buttons > 0)
        s.button1 = joy[0].button[0].b;
    if (joy[0].num_buttons > 1)
        s.button2 = joy[0].button[1].b;
    return s;
}

void InputSource::waitForTick()
{
    // X events the main thread's own calls left in Xlib's queue are handed
    // to the background thread before the loop sleeps.
    BackgroundThread::wakeForQueuedInput();
    // The timeout only bounds a wait whose wake-up went astray.
    LoopWake::waitForWork(100);
}

std::int64_t InputSource::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void InputSource::startCallbacks(bool watchSwitch)
{
    if (watchSwitch)
        set_display_switch_callback(SWITCH_IN, switchInCallback);
    set_close_button_callback(closeButtonCallback);
    keyboard_ucallback = recordKeyShifts;
    // Records left from an earlier loop are dropped; the callback counts
    // from the buttons held now.
    buttonRecordsRead.store(buttonRecordsWritten.load(std::memory_order_acquire), std::memory_order_release);
    buttonRecordsDropped.store(false);
    callbackButtons = mouse_b & 7;
    latestButtons.store(callbackButtons);
    mouse_callback = recordButtons;
}

void InputSource::stopCallbacks()
{
    remove_display_switch_callback(switchInCallback);
    set_close_button_callback(nullptr);
    if (keyboard_ucallback == recordKeyShifts)
        keyboard_ucallback = nullptr;
    if (mouse_callback == recordButtons)
        mouse_callback = nullptr;
}

void setInputSource(InputSource* source) { currentInput = source ? source : &allegroInput; }
InputSource& inputSource() { return *currentInput; }
