#pragma once
// Timers: a control with `Enabled` and `Interval` that raises its tick
// handler every `Interval` ms while enabled. Where the ticks come from is a
// seam: real time from the backend in the program, a manual clock in tests
// and benchmarks.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/system/Text.h"

namespace platform {

class Timer;

class TimerHost {
  public:
    virtual ~TimerHost() = default;
    // Start (or keep) ticking `timer` every `intervalMs`. Called only when the
    // timer goes from stopped to running or its interval changes.
    virtual void arm(Timer& timer, int intervalMs) = 0;
    virtual void disarm(Timer& timer) = 0;
};

class Timer {
  public:
    Timer(TimerHost& host, Boolean enabled, std::int32_t interval);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    Boolean Enabled() const { return enabled_; }
    // Enabling a timer that already runs does not restart its interval.
    void setEnabled(Boolean enabled);
    std::int32_t Interval() const { return interval_; }
    void setInterval(std::int32_t ms);

    std::function<void()> onTimer;

    // Called by the host when an interval has passed; enters the game through
    // the dispatch point.
    void tick();
    bool armed() const { return armed_; }

  private:
    void update();

    TimerHost& host_;
    Boolean enabled_;
    std::int32_t interval_;
    bool armed_ = false;
};

// A clock the caller moves by hand. Ticks fire in time order, each at its
// timer's due time; handlers may enable and disable timers as they go.
class ManualTimerHost final : public TimerHost {
  public:
    void arm(Timer& timer, int intervalMs) override;
    void disarm(Timer& timer) override;

    // Moves the clock forward by `ms`, firing every tick that falls due.
    void advance(std::int64_t ms);
    // Fires `timer` once now if it is running, as if its interval had passed.
    void fire(Timer& timer);
    std::int64_t now() const { return now_; }

  private:
    struct Entry {
        std::int64_t due;
        int interval;
        std::uint64_t order;
    };
    std::map<Timer*, Entry> running_;
    std::int64_t now_ = 0;
    std::uint64_t nextOrder_ = 0;
};

}  // namespace platform
