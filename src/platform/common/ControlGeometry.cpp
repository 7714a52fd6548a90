// A control's place and colour as the game reads and writes them, in its
// container's scale; the backend only ever sees twips (applyGeometry).

#include "platform/common/InvalidProperty.h"
#include "platform/form/Container.h"
#include "platform/form/Control.h"

namespace platform {

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
