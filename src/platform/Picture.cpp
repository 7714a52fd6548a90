#include "platform/Picture.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include "platform/Errors.h"

namespace platform {

namespace {
const QImage& emptyImage() {
    static const QImage empty;
    return empty;
}
}  // namespace

Picture::Picture() = default;
Picture::Picture(const QImage& image) : image_(std::make_shared<const QImage>(image)) {}
Picture::~Picture() = default;
Picture::Picture(const Picture&) = default;
Picture& Picture::operator=(const Picture&) = default;

bool Picture::isEmpty() const {
    return !image_ || image_->isNull();
}
int Picture::widthPx() const {
    return image_ ? image_->width() : 0;
}
int Picture::heightPx() const {
    return image_ ? image_->height() : 0;
}
const QImage& Picture::image() const {
    return image_ ? *image_ : emptyImage();
}

Picture LoadPicture(const Text& path) {
    const QString file = QString::fromStdU16String(path);
    const std::string name = toUtf8(path);
    const QFileInfo info(file);
    if (!info.exists()) throw RuntimeError(kFileNotFound, "File not found", name);
    if (!info.isFile()) throw RuntimeError(75, "The picture is not a file", name);

    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    // Refuse absurd sizes before anything is allocated for them.
    reader.setAllocationLimit(static_cast<int>(kPictureAllocationLimit / (1024 * 1024)));
    const QSize size = reader.size();
    if (size.isValid() && 4ll * size.width() * size.height() > kPictureAllocationLimit) {
        throw RuntimeError(kInvalidPicture,
                           "Invalid picture: " + std::to_string(size.width()) + " x " +
                               std::to_string(size.height()) + " pixels is too large to show",
                           name);
    }
    if (reader.format() != "gif") {
        throw RuntimeError(kInvalidPicture, "Invalid picture: the file is not a GIF picture", name);
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        throw RuntimeError(kInvalidPicture,
                           "Invalid picture: " + reader.errorString().toStdString(), name);
    }
    return Picture(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

}  // namespace platform
