#include "platform/form/Picture.h"

#include <QFile>
#include <QFileInfo>

#include "platform/desktop/form/GifDecoder.h"
#include "platform/desktop/form/PictureImage.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"

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

Picture DecodePicture(const std::uint8_t* data, std::size_t size, const Text& name) {
    GifPicture gif = decodeFirstGifImage(data, size, kPictureAllocationLimit);
    if (!gif.problem.empty())
        throw RuntimeError(kInvalidPicture,
                           fillIn(trText("RuntimeError", "Invalid picture: %1"), {gif.problem}),
                           toUtf8(name));
    return std::move(gif.picture);
}

Picture LoadPicture(const Text& path) {
    const QString file = QString::fromStdU16String(path);
    const std::string name = toUtf8(path);
    const QFileInfo info(file);
    if (!info.exists())
        throw RuntimeError(kFileNotFound, trText("RuntimeError", "File not found"), name);
    if (!info.isFile())
        throw RuntimeError(75, trText("RuntimeError", "The picture is not a file"), name);

    QFile bytes(file);
    if (!bytes.open(QIODevice::ReadOnly))
        throw RuntimeError(75, trText("RuntimeError", "The picture cannot be read"), name);
    QByteArray copy;  // only where the file cannot be mapped
    const uchar* data = bytes.map(0, bytes.size());
    auto length = static_cast<std::size_t>(bytes.size());
    if (!data) {
        copy = bytes.readAll();
        data = reinterpret_cast<const uchar*>(copy.constData());
        length = static_cast<std::size_t>(copy.size());
    }
    return DecodePicture(data, length, path);
}

}  // namespace platform
