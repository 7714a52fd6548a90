// The web's side of every control: an element of the page placed, shown,
// enabled and focused as the control says.

#include "platform/form/Control.h"

#include <algorithm>
#include <cmath>

#include "platform/form/Container.h"
#include "platform/web/form/Page.h"

namespace platform {

namespace {
int toPx(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
}  // namespace

Control::Control(Container* container, Rect designTwips)
    : container_(container), rect_(designTwips), peer_(std::make_unique<ControlPeer>()) {}

Control::~Control() {
    if (peer_ && peer_->id) forget(peer_->id);
}

void Control::attached() {
    applyGeometry();
    applyColors();
    pk_visible(peer_->id, visible_ != 0);
}

void Control::applyGeometry() {
    if (!peer_->id) return;
    const int x = toPx(rect_.left), y = toPx(rect_.top);
    const int r = toPx(rect_.left + rect_.width), b = toPx(rect_.top + rect_.height);
    pk_place(peer_->id, x, y, std::max(0, r - x), std::max(0, b - y));
}

void Control::setVisible(Boolean visible) {
    visible_ = visible ? True : False;
    if (peer_->id) pk_visible(peer_->id, visible_ != 0);
}

void Control::SetFocus() {
    if (peer_->id) pk_focus(peer_->id);
}

void Control::setEnabled(Boolean enabled) {
    enabled_ = enabled ? True : False;
    if (peer_->id) pk_enabled(peer_->id, enabled_ != 0);
}

}  // namespace platform
