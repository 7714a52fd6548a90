#pragma once
// A GIF file checked as far as the game shows it: the blocks up to and
// including the first image. Qt's decoder turns damaged image data into
// black pixels and still reports success, and it sizes its canvas by the
// logical screen, which it does not report beforehand; the picture loader
// asks here first so that it can refuse such a file with a reason.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

struct GifCheck {
    // Empty when the first image is sound, else why it is not.
    std::string problem;
    // The canvas that the decoder paints the first image onto, in pixels.
    std::int64_t canvasWidth = 0;
    std::int64_t canvasHeight = 0;
};

// `data` holds the whole file; only the part up to the end of the first
// image's data is read.
GifCheck checkGif(const std::uint8_t* data, std::size_t size);

}  // namespace platform
