#include "platform/form/CommandButton.h"

#include "platform/form/Container.h"
#include "platform/form/ControlSupport.h"
#include "platform/form/Widgets.h"
#include "platform/system/Dispatch.h"

namespace platform {

CommandButton::CommandButton(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption) {
    backColor_ = design.backColor;
    auto* w = new ButtonWidget(literalButtonText(caption_), container.childHost());
    w->setAutoFillBackground(true);
    QObject::connect(w, &QPushButton::clicked, [this] {
        Dispatcher::runFromQt([this] {
            if (onClick) onClick();
        });
    });
    attach(w);
}

std::unique_ptr<CommandButton> CommandButton::copyOf(const CommandButton& e) {
    auto c =
        std::make_unique<CommandButton>(*e.container_, Design{e.rect_, e.caption_, e.backColor_});
    c->setEnabled(e.enabled_);
    return c;
}

void CommandButton::setCaption(Text caption) {
    caption_ = std::move(caption);
    static_cast<QPushButton*>(widget())->setText(literalButtonText(caption_));
}

void CommandButton::applyColors() {
    if (!widget()) return;
    QPalette pal = widget()->palette();
    // The face keeps its colour when disabled: a played scene shows black.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Button, toQColor(backColor_));
        pal.setColor(group, QPalette::Window, toQColor(backColor_));
    }
    widget()->setPalette(pal);
}

void CommandButton::clickAsPlayer() {
    Dispatcher::run([this] {
        if (enabled_ && onClick) onClick();
    });
}

}  // namespace platform
