#include "platform/form/CheckBox.h"

#include "platform/form/Container.h"
#include "platform/system/Dispatch.h"
#include "platform/web/form/Page.h"

namespace platform {

CheckBox::CheckBox(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption), foreColor_(design.foreColor) {
    backColor_ = design.backColor;
    peer_->id = pk_make(1, container.childHost().id);
    pk_caption(peer_->id, units(caption_), count(caption_));
    listen(
        peer_->id,
        [](void* self) {
            auto* box = static_cast<CheckBox*>(self);
            Dispatcher::runFromCallback([box] {
                box->value_ = box->value_ == 1 ? 0 : 1;
                if (box->onClick) box->onClick();
            });
            // If the event did not reach the game the face must not lie.
            box->showValue();
        },
        this);
    attached();
}

void CheckBox::applyColors() {
    if (peer_->id) pk_colors(peer_->id, backColor_, foreColor_);
}

void CheckBox::showValue() {
    pk_pressed(peer_->id, value_ == 1);
}

}  // namespace platform
