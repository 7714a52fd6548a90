#include <algorithm>

#include "platform/system/Dispatch.h"
#include "platform/system/Timer.h"

namespace platform {

void ManualTimerHost::arm(Timer& timer, int intervalMs) {
    running_[&timer] = Entry{now_ + intervalMs, intervalMs, nextOrder_++};
}

void ManualTimerHost::disarm(Timer& timer) {
    running_.erase(&timer);
}

void ManualTimerHost::advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        auto next = std::min_element(running_.begin(), running_.end(), [](auto& a, auto& b) {
            return a.second.due != b.second.due ? a.second.due < b.second.due
                                                : a.second.order < b.second.order;
        });
        if (next == running_.end() || next->second.due > end) break;
        Timer* timer = next->first;
        now_ = next->second.due;
        next->second.due += next->second.interval;
        next->second.order = nextOrder_++;
        timer->tick();
        if (Dispatcher::halted()) break;
    }
    now_ = std::max(now_, end);
}

void ManualTimerHost::fire(Timer& timer) {
    if (running_.count(&timer)) timer.tick();
}

}  // namespace platform
