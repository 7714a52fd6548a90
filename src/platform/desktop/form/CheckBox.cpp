#include "platform/form/CheckBox.h"

#include <QSignalBlocker>

#include "platform/desktop/form/ControlSupport.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/form/Container.h"
#include "platform/system/Dispatch.h"

namespace platform {

CheckBox::CheckBox(Container& container, const Design& design)
    : Control(&container, design.rect), caption_(design.caption), foreColor_(design.foreColor) {
    backColor_ = design.backColor;
    auto* w = new ButtonWidget(literalButtonText(caption_), container.childHost().widget);
    w->setCheckable(true);
    w->setAutoFillBackground(true);
    QObject::connect(w, &QPushButton::clicked, [this, w](bool checked) {
        Dispatcher::runFromCallback([this, w, checked] {
            (void)w;
            value_ = checked ? 1 : 0;
            if (onClick) onClick();
        });
        // If the event did not reach the game the face must not lie.
        showValue();
    });
    peer_->widget = w;
    attached();
}

void CheckBox::applyColors() {
    if (!peer_->widget.data()) return;
    QPalette pal = peer_->widget.data()->palette();
    pal.setColor(QPalette::Button, toQColor(backColor_));
    pal.setColor(QPalette::ButtonText, toQColor(foreColor_));
    pal.setColor(QPalette::Window, toQColor(backColor_));
    peer_->widget.data()->setPalette(pal);
}

void CheckBox::showValue() {
    auto* w = static_cast<QPushButton*>(peer_->widget.data());
    const QSignalBlocker block(w);
    w->setChecked(value_ == 1);
}

}  // namespace platform
