#pragma once
// A picture in the form a GIF file stores it (a palette of at most 256
// colours and one index per pixel), and how one is made and written. Qt reads
// GIF but cannot write it, and the game's pictures must be GIF: giflib
// reduces the colours and writes the file.

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <cstdint>
#include <vector>

namespace makeart {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<QRgb> palette;         // 1 to 256 entries; alpha is ignored
    std::vector<std::uint8_t> pixels;  // width * height indices, row by row
    int transparentIndex = -1;         // entry shown as see-through, or -1 for none
};

// Reduces a picture to at most maxColours (2 to 256) palette entries.
// Pixels with alpha below 128 become one transparent entry; the rest are
// taken as opaque. A picture that already has few enough colours keeps them
// exactly. The result depends only on the pixels, never on hash order or
// memory layout, so the shipped pictures come out byte-identical every run.
// Throws std::runtime_error if giflib cannot reduce them.
IndexedImage quantize(const QImage& image, int maxColours = 256);

// The bytes of a single-frame GIF89a file. Throws std::invalid_argument for
// an empty image, more than 256 palette entries, or an index past the
// palette, and std::runtime_error if giflib fails to write it.
QByteArray encodeGif(const IndexedImage& image);

}  // namespace makeart
