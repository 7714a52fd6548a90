// What a command button is apart from how a backend shows it: a loaded
// element copies element 0, and only an enabled button takes a click.

#include "platform/form/CommandButton.h"
#include "platform/system/Dispatch.h"

namespace platform {

std::unique_ptr<CommandButton> CommandButton::copyOf(const CommandButton& e) {
    auto c =
        std::make_unique<CommandButton>(*e.container_, Design{e.rect_, e.caption_, e.backColor_});
    c->setEnabled(e.enabled_);
    return c;
}

void CommandButton::clickAsPlayer() {
    Dispatcher::run([this] {
        if (enabled_ && onClick) onClick();
    });
}

}  // namespace platform
