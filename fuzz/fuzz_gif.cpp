// fuzz_gif: the picture decoder over any bytes, taken as a whole GIF file.
//
// What must hold: a file either shows or is refused with a reason, never
// both; a shown picture is as large as its canvas, within the size limit,
// in the format the game paints from; and the same bytes always give the
// same pixels.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "FuzzCheck.h"
#include "platform/decoders/GifDecoder.h"

namespace {
// Small enough that a fuzzed canvas of any size stays cheap to fill.
constexpr long long kLimit = 4ll * 1024 * 1024;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::GifPicture out = platform::decodeFirstGifImage(data, size, kLimit);
    if (fuzz::tracing())
        std::fprintf(stderr, "%s\n",
                     out.problem.empty() ? "shows" : ("refused: " + out.problem).c_str());
    const platform::Picture& picture = out.picture;
    FUZZ_CHECK(out.problem.empty() != picture.isEmpty());
    if (picture.isEmpty()) return 0;
    const std::size_t count =
        static_cast<std::size_t>(picture.widthPx()) * static_cast<std::size_t>(picture.heightPx());
    FUZZ_CHECK(4ll * static_cast<long long>(count) <= kLimit);
    // Premultiplied: each pixel opaque or wholly see-through.
    const platform::Picture::Pixel* pixels = picture.pixels();
    for (std::size_t i = 0; i < count; ++i) FUZZ_CHECK((pixels[i] >> 24) == 255 || pixels[i] == 0);
    const platform::GifPicture again = platform::decodeFirstGifImage(data, size, kLimit);
    FUZZ_CHECK(again.picture.widthPx() == picture.widthPx() &&
               again.picture.heightPx() == picture.heightPx() &&
               std::equal(pixels, pixels + count, again.picture.pixels()));
    return 0;
}
