#pragma once
// Pictures as the toolkit's images, for the desktop backend and its tests.

#include <QImage>

#include "platform/form/Picture.h"

namespace platform {

// Shares the picture's pixels: valid only while `picture` (or a copy of it)
// lives, and read-only.
QImage imageView(const Picture& picture);
// A copy that outlives the picture.
QImage imageCopy(const Picture& picture);
// The image's pixels, copied into a picture.
Picture pictureOf(const QImage& image);

}  // namespace platform
