#include "platform/form/CommandButton.h"

#include "platform/desktop/form/ControlSupport.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/form/Container.h"
#include "platform/system/Dispatch.h"

namespace platform {

CommandButton::CommandButton(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption) {
    backColor_ = design.backColor;
    auto* w = new ButtonWidget(literalButtonText(caption_), container.childHost().widget);
    w->setAutoFillBackground(true);
    QObject::connect(w, &QPushButton::clicked, [this] {
        Dispatcher::runFromCallback([this] {
            if (onClick) onClick();
        });
    });
    peer_->widget = w;
    attached();
}

void CommandButton::setCaption(Text caption) {
    caption_ = std::move(caption);
    static_cast<QPushButton*>(peer_->widget.data())->setText(literalButtonText(caption_));
}

void CommandButton::applyColors() {
    if (!peer_->widget.data()) return;
    QPalette pal = peer_->widget.data()->palette();
    // The face keeps its colour when disabled: a played scene shows black.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Button, toQColor(backColor_));
        pal.setColor(group, QPalette::Window, toQColor(backColor_));
    }
    peer_->widget.data()->setPalette(pal);
}

}  // namespace platform
