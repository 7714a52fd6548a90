#include "platform/system/Timer.h"

#include <QTimer>
#include <algorithm>

#include "platform/system/Dispatch.h"

namespace platform {

Timer::Timer(TimerHost& host, Boolean enabled, std::int32_t interval)
    : host_(host), enabled_(enabled ? True : False), interval_(interval) {
    update();
}

Timer::~Timer() {
    if (armed_) host_.disarm(*this);
}

void Timer::setEnabled(Boolean enabled) {
    enabled_ = enabled ? True : False;
    update();
}

void Timer::setInterval(std::int32_t ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (armed_) {
        host_.disarm(*this);
        armed_ = false;
    }
    update();
}

void Timer::update() {
    const bool shouldRun = enabled_ && interval_ > 0;
    if (shouldRun && !armed_) {
        armed_ = true;
        host_.arm(*this, interval_);
    } else if (!shouldRun && armed_) {
        armed_ = false;
        host_.disarm(*this);
    }
}

void Timer::tick() {
    if (!armed_ || !onTimer) return;
    Dispatcher::run(onTimer);
}

// ---------------------------------------------------------------------------

struct QtTimerHost::Impl {
    std::map<Timer*, std::unique_ptr<QTimer>> timers;
};

QtTimerHost::QtTimerHost() : impl_(std::make_unique<Impl>()) {}
QtTimerHost::~QtTimerHost() = default;

void QtTimerHost::arm(Timer& timer, int intervalMs) {
    auto& slot = impl_->timers[&timer];
    if (!slot) {
        slot = std::make_unique<QTimer>();
        Timer* t = &timer;
        QObject::connect(slot.get(), &QTimer::timeout,
                         [t] { Dispatcher::runFromQt([t] { t->tick(); }); });
    }
    // Short intervals need the precise timer kind, or the toolkit coarsens a
    // 1 ms tick to several milliseconds.
    slot->setTimerType(intervalMs < 20 ? Qt::PreciseTimer : Qt::CoarseTimer);
    slot->start(intervalMs);
}

void QtTimerHost::disarm(Timer& timer) {
    auto it = impl_->timers.find(&timer);
    if (it != impl_->timers.end()) it->second->stop();
}

// ---------------------------------------------------------------------------

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
