#include "platform/form/CommandButton.h"

#include "platform/form/Container.h"
#include "platform/system/Dispatch.h"
#include "platform/web/form/Page.h"

namespace platform {

CommandButton::CommandButton(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption) {
    backColor_ = design.backColor;
    peer_->id = pk_make(2, container.childHost().id);
    pk_caption(peer_->id, units(caption_), count(caption_));
    listen(
        peer_->id,
        [](void* self) {
            auto* button = static_cast<CommandButton*>(self);
            Dispatcher::runFromCallback([button] {
                if (button->onClick) button->onClick();
            });
        },
        this);
    attached();
}

void CommandButton::setCaption(Text caption) {
    caption_ = std::move(caption);
    pk_caption(peer_->id, units(caption_), count(caption_));
}

void CommandButton::applyColors() {
    // The face keeps its colour when disabled: a played scene shows black.
    if (peer_->id) pk_colors(peer_->id, backColor_, -1);
}

}  // namespace platform
