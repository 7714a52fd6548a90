#pragma once
// The first image of a GIF file, decoded by giflib and laid on the file's
// canvas (its logical screen) the way the game shows a picture. Later images
// of an animation are never read.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/form/Picture.h"

namespace platform {

struct GifPicture {
    // Empty when `image` holds the picture, else why the file cannot show.
    std::string problem;
    // As large as the canvas.
    Picture picture;
};

// `data` holds the whole file. Refuses, before allocating anything for the
// pixels, a canvas or image that needs more than `maxBytes` at 4 bytes a
// pixel.
GifPicture decodeFirstGifImage(const std::uint8_t* data, std::size_t size, long long maxBytes);

}  // namespace platform
