// makeart SOURCE_ROOT: draws the game's pictures and the window icon and
// writes them as GIF files into the source tree, where they are committed;
// the icon also as large PNG files for desktops that show big icons.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "gif.h"
#include "scenes.h"

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    std::printf("%s: %lld bytes\n", qPrintable(QDir::toNativeSeparators(path)),
                static_cast<long long>(bytes.size()));
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "png")) throw std::runtime_error("cannot encode a PNG picture");
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing needs no screen; the offscreen platform works everywhere.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeart SOURCE_ROOT\n");
        return 2;
    }
    if (!QFontDatabase::families().contains("IPAPGothic"))
        std::fprintf(stderr, "makeart: IPAPGothic is missing; lettering will differ\n");
    try {
        const QDir root(QString::fromLocal8Bit(argv[1]));
        if (!root.mkpath("game/img") || !root.mkpath("src/app") || !root.mkpath("packaging/icons"))
            throw std::runtime_error("cannot create the output folders");
        for (const QString& name : makeart::sceneNames()) {
            const auto image = makeart::quantize(makeart::drawScene(name));
            write(root.filePath("game/img/" + name + ".gif"), makeart::encodeGif(image));
        }
        write(root.filePath("src/app/icon.gif"),
              makeart::encodeGif(makeart::quantize(makeart::drawIcon())));
        for (int size : {128, 256})
            write(root.filePath(QString("packaging/icons/%1.png").arg(size)),
                  png(makeart::drawIcon(size)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "makeart: %s\n", e.what());
        return 1;
    }
    return 0;
}
