// gif2png IN OUT: writes the first image of a GIF file as PNG, for desktops
// that want their icons as PNG while the window keeps its GIF.

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: gif2png IN.gif OUT.png\n");
        return 2;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]), "gif");
    QImage image;
    if (!reader.read(&image)) {
        std::fprintf(stderr, "gif2png: %s: %s\n", argv[1], qPrintable(reader.errorString()));
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "png")) {
        std::fprintf(stderr, "gif2png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
