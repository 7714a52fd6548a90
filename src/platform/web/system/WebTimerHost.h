#pragma once
// Real time, through the browser's timers.

#include "platform/system/Timer.h"

namespace platform {

class WebTimerHost final : public TimerHost {
  public:
    void arm(Timer& timer, int intervalMs) override;
    void disarm(Timer& timer) override;
};

}  // namespace platform
