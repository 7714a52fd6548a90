// fuzz_gif: the picture decoder over any bytes, taken as a whole GIF file.
//
// What must hold: a file either shows or is refused with a reason, never
// both; a shown picture is as large as its canvas, within the size limit,
// in the format the game paints from; and the same bytes always give the
// same pixels.

#include <QImage>
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
    FUZZ_CHECK(out.problem.empty() != out.image.isNull());
    if (out.image.isNull()) return 0;
    FUZZ_CHECK(out.image.format() == QImage::Format_ARGB32_Premultiplied);
    FUZZ_CHECK(4ll * out.image.width() * out.image.height() <= kLimit);
    // Premultiplied: no colour brighter than its alpha.
    for (int y = 0; y < out.image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(out.image.constScanLine(y));
        for (int x = 0; x < out.image.width(); ++x)
            FUZZ_CHECK(qAlpha(row[x]) == 255 || row[x] == 0);
    }
    FUZZ_CHECK(platform::decodeFirstGifImage(data, size, kLimit).image == out.image);
    return 0;
}
