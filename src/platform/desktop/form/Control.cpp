// The desktop's side of every control: a widget placed, shown, enabled and
// focused as the control says.

#include "platform/form/Control.h"

#include <algorithm>

#include "platform/desktop/form/ControlSupport.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/form/Container.h"

namespace platform {

Control::Control(Container* container, Rect designTwips)
    : container_(container), rect_(designTwips), peer_(std::make_unique<ControlPeer>()) {}

Control::~Control() {
    if (peer_ && peer_->widget) delete peer_->widget.data();
}

void Control::attached() {
    applyGeometry();
    applyColors();
    peer_->widget->setVisible(visible_ != 0);
}

void Control::applyGeometry() {
    QWidget* w = peer_->widget;
    if (!w) return;
    const int x = toPx(rect_.left), y = toPx(rect_.top);
    const int r = toPx(rect_.left + rect_.width), b = toPx(rect_.top + rect_.height);
    w->setGeometry(x, y, std::max(0, r - x), std::max(0, b - y));
}

void Control::setVisible(Boolean visible) {
    visible_ = visible ? True : False;
    if (QWidget* w = peer_->widget) w->setVisible(visible_ != 0);
}

void Control::SetFocus() {
    QWidget* w = peer_->widget;
    if (auto* button = dynamic_cast<ButtonWidget*>(w))
        button->focusFromProgram();
    else
        w->setFocus(Qt::OtherFocusReason);
}

void Control::setEnabled(Boolean enabled) {
    enabled_ = enabled ? True : False;
    if (QWidget* w = peer_->widget) w->setEnabled(enabled_ != 0);
}

}  // namespace platform
