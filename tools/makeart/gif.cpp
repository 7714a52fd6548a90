#include "gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

namespace makeart {
namespace {

int appendTo(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

[[noreturn]] void fail(int error) {
    const char* text = GifErrorString(error);
    throw std::runtime_error(std::string("cannot write a GIF picture: ") +
                             (text ? text : std::to_string(error)));
}

struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

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

    // The colour table holds a power of two entries, at least two; the
    // entries past the palette stay black.
    const int tableSize = std::max(2, 1 << GifBitSize(paletteSize));
    const std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(tableSize, nullptr));
    if (!map) fail(E_GIF_ERR_NOT_ENOUGH_MEM);
    std::fill_n(map->Colors, tableSize, GifColorType{0, 0, 0});
    for (int i = 0; i < paletteSize; ++i) {
        const QRgb c = image.palette[static_cast<std::size_t>(i)];
        map->Colors[i] = {static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                          static_cast<GifByteType>(qBlue(c))};
    }

    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendTo, &error);
    if (!gif) fail(error);
    // Closing writes the trailer and frees the file, also after a failure.
    auto finish = [&](bool ok) {
        const int failed = ok ? 0 : gif->Error;
        if (EGifCloseFile(gif, &error) == GIF_ERROR && ok) fail(error);
        if (!ok) fail(failed);
    };
    EGifSetGifVersion(gif, true);
    const int bits = GifBitSize(tableSize);
    if (EGifPutScreenDesc(gif, image.width, image.height, bits, 0, map.get()) == GIF_ERROR)
        finish(false);
    if (image.transparentIndex >= 0) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = image.transparentIndex;
        GifByteType block[4];
        const auto length = EGifGCBToExtension(&control, block);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), block) ==
            GIF_ERROR)
            finish(false);
    }
    if (EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_ERROR)
        finish(false);
    std::vector<GifPixelType> row(static_cast<std::size_t>(image.width));
    for (int y = 0; y < image.height; ++y) {
        const auto* from = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        std::copy_n(from, image.width, row.begin());
        if (EGifPutLine(gif, row.data(), image.width) == GIF_ERROR) finish(false);
    }
    finish(true);
    return out;
}

}  // namespace makeart
