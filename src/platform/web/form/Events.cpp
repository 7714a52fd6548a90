// Events from the page. Each enters the game through the one dispatch point.

#include <emscripten.h>

#include <unordered_map>

#include "platform/system/Dispatch.h"
#include "platform/system/Timer.h"
#include "platform/web/form/Page.h"
#include "platform/web/system/WebApplication.h"

namespace platform {

namespace {
struct Listener {
    void (*handler)(void*);
    void* target;
};
std::unordered_map<int, Listener>& listeners() {
    static std::unordered_map<int, Listener> l;
    return l;
}
}  // namespace

void listen(int id, void (*handler)(void*), void* target) {
    listeners()[id] = {handler, target};
}

void forget(int id) {
    listeners().erase(id);
}

}  // namespace platform

extern "C" {

EMSCRIPTEN_KEEPALIVE void pk_event_click(int id) {
    auto& l = platform::listeners();
    const auto it = l.find(id);
    if (it != l.end()) it->second.handler(it->second.target);
}

EMSCRIPTEN_KEEPALIVE void pk_event_timer(std::uintptr_t key) {
    auto* timer = reinterpret_cast<platform::Timer*>(key);
    platform::Dispatcher::runFromCallback([timer] { timer->tick(); });
}

EMSCRIPTEN_KEEPALIVE void pk_event_gesture() {
    platform::webApplicationGesture();
}

EMSCRIPTEN_KEEPALIVE void pk_event_close() {
    platform::webApplicationClose();
}
}
