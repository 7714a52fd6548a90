#pragma once
// A decoded picture: its pixels, cheap to copy (they are shared). How they
// reach the screen is the backend's business.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/system/Text.h"

namespace platform {

class Picture {
  public:
    // 32-bit premultiplied ARGB, 0xAARRGGBB in a native-endian word, row
    // after row with no padding: widthPx * heightPx of them.
    using Pixel = std::uint32_t;

    Picture();
    Picture(int widthPx, int heightPx, std::vector<Pixel> pixels);

    bool isEmpty() const;
    int widthPx() const;
    int heightPx() const;
    // Null when empty.
    const Pixel* pixels() const;
    // How many pictures share these pixels: for a backend that keeps a copy
    // of its own while any of them lives.
    long sharers() const { return pixels_.use_count(); }

  private:
    struct Pixels {
        int width, height;
        std::vector<Pixel> data;
    };
    std::shared_ptr<const Pixels> pixels_;
};

// Reads a picture file. Raises a run-time error naming the file when it is
// missing, not a picture, or would decode to an absurd size.
Picture LoadPicture(const Text& path);

// A picture file's bytes already in memory, as LoadPicture reads a file;
// `name` is the file named by an error.
Picture DecodePicture(const std::uint8_t* data, std::size_t size, const Text& name);

// Largest decoded picture accepted, in bytes of 32-bit pixels.
inline constexpr long long kPictureAllocationLimit = 256ll * 1024 * 1024;

}  // namespace platform
