#include "platform/form/Control.h"

#include <algorithm>

#include "platform/form/Container.h"
#include "platform/form/ControlSupport.h"
#include "platform/form/Widgets.h"

namespace platform {

Control::Control(Container* container, Rect designTwips)
    : container_(container), rect_(designTwips), peer_(std::make_unique<ControlPeer>()) {}

Control::~Control() {
    if (peer_ && peer_->widget) delete peer_->widget.data();
}

QWidget* Control::widget() const {
    return peer_->widget;
}

void Control::attach(QWidget* widget) {
    peer_->widget = widget;
    applyGeometry();
    applyColors();
    widget->setVisible(visible_ != 0);
}

void Control::applyGeometry() {
    QWidget* w = widget();
    if (!w) return;
    const int x = toPx(rect_.left), y = toPx(rect_.top);
    const int r = toPx(rect_.left + rect_.width), b = toPx(rect_.top + rect_.height);
    w->setGeometry(x, y, std::max(0, r - x), std::max(0, b - y));
}

void Control::setVisible(Boolean visible) {
    visible_ = visible ? True : False;
    if (widget()) widget()->setVisible(visible_ != 0);
}

void Control::SetFocus() {
    QWidget* w = widget();
    if (auto* button = dynamic_cast<ButtonWidget*>(w))
        button->focusFromProgram();
    else
        w->setFocus(Qt::OtherFocusReason);
}

void Control::setEnabled(Boolean enabled) {
    enabled_ = enabled ? True : False;
    if (widget()) widget()->setEnabled(enabled_ != 0);
}

void Control::setBackColor(OleColor color) {
    backColor_ = color;
    applyColors();
}

float Control::Left() const {
    return container_->xFromTwips(rect_.left);
}
float Control::Top() const {
    return container_->yFromTwips(rect_.top);
}
float Control::Width() const {
    return container_->widthFromTwips(rect_.width);
}
float Control::Height() const {
    return container_->heightFromTwips(rect_.height);
}

void Control::setLeft(float left) {
    rect_.left = container_->xToTwips(left);
    applyGeometry();
}
void Control::setTop(float top) {
    rect_.top = container_->yToTwips(top);
    applyGeometry();
}
void Control::setWidth(float width) {
    if (width < 0) invalidProperty("Width");
    rect_.width = container_->widthToTwips(width);
    applyGeometry();
}
void Control::setHeight(float height) {
    if (height < 0) invalidProperty("Height");
    rect_.height = container_->heightToTwips(height);
    applyGeometry();
}

void Control::Move(float left, float top, float width, float height) {
    if (width < 0 || height < 0) invalidProperty("Move");
    rect_ = Rect{container_->xToTwips(left), container_->yToTwips(top),
                 container_->widthToTwips(width), container_->heightToTwips(height)};
    applyGeometry();
}

}  // namespace platform
