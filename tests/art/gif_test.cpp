#include "gif.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/GifCheck.h"
#include "scenes.h"

namespace {

using makeart::IndexedImage;

QImage decode(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Pixels scattered over the whole palette by a fixed generator: noise is
// the worst case for LZW, so it fills the code table soonest.
IndexedImage noise(int width, int height, int colours, std::uint32_t seed = 7) {
    IndexedImage image{width, height, {}, {}, -1};
    for (int i = 0; i < colours; ++i)
        image.palette.push_back(qRgb((i * 67) % 256, (i * 151 + 13) % 256, 255 - i));
    for (int i = 0; i < width * height; ++i) {
        seed = seed * 1664525u + 1013904223u;
        image.pixels.push_back(static_cast<std::uint8_t>((seed >> 16) % colours));
    }
    return image;
}

// Checks the file through the game's own structure check, which is strict
// about the code stream where Qt's reader forgives a misread end code, and
// through Qt's reader, pixel by pixel.
void expectRoundTrip(const IndexedImage& image) {
    const QByteArray gif = makeart::encodeGif(image);
    EXPECT_EQ(platform::checkGif(reinterpret_cast<const std::uint8_t*>(gif.constData()),
                                 static_cast<std::size_t>(gif.size()))
                  .problem,
              "");

    const QImage decoded = decode(gif);
    EXPECT_EQ(decoded.size(), QSize(image.width, image.height));
    if (decoded.size() != QSize(image.width, image.height)) return;
    int mismatches = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int index = image.pixels[static_cast<std::size_t>(y) * image.width + x];
            const QRgb got = decoded.pixel(x, y);
            const bool same = index == image.transparentIndex
                                  ? qAlpha(got) == 0
                                  : got == (image.palette[index] | 0xFF000000u);
            if (!same && ++mismatches <= 3)
                ADD_FAILURE() << image.width << "x" << image.height << " differs at " << x << ","
                              << y;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(GifEncoder, RoundTrips) {
    std::vector<std::pair<std::string, IndexedImage>> images;
    // Each power of two and the sizes just past it change the colour table's
    // size field and the starting code width.
    for (int colours : {1, 2, 3, 4, 5, 8, 9, 16, 17, 64, 128, 129, 255, 256})
        images.push_back({std::to_string(colours) + " colours", noise(37, 23, colours)});
    // 60,000 noise pixels in 256 colours need far more than 4096 codes, so
    // the table fills and restarts many times; with two or four colours the
    // strings grow long and the code width climbs from 3 bits to 12.
    images.push_back({"full table, 256 colours", noise(300, 200, 256)});
    images.push_back({"full table, 2 colours", noise(256, 256, 2, 99)});
    images.push_back({"full table, 4 colours", noise(200, 200, 4, 5)});
    IndexedImage runs{500, 300, {}, {}, -1};
    for (int i = 0; i < 256; ++i) runs.palette.push_back(qRgb(i, i, 255 - i));
    for (int y = 0; y < runs.height; ++y)
        for (int x = 0; x < runs.width; ++x)
            runs.pixels.push_back(static_cast<std::uint8_t>((x / 7 + y / 3) % 256));
    images.push_back({"long runs", runs});
    for (QSize size : {QSize(1, 1), QSize(1, 300), QSize(300, 1), QSize(2000, 3), QSize(3, 1999)})
        images.push_back({"odd size", noise(size.width(), size.height(), 6)});
    // Short rows end the stream at every point between code-width steps,
    // including just where the reader widens its codes before the end code.
    for (int length = 1; length <= 40; ++length)
        images.push_back({"row of " + std::to_string(length), noise(length, 1, 3, length)});
    IndexedImage transparent = noise(40, 30, 12);
    transparent.transparentIndex = 5;
    images.push_back({"transparent entry", transparent});
    for (const auto& [name, image] : images) {
        SCOPED_TRACE(name);
        expectRoundTrip(image);
    }
}

TEST(GifEncoder, RefusesWhatAGifCannotHold) {
    IndexedImage tooMany = noise(4, 4, 256);
    tooMany.palette.push_back(qRgb(1, 2, 3));
    EXPECT_THROW(makeart::encodeGif(tooMany), std::invalid_argument);
    IndexedImage pastPalette = noise(4, 4, 3);
    pastPalette.pixels[9] = 3;
    EXPECT_THROW(makeart::encodeGif(pastPalette), std::invalid_argument);
    EXPECT_THROW(makeart::encodeGif(IndexedImage{}), std::invalid_argument);
}

// 10 * 8 * 3 = 240 colours all fit, so none may be merged; the icon's
// see-through corners must stay see-through.
TEST(Quantize, KeepsAFewColoursAndSeeThroughPixelsExactly) {
    QImage image(50, 40, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 10 * 25, y % 8 * 30, (x + y) % 3 * 100));
    const QImage decoded = decode(makeart::encodeGif(makeart::quantize(image)));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(decoded.pixel(x, y), image.pixel(x, y)) << x << "," << y;

    const IndexedImage icon = makeart::quantize(makeart::drawIcon());
    ASSERT_GE(icon.transparentIndex, 0);
    const QImage shown = decode(makeart::encodeGif(icon));
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(makeart::kIconSize / 2, makeart::kIconSize / 2)), 255);
}

TEST(Quantize, ReducesAGradientCloselyAndTheSameWayEachTime) {
    constexpr int kSide = 128;
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) image.setPixel(x, y, qRgb(2 * x, 2 * y, x + y));
    const IndexedImage reduced = makeart::quantize(image);
    ASSERT_LE(reduced.palette.size(), 256u);
    const QByteArray bytes = makeart::encodeGif(reduced);
    EXPECT_EQ(bytes, makeart::encodeGif(makeart::quantize(image)));
    const QImage decoded = decode(bytes);
    double error = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const QRgb a = image.pixel(x, y), b = decoded.pixel(x, y);
            error += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                     std::abs(qBlue(a) - qBlue(b));
        }
    // 256 entries tile the ramp in cells about 8 pixels across, 16 levels of
    // red and of green, so even a good palette is off by about 3.5 levels on
    // average; one that wastes entries is off by far more (64 entries: 7).
    EXPECT_LT(error / (kSide * kSide * 3), 4.0);
}

// Desktops show the large icons next to the window's own: they must be the
// same drawing, not merely the same size. Shrunk back to the window icon's
// size they differ only by resampling.
TEST(Icon, LargeSizesAreTheWindowIconScaledUp) {
    const QImage small = makeart::drawIcon();
    for (int size : {128, 256}) {
        SCOPED_TRACE(size);
        const QImage large = makeart::drawIcon(size);
        ASSERT_EQ(large.size(), QSize(size, size));
        const QImage shrunk =
            large.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(small.format());
        double difference = 0;
        for (int y = 0; y < small.height(); ++y)
            for (int x = 0; x < small.width(); ++x) {
                const QRgb a = small.pixel(x, y), b = shrunk.pixel(x, y);
                difference += std::abs(qAlpha(a) - qAlpha(b)) + std::abs(qRed(a) - qRed(b)) +
                              std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            }
        EXPECT_LT(difference / (small.width() * small.height() * 4), 6.0);
        EXPECT_EQ(qAlpha(large.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(large.pixel(size / 2, size / 2)), 255);
    }
}

}  // namespace
