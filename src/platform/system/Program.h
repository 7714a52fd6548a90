#pragma once
// The program as a whole: its name and folder, ending it, and the
// application that hosts the window.

#include <functional>
#include <memory>

#include "platform/system/Errors.h"
#include "platform/system/Text.h"

namespace platform {

class MediaCommands;
class RandomSource;
class TimerHost;

// The name the platform gives the program where it speaks for it: the title
// of the box that tells of a fault, the start of a line on stderr. The game
// sets it once, before anything is shown.
void setProgramName(std::string name);
const std::string& programName();

// The folder that holds the program (links resolved), without a trailing
// separator except at the root.
Text ProgramFolder();

// Ends the program: no further event reaches the game, every window closes
// and the event loop returns `exitCode`.
void End(int exitCode = 0);

// Whether a window could be shown: a display (X11 or Wayland) to show it on,
// and a toolkit platform that draws on a screen.
bool displayAvailable();

// What a program says of a run-time error on stderr: one that ends it, or
// one the author's preview shows while it waits for a fix.
void printFault(const RuntimeError& error);

// The platform without any window, for what a program prints before one
// exists, or instead of one: the session's language and the program's folder.
class ConsoleSession {
  public:
    ConsoleSession(int& argc, char** argv);
    ~ConsoleSession();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The application that hosts the window: its style, the session's language,
// and the fault policy that shows a run-time error to the player and ends
// the program.
class Application {
  public:
    Application(int& argc, char** argv);
    ~Application();

    // Where the game's real time, chance and sound come from, for as long as
    // the application lives. The sound starts once the first frame is on the
    // screen, so that loading it never holds up the window.
    TimerHost& timers();
    RandomSource& random();
    MediaCommands& media();

    // Runs the event loop until the program ends; returns the exit status.
    int exec();
    // Tells the player of `error` as of one escaping a handler (on stderr
    // and in the box) and ends the program: exec() then returns 1.
    void fail(const RuntimeError& error);

    // Runs `action` (which must not throw) once the first window has been
    // painted, or half a second after the loop starts should none be: for
    // work that must not hold up the first frame.
    static void afterFirstFrame(std::function<void()> action);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
