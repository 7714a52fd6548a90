// What a picture box does with pictures, the same on every backend: a box
// that takes its picture's size grows to it, and a paint is placed in the
// box's scale; the backend only draws the pixels.

#include "platform/form/PictureBox.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"

namespace platform {

void PictureBox::setPicture(Picture picture) {
    picture_ = std::move(picture);
    if (autoSize_ && !picture_.isEmpty()) {
        const int border = borderPx();
        rect_.width = (picture_.widthPx() + 2 * border) * kTwipsPerPixel;
        rect_.height = (picture_.heightPx() + 2 * border) * kTwipsPerPixel;
        applyGeometry();
        resizeSurface();
    }
    Cls();
}

void PictureBox::PaintPicture(const Picture& picture, float x1, float y1, float width1,
                              float height1, float x2, float y2, float width2, float height2) {
    if (picture.isEmpty())
        throw RuntimeError(kInvalidPicture,
                           trText("RuntimeError", "Invalid picture: nothing to paint"));
    auto px = [](double twips) { return twips / kTwipsPerPixel; };
    paintStretched(
        picture,
        {px(xToTwips(x2)), px(yToTwips(y2)), px(widthToTwips(width2)), px(heightToTwips(height2))},
        {px(xToTwips(x1)), px(yToTwips(y1)), px(widthToTwips(width1)), px(heightToTwips(height1))});
}

}  // namespace platform
