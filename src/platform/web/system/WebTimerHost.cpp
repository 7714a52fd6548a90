#include "platform/web/system/WebTimerHost.h"

#include <cstdint>

#include "platform/web/form/Page.h"

namespace platform {

// The timer itself is the key the page calls back with (pk_event_timer).
void WebTimerHost::arm(Timer& timer, int intervalMs) {
    pk_timer_arm(reinterpret_cast<std::uintptr_t>(&timer), intervalMs);
}

void WebTimerHost::disarm(Timer& timer) {
    pk_timer_disarm(reinterpret_cast<std::uintptr_t>(&timer));
}

}  // namespace platform
