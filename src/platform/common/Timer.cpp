#include "platform/system/Timer.h"

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

}  // namespace platform
