#include "gif.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/decoders/GifDecoder.h"
#include "platform/desktop/form/PictureImage.h"
#include "scenes.h"

namespace {

using makeart::IndexedImage;

// Decoded as the game decodes its pictures.
QImage decode(const QByteArray& bytes) {
    const platform::GifPicture gif =
        platform::decodeFirstGifImage(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      static_cast<std::size_t>(bytes.size()), 1ll << 30);
    EXPECT_EQ(gif.problem, "");
    return platform::imageCopy(gif.picture).convertToFormat(QImage::Format_ARGB32);
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

void expectRoundTrip(const IndexedImage& image) {
    const QByteArray gif = makeart::encodeGif(image);
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

// giflib compresses; what is ours is the colour table (a power of two of
// entries, padded), the see-through entry and the image's extent.
TEST(GifEncoder, RoundTrips) {
    std::vector<std::pair<std::string, IndexedImage>> images;
    for (int colours : {1, 2, 3, 4, 5, 8, 9, 16, 17, 64, 128, 129, 255, 256})
        images.push_back({std::to_string(colours) + " colours", noise(37, 23, colours)});
    images.push_back({"larger than the code table", noise(300, 200, 256)});
    for (QSize size : {QSize(1, 1), QSize(1, 300), QSize(300, 1), QSize(2000, 3)})
        images.push_back({"odd size", noise(size.width(), size.height(), 6)});
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
