#include "platform/Picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <algorithm>

#include "platform/Errors.h"
#include "platform/GifCheck.h"
#include "platform/Language.h"

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
    if (!info.exists())
        throw RuntimeError(kFileNotFound, trText("RuntimeError", "File not found"), name);
    if (!info.isFile())
        throw RuntimeError(75, trText("RuntimeError", "The picture is not a file"), name);

    // One read of the file serves both the structure check and the decoder.
    QFile bytes(file);
    if (!bytes.open(QIODevice::ReadOnly))
        throw RuntimeError(75, trText("RuntimeError", "The picture cannot be read"), name);
    QByteArray copy;  // only where the file cannot be mapped (a compressed resource)
    const uchar* data = bytes.map(0, bytes.size());
    auto length = static_cast<std::size_t>(bytes.size());
    if (!data) {
        copy = bytes.readAll();
        data = reinterpret_cast<const uchar*>(copy.constData());
        length = static_cast<std::size_t>(copy.size());
    }
    QByteArray view = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                              static_cast<qsizetype>(length));
    QBuffer buffer(&view);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(static_cast<int>(kPictureAllocationLimit / (1024 * 1024)));
    if (reader.format() != "gif") {
        throw RuntimeError(kInvalidPicture,
                           trText("RuntimeError", "Invalid picture: the file is not a GIF picture"),
                           name);
    }
    // The decoder shows damaged data as black and sizes its canvas by a
    // screen it does not report: look at the structure first.
    const GifCheck gif = checkGif(data, length);
    if (!gif.problem.empty())
        throw RuntimeError(kInvalidPicture,
                           fillIn(trText("RuntimeError", "Invalid picture: %1"), {gif.problem}),
                           name);
    // Refuse absurd sizes before anything is allocated for them.
    const QSize size = reader.size();
    const long long width = std::max<long long>(gif.canvasWidth, size.width());
    const long long height = std::max<long long>(gif.canvasHeight, size.height());
    if (4 * width * height > kPictureAllocationLimit) {
        throw RuntimeError(
            kInvalidPicture,
            fillIn(trText("RuntimeError", "Invalid picture: %1 x %2 pixels is too large to show"),
                   {std::to_string(width), std::to_string(height)}),
            name);
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        throw RuntimeError(kInvalidPicture,
                           fillIn(trText("RuntimeError", "Invalid picture: %1"),
                                  {reader.errorString().toStdString()}),
                           name);
    }
    return Picture(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

}  // namespace platform
