#pragma once
// Real time, through the toolkit's timers.

#include <memory>

#include "platform/system/Timer.h"

namespace platform {

class QtTimerHost final : public TimerHost {
  public:
    QtTimerHost();
    ~QtTimerHost() override;
    void arm(Timer& timer, int intervalMs) override;
    void disarm(Timer& timer) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
