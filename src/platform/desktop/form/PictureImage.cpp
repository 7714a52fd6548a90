#include "platform/desktop/form/PictureImage.h"

namespace platform {

QImage imageView(const Picture& picture) {
    if (picture.isEmpty()) return {};
    return QImage(reinterpret_cast<const uchar*>(picture.pixels()), picture.widthPx(),
                  picture.heightPx(), picture.widthPx() * 4, QImage::Format_ARGB32_Premultiplied);
}

QImage imageCopy(const Picture& picture) {
    return imageView(picture).copy();
}

Picture pictureOf(const QImage& image) {
    if (image.isNull()) return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::vector<Picture::Pixel> pixels(static_cast<std::size_t>(argb.width()) * argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const Picture::Pixel*>(argb.constScanLine(y));
        std::copy(row, row + argb.width(),
                  pixels.begin() + static_cast<std::ptrdiff_t>(y) * argb.width());
    }
    return Picture(argb.width(), argb.height(), std::move(pixels));
}

}  // namespace platform
