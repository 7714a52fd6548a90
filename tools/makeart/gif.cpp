#include "gif.h"

#include <algorithm>
#include <stdexcept>

namespace makeart {
namespace {

constexpr int kMaxCodes = 4096;  // codes are at most 12 bits wide

// Packs variable-width codes least significant bit first, as GIF wants.
class BitWriter {
  public:
    void write(int code, int width) {
        buffer_ |= static_cast<std::uint32_t>(code) << filled_;
        filled_ += width;
        while (filled_ >= 8) {
            bytes_.push_back(static_cast<char>(buffer_ & 0xFF));
            buffer_ >>= 8;
            filled_ -= 8;
        }
    }
    QByteArray finish() {
        if (filled_ > 0) bytes_.push_back(static_cast<char>(buffer_ & 0xFF));
        buffer_ = 0;
        filled_ = 0;
        return bytes_;
    }

  private:
    QByteArray bytes_;
    std::uint32_t buffer_ = 0;
    int filled_ = 0;
};

QByteArray compress(const std::vector<std::uint8_t>& pixels, int minCodeSize) {
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    // children[code * 256 + pixel] is the code for "code's string + pixel",
    // or 0 when there is none yet (no string ever gets a code below endCode).
    std::vector<std::uint16_t> children(static_cast<std::size_t>(kMaxCodes) * 256);
    int codeSize = minCodeSize + 1;
    int nextCode = endCode + 1;
    BitWriter out;

    out.write(clearCode, codeSize);
    int prefix = pixels.front();
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const int pixel = pixels[i];
        std::uint16_t& child = children[static_cast<std::size_t>(prefix) * 256 + pixel];
        if (child != 0) {
            prefix = child;
            continue;
        }
        out.write(prefix, codeSize);
        if (nextCode == kMaxCodes) {
            // The table is full: start afresh rather than keep emitting
            // 12-bit codes from a dictionary that no longer fits the data.
            out.write(clearCode, codeSize);
            std::fill(children.begin(), children.end(), 0);
            codeSize = minCodeSize + 1;
            nextCode = endCode + 1;
        } else {
            // The decoder adds each entry one code later than we do, so it
            // widens its codes when the entry we are about to add is the
            // first that does not fit; widen at the same point.
            if (nextCode == (1 << codeSize) && codeSize < 12) ++codeSize;
            child = static_cast<std::uint16_t>(nextCode++);
        }
        prefix = pixel;
    }
    out.write(prefix, codeSize);
    // The decoder still adds one entry after the last code, possibly widening.
    if (nextCode == (1 << codeSize) && codeSize < 12) ++codeSize;
    out.write(endCode, codeSize);
    return out.finish();
}

void putWord(QByteArray& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void putByte(QByteArray& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
}

}  // namespace

QByteArray encodeGif(const IndexedImage& image) {
    if (image.width <= 0 || image.height <= 0 || image.width > 0xFFFF || image.height > 0xFFFF)
        throw std::invalid_argument("GIF image size out of range");
    if (image.palette.empty() || image.palette.size() > 256)
        throw std::invalid_argument("GIF palette must have 1 to 256 colours");
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        throw std::invalid_argument("GIF pixel count does not match its size");
    const auto paletteSize = static_cast<int>(image.palette.size());
    if (std::any_of(image.pixels.begin(), image.pixels.end(),
                    [paletteSize](std::uint8_t index) { return index >= paletteSize; }))
        throw std::invalid_argument("GIF pixel index past the palette");
    if (image.transparentIndex >= paletteSize)
        throw std::invalid_argument("GIF transparent index past the palette");

    // The colour table holds a power of two entries, at least two.
    int tableBits = 1;
    while ((1 << tableBits) < paletteSize) ++tableBits;

    QByteArray out("GIF89a");
    putWord(out, image.width);
    putWord(out, image.height);
    putByte(out, 0x80 | ((tableBits - 1) << 4) | (tableBits - 1));
    putByte(out, 0);  // background colour index
    putByte(out, 0);  // square pixels
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb c = i < paletteSize ? image.palette[i] : qRgb(0, 0, 0);
        putByte(out, qRed(c));
        putByte(out, qGreen(c));
        putByte(out, qBlue(c));
    }

    if (image.transparentIndex >= 0) {
        putByte(out, 0x21);  // extension
        putByte(out, 0xF9);  // graphic control
        putByte(out, 4);
        putByte(out, 0x01);  // transparency on, no disposal
        putWord(out, 0);     // no delay
        putByte(out, image.transparentIndex);
        putByte(out, 0);
    }

    putByte(out, 0x2C);  // image descriptor
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, image.width);
    putWord(out, image.height);
    putByte(out, 0);  // no local table, not interlaced

    const int minCodeSize = std::max(2, tableBits);
    putByte(out, minCodeSize);
    const QByteArray data = compress(image.pixels, minCodeSize);
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype length = std::min<qsizetype>(255, data.size() - at);
        putByte(out, static_cast<int>(length));
        out.append(data.constData() + at, length);
    }
    putByte(out, 0);     // end of image data
    putByte(out, 0x3B);  // trailer
    return out;
}

}  // namespace makeart
