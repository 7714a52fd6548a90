#include "platform/GifCheck.h"

#include <vector>

namespace platform {

namespace {

const char* const kCutOff = "the file ends inside its first image";

// The bytes of the file, read front to back; reading past the end is
// remembered rather than undefined.
class Cursor {
  public:
    Cursor(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    bool has(std::size_t n) const { return static_cast<std::size_t>(end_ - p_) >= n; }
    int byte() { return p_ == end_ ? -1 : *p_++; }
    int le16() { return has(2) ? (p_ += 2, p_[-2] | p_[-1] << 8) : -1; }
    bool skip(std::size_t n) {
        if (!has(n)) return false;
        p_ += n;
        return true;
    }
    // Skips a chain of sub-blocks up to its terminator.
    bool skipSubBlocks() {
        for (;;) {
            const int n = byte();
            if (n < 0) return false;
            if (n == 0) return true;
            if (!skip(static_cast<std::size_t>(n))) return false;
        }
    }

  private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

// The image data: variable-width codes, least significant bit first, spread
// over sub-blocks.
class CodeReader {
  public:
    explicit CodeReader(Cursor& in) : in_(in) {}
    // The next code, or -1 once the data has ended (see cutOff()).
    int next(int width) {
        while (bits_ < width) {
            const int b = nextByte();
            if (b < 0) return -1;
            acc_ |= static_cast<std::uint32_t>(b) << bits_;
            bits_ += 8;
        }
        const int code = static_cast<int>(acc_ & ((1u << width) - 1));
        acc_ >>= width;
        bits_ -= width;
        return code;
    }
    bool cutOff() const { return cutOff_; }

  private:
    int nextByte() {
        if (left_ == 0) {
            if (ended_) return -1;
            const int n = in_.byte();
            if (n <= 0) {
                ended_ = true;
                cutOff_ = n < 0;
                return -1;
            }
            left_ = n;
        }
        const int b = in_.byte();
        if (b < 0) {
            ended_ = cutOff_ = true;
            return -1;
        }
        --left_;
        return b;
    }

    Cursor& in_;
    int left_ = 0;
    bool ended_ = false;
    bool cutOff_ = false;
    std::uint32_t acc_ = 0;
    int bits_ = 0;
};

std::size_t tableBytes(int flags) {
    return (flags & 0x80) ? 3u * (2u << (flags & 7)) : 0;
}

// Decodes the codes far enough to know that each names an entry of the
// table and that each pixel names a colour of the colour table; stops once
// the image is full. Data that ends early, with or without its end code,
// leaves pixels unset, which decoders accept.
std::string checkImageData(Cursor& in, std::int64_t pixelsNeeded, int colours) {
    const int minCodeSize = in.byte();
    if (minCodeSize < 0) return kCutOff;
    if (minCodeSize < 1 || minCodeSize > 11)
        return "its first image is damaged (LZW code size " + std::to_string(minCodeSize) + ")";
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int width = minCodeSize + 1;
    int next = end + 1;
    int previous = -1;
    std::vector<std::uint16_t> length(4096, 1);
    CodeReader codes(in);
    std::int64_t pixels = 0;
    while (pixels < pixelsNeeded) {
        const int code = codes.next(width);
        if (code < 0) return codes.cutOff() ? kCutOff : std::string();
        if (code == clear) {
            width = minCodeSize + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (code == end) break;
        int n;
        if (code < clear) {
            if (colours > 0 && code >= colours)
                return "its first image uses colour " + std::to_string(code) + " of a table of " +
                       std::to_string(colours);
            n = 1;
        } else if (previous < 0 || code > next) {
            return "its first image is damaged (LZW code " + std::to_string(code) +
                   " names no entry)";
        } else {
            n = code == next ? length[previous] + 1 : length[code];
        }
        if (previous >= 0 && next < 4096) {
            length[next] = static_cast<std::uint16_t>(length[previous] + 1);
            if (++next == 1 << width && width < 12) ++width;
        }
        pixels += n;
        previous = code;
    }
    return {};
}

}  // namespace

GifCheck checkGif(const std::uint8_t* data, std::size_t size) {
    GifCheck out;
    Cursor in(data, size);
    if (!in.has(13) || !in.skip(6)) {
        out.problem = "the file ends inside its header";
        return out;
    }
    const int screenWidth = in.le16();
    const int screenHeight = in.le16();
    const int screenFlags = in.byte();
    in.skip(2);  // background colour, aspect ratio
    if (!in.skip(tableBytes(screenFlags))) {
        out.problem = "the file ends inside its colour table";
        return out;
    }
    const int globalColours = (screenFlags & 0x80) ? 2 << (screenFlags & 7) : 0;
    for (;;) {
        const int block = in.byte();
        if (block == 0x21) {  // extension: label, then sub-blocks
            if (in.byte() >= 0 && in.skipSubBlocks()) continue;
            out.problem = "the file ends before its first image";
            return out;
        }
        if (block == 0x3B) {
            out.problem = "the file holds no image";
            return out;
        }
        if (block < 0) {
            out.problem = "the file ends before its first image";
            return out;
        }
        if (block != 0x2C) {
            out.problem = "the file is damaged before its first image";
            return out;
        }
        break;
    }
    if (!in.has(9)) {
        out.problem = kCutOff;
        return out;
    }
    const int left = in.le16(), top = in.le16(), width = in.le16(), height = in.le16();
    const int flags = in.byte();
    if (width == 0 || height == 0) {
        out.problem = "its first image is empty (" + std::to_string(width) + " x " +
                      std::to_string(height) + " pixels)";
        return out;
    }
    if (!in.skip(tableBytes(flags))) {
        out.problem = kCutOff;
        return out;
    }
    // Qt's canvas is the logical screen; a screen side of 0 takes the image's
    // extent instead.
    out.canvasWidth = screenWidth > 0 ? screenWidth : left + width;
    out.canvasHeight = screenHeight > 0 ? screenHeight : top + height;
    const int colours = (flags & 0x80) ? 2 << (flags & 7) : globalColours;
    out.problem = checkImageData(in, std::int64_t{width} * height, colours);
    return out;
}

}  // namespace platform
