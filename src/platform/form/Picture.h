#pragma once
// A decoded picture, cheap to copy (the pixels are shared).

#include <memory>
#include <string>

#include "platform/system/Text.h"

class QImage;

namespace platform {

class Picture {
  public:
    Picture();
    explicit Picture(const QImage& image);
    ~Picture();
    Picture(const Picture&);
    Picture& operator=(const Picture&);

    bool isEmpty() const;
    int widthPx() const;
    int heightPx() const;
    const QImage& image() const;

  private:
    std::shared_ptr<const QImage> image_;
};

// Reads a picture file. Raises a run-time error naming the file when it is
// missing, not a picture, or would decode to an absurd size.
Picture LoadPicture(const Text& path);

// Largest decoded picture accepted, in bytes of 32-bit pixels.
inline constexpr long long kPictureAllocationLimit = 256ll * 1024 * 1024;

}  // namespace platform
