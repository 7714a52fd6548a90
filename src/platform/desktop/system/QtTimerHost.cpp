#include "platform/desktop/system/QtTimerHost.h"

#include <QTimer>
#include <map>

#include "platform/system/Dispatch.h"

namespace platform {

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
                         [t] { Dispatcher::runFromCallback([t] { t->tick(); }); });
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

}  // namespace platform
