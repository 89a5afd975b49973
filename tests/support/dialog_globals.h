// Test support: the globals a running dialog uses (the settings, the
// screen, the timer slots and the input source), set up for one test and
// put back after it.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include "gui/InputSource.h"
#include "gui/ScreenUpdate.h"
#include "gui/Settings.h"
#include "gui/TimerSlots.h"

namespace testkit {

// Call set() from a fixture's SetUp (inside ASSERT_NO_FATAL_FAILURE) and
// restore() from its TearDown. In between the screen is a blank 640 x 480
// memory bitmap drawn to directly, the logic runs at 50 ticks a second
// without a joystick, no timer slot is taken and `input` gives the input;
// the test may change further settings, all put back by restore().
class DialogGlobals {
public:
    void set(InputSource& input)
    {
        saved_ = theSettings;
        theSettings.screenUpdateMethod = 0;
        theSettings.logicFrameRate = 50;
        theSettings.useJoystick = false;
        screen = create_bitmap(640, 480);
        ASSERT_NE(screen, nullptr);
        clear_bitmap(screen);
        TimerSlots::clear();
        setInputSource(&input);
    }

    void restore()
    {
        setInputSource(nullptr);
        TimerSlots::clear();
        ScreenUpdate::destroyInstance();
        if (screen)
            destroy_bitmap(screen);
        screen = nullptr;
        theSettings = saved_;
    }

private:
    Settings saved_;
};

}  // namespace testkit
