#include "platform/system/Dispatch.h"

#include <utility>

#include "platform/system/Language.h"

namespace platform {

namespace {
struct State {
    Dispatcher::FaultHandler faultHandler;
    std::exception_ptr pending;
    bool halted = false;
    int depth = 0;
};
State& state() {
    static State s;
    return s;
}

struct DepthGuard {
    DepthGuard() { ++state().depth; }
    ~DepthGuard() { --state().depth; }
};

// Nothing reaches the game while the handler has the error (its box may run
// an event loop); whether anything does afterwards is the handler's word.
void handFault(State& s, const RuntimeError& e) {
    s.halted = true;
    if (s.faultHandler(e) == Dispatcher::AfterFault::kGoOn) s.halted = false;
}
}  // namespace

Dispatcher::FaultHandler Dispatcher::setFaultHandler(FaultHandler handler) {
    return std::exchange(state().faultHandler, std::move(handler));
}

void Dispatcher::run(const std::function<void()>& handler) {
    State& s = state();
    if (s.halted) return;
    try {
        DepthGuard guard;
        handler();
    } catch (const RuntimeError& e) {
        if (!s.faultHandler) throw;
        handFault(s, e);
    } catch (const std::exception& e) {
        // Anything else is a fault of the program itself; report it the same
        // way rather than let it unwind through the toolkit.
        if (!s.faultHandler) throw;
        handFault(
            s, RuntimeError(51, fillIn(trText("RuntimeError", "Internal error: %1"), {e.what()})));
    }
}

void Dispatcher::runFromCallback(const std::function<void()>& handler) noexcept {
    State& s = state();
    // Events are delivered one at a time; one that arrives while a handler
    // runs (a modal box, say) must not run the game re-entrantly.
    if (s.halted || s.depth > 0) return;
    try {
        run(handler);
    } catch (...) {
        s.pending = std::current_exception();
        s.halted = true;
    }
}

std::exception_ptr Dispatcher::takePendingFault() {
    return std::exchange(state().pending, nullptr);
}

void Dispatcher::halt() {
    state().halted = true;
}
bool Dispatcher::halted() {
    return state().halted;
}
void Dispatcher::reset() {
    State& s = state();
    s.halted = false;
    s.pending = nullptr;
    s.depth = 0;
}
bool Dispatcher::running() {
    return state().depth > 0;
}

}  // namespace platform
