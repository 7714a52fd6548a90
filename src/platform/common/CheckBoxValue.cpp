// A check box's value and its click: the same on every backend, which only
// shows the value (showValue) and reports a player's toggle.

#include "platform/common/InvalidProperty.h"
#include "platform/form/CheckBox.h"
#include "platform/system/Dispatch.h"

namespace platform {

std::unique_ptr<CheckBox> CheckBox::copyOf(const CheckBox& e) {
    auto c = std::make_unique<CheckBox>(*e.container_,
                                        Design{e.rect_, e.caption_, e.backColor_, e.foreColor_});
    c->setEnabled(e.enabled_);
    return c;
}

void CheckBox::setValue(std::int16_t value) {
    if (value < 0 || value > 2) invalidProperty("Value");
    if (value == value_) return;
    value_ = value;
    showValue();
    if (onClick) onClick();
}

void CheckBox::clickAsPlayer() {
    Dispatcher::run([this] {
        if (!enabled_) return;
        value_ = value_ == 1 ? 0 : 1;
        showValue();
        if (onClick) onClick();
    });
}

}  // namespace platform
