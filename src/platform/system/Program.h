#pragma once
// The program as a whole: its folder, ending it, and the application that
// hosts the window.

#include <functional>
#include <memory>

#include "platform/system/Errors.h"
#include "platform/system/Text.h"

class QCoreApplication;

namespace platform {

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

// The toolkit without any window, for what a program prints before one
// exists, or instead of one: the session's language and the program's folder.
class ConsoleSession {
  public:
    ConsoleSession(int& argc, char** argv);
    ~ConsoleSession();

  private:
    std::unique_ptr<QCoreApplication> app_;
};

// The toolkit application: fonts, style and the fault policy that shows a
// run-time error to the player and ends the program.
class Application {
  public:
    Application(int& argc, char** argv);
    ~Application();
    // Runs the event loop until the program ends; returns the exit status.
    int exec();
    // Tells the player of `error` as of one escaping a handler (on stderr
    // and in the box) and ends the program: exec() then returns 1.
    void fail(const RuntimeError& error);

    // Runs `action` (which must not throw) once the first window has been
    // painted, or half a second after the loop starts should none be: for
    // work that must not hold up the first frame.
    static void afterFirstFrame(std::function<void()> action);

    // The window face the game asks for may be missing here; map it to an
    // installed proportional Japanese Gothic face.
    static void substituteFonts();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
