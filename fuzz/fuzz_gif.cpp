// fuzz_gif: the picture decoder over any bytes, taken as a whole GIF file.
//
// What must hold: a file either shows or is refused with a reason, never
// both; a shown picture is within the size limit, each pixel opaque or
// wholly clear; and the same bytes always give the same pixels.

#include <algorithm>
#include <cstddef>
#include <cstdint>

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
    const long long pixels = 1ll * picture.widthPx() * picture.heightPx();
    FUZZ_CHECK(4 * pixels <= kLimit);
    // Premultiplied: a pixel is either opaque or wholly clear.
    for (long long i = 0; i < pixels; ++i)
        FUZZ_CHECK((picture.pixels()[i] >> 24) == 255 || picture.pixels()[i] == 0);
    const platform::GifPicture again = platform::decodeFirstGifImage(data, size, kLimit);
    FUZZ_CHECK(again.picture.widthPx() == picture.widthPx() &&
               again.picture.heightPx() == picture.heightPx() &&
               std::equal(picture.pixels(), picture.pixels() + pixels, again.picture.pixels()));
    return 0;
}
