#include "platform/form/Container.h"

#include "platform/common/InvalidProperty.h"
#include "platform/form/Units.h"

namespace platform {

double Container::xToTwips(double x) const {
    return (x - scale_.left) * interiorWidthPx() * kTwipsPerPixel / scale_.width;
}
double Container::yToTwips(double y) const {
    return (y - scale_.top) * interiorHeightPx() * kTwipsPerPixel / scale_.height;
}
double Container::widthToTwips(double w) const {
    return w * interiorWidthPx() * kTwipsPerPixel / scale_.width;
}
double Container::heightToTwips(double h) const {
    return h * interiorHeightPx() * kTwipsPerPixel / scale_.height;
}

// Reading back goes through double and ends in single precision, so a value
// written in user units reads back as exactly that value.
float Container::xFromTwips(double tw) const {
    const double w = interiorWidthPx() * kTwipsPerPixel;
    return static_cast<float>(w > 0 ? scale_.left + tw * scale_.width / w : scale_.left);
}
float Container::yFromTwips(double tw) const {
    const double h = interiorHeightPx() * kTwipsPerPixel;
    return static_cast<float>(h > 0 ? scale_.top + tw * scale_.height / h : scale_.top);
}
float Container::widthFromTwips(double tw) const {
    const double w = interiorWidthPx() * kTwipsPerPixel;
    return static_cast<float>(w > 0 ? tw * scale_.width / w : 0);
}
float Container::heightFromTwips(double tw) const {
    const double h = interiorHeightPx() * kTwipsPerPixel;
    return static_cast<float>(h > 0 ? tw * scale_.height / h : 0);
}

void Container::setScaleLeft(float v) {
    scale_.left = v;
    scaleMode_ = kUser;
}
void Container::setScaleTop(float v) {
    scale_.top = v;
    scaleMode_ = kUser;
}
void Container::setScaleWidth(float v) {
    if (v == 0) invalidProperty("ScaleWidth");
    scale_.width = v;
    scaleMode_ = kUser;
}
void Container::setScaleHeight(float v) {
    if (v == 0) invalidProperty("ScaleHeight");
    scale_.height = v;
    scaleMode_ = kUser;
}

void Container::setScaleMode(std::int16_t mode) {
    if (mode != kUser && mode != kTwips && mode != kPixels) invalidProperty("ScaleMode");
    scaleMode_ = mode;
    resetScaleToMode();
}

void Container::resetScaleToMode() {
    if (scaleMode_ == kUser) return;
    const double unit = scaleMode_ == kPixels ? 1.0 : kTwipsPerPixel;
    scale_ = Scale{0, 0, static_cast<float>(interiorWidthPx() * unit),
                   static_cast<float>(interiorHeightPx() * unit)};
}

void Container::interiorResized() {
    resetScaleToMode();
}

}  // namespace platform
