// Start and end of the program: runVaskur, its exit statuses, and the two
// terrain objects that live for its whole run. The objects themselves are
// made by runVaskur on its own stack; the pointers below lead every part of
// the program to them. main.cpp only calls runVaskur.
#pragma once

class HeightMap;
class PatchGrid;

// The one height map and the one patch grid of the running program (null
// before runVaskur has made them and after it has taken them down).
extern HeightMap* theHeightMap;
extern PatchGrid* thePatchGrid;

// Exit status of a normal run.
inline constexpr int normalExitStatus = 1;
// Exit status when the framework cannot start (no Allegro, input, graphics
// mode or fonts), and when the display is lost while the program runs. A
// skin that fails is only reported on stderr.
inline constexpr int frameworkFailureStatus = 2;

// The main window's X class (instance name and class), the one the desktop
// entry's StartupWMClass names.
inline constexpr const char windowInstanceName[] = "vaskur";
inline constexpr const char windowClassName[] = "Vaskur";

// Names of the files read from the current directory at start.
inline constexpr const char settingsFileName[] = "gui.cfg";
inline constexpr const char skinFileName[] = "kujundus.ini";

// Runs the whole program: makes the height map and the patch grid, starts the
// framework with "gui.cfg", installs the skin of "kujundus.ini", runs the main
// window until it closes and takes everything down again. Returns 1, or 2
// after printing the framework's message (and what is wrong with the
// display, when that is why) when it could not start. Settings values that
// cannot be used are named on stderr. A lost display ends the process with
// 2 at once. A skin
// that cannot be read (the default one of the settings or the program's
// own) is reported on stderr, and the program runs with the look it has.
int runVaskur();
