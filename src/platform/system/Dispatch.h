#pragma once
// The one door through which every event enters the game: window events,
// clicks and timer ticks. A run-time error escaping a handler stops here.

#include <exception>
#include <functional>

#include "platform/system/Errors.h"

namespace platform {

class Dispatcher {
  public:
    // What happens to a run-time error that escapes a handler. The program
    // installs one that tells the player and ends; tests leave the default,
    // which lets the error travel on to the caller. The handler says whether
    // events still reach the game afterwards.
    enum class AfterFault { kHalt, kGoOn };
    using FaultHandler = std::function<AfterFault(const RuntimeError&)>;
    // Returns the handler it replaces, so that a policy kept for a while can
    // put the earlier one back.
    static FaultHandler setFaultHandler(FaultHandler handler);

    // Runs a handler as one event. With the default fault policy a run-time
    // error propagates to the caller (so tests see it); otherwise the fault
    // handler takes it and the dispatcher halts unless the handler goes on.
    static void run(const std::function<void()>& handler);

    // Entry for events raised from inside a toolkit's callback: never throws. A fault
    // that would propagate is kept for `takePendingFault` instead.
    static void runFromCallback(const std::function<void()>& handler) noexcept;
    static std::exception_ptr takePendingFault();

    // After the program has ended (or a fault was shown) no further event
    // reaches the game.
    static void halt();
    static bool halted();
    // For tests that build a fresh program after an ended one.
    static void reset();

    static bool running();  // true while a handler runs
};

}  // namespace platform
