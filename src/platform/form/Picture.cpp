#include "platform/form/Picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "platform/form/GifDecoder.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"

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
    GifPicture gif = decodeFirstGifImage(data, length, kPictureAllocationLimit);
    if (!gif.problem.empty())
        throw RuntimeError(kInvalidPicture,
                           fillIn(trText("RuntimeError", "Invalid picture: %1"), {gif.problem}),
                           name);
    return Picture(gif.image);
}

}  // namespace platform
