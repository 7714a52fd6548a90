#include "platform/decoders/GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/system/Language.h"

namespace platform {

namespace {

constexpr Picture::Pixel opaque(int r, int g, int b) {
    return 0xFF000000u | (static_cast<Picture::Pixel>(r) << 16) |
           (static_cast<Picture::Pixel>(g) << 8) | static_cast<Picture::Pixel>(b);
}

// The file in memory, handed to giflib a piece at a time.
struct Source {
    const std::uint8_t* at;
    std::size_t left;
    bool ranOut = false;
    bool readingPixels = false;
    bool endedChain = false;
};

int readSource(GifFileType* gif, GifByteType* to, int wanted) {
    auto& source = *static_cast<Source*>(gif->UserData);
    const auto n = std::min(source.left, static_cast<std::size_t>(std::max(wanted, 0)));
    if (n > 0) std::memcpy(to, source.at, n);  // an empty file has no bytes to point at
    source.at += n;
    source.left -= n;
    if (n < static_cast<std::size_t>(wanted)) {
        // Files cut off right after their image data, without the block
        // terminator and the trailer, are common and have always shown:
        // supply the one terminator they lack. giflib still refuses data that
        // ends before the image is complete.
        source.ranOut = true;
        if (source.readingPixels && n == 0 && wanted == 1 && !source.endedChain) {
            source.endedChain = true;
            *to = 0;
            return 1;
        }
    }
    return static_cast<int>(n);
}

struct Closer {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifFile = std::unique_ptr<GifFileType, Closer>;

// giflib's own words, and what they mean here: reading from memory fails
// only at the end of the file, or where giflib refuses image data it cannot
// decode (an LZW code size above 8) and reports that as a failed read.
std::string giflibReason(int error, const Source& source) {
    // Some failed reads leave no code behind.
    if (error == 0) error = D_GIF_ERR_READ_FAILED;
    const char* text = GifErrorString(error);
    // giflib's own sentence stays as giflib words it; what it means here is
    // said in the session's language.
    const std::string reason = text ? text : "GIF error " + std::to_string(error);
    if (source.ranOut) return fillIn(trText("GifDecoder", "%1 (the file ends too soon)"), {reason});
    if (error == D_GIF_ERR_READ_FAILED)
        return fillIn(trText("GifDecoder", "%1 (its image data is damaged)"), {reason});
    return reason;
}

std::string tooLarge(long long width, long long height) {
    return fillIn(trText("GifDecoder", "%1 x %2 pixels is too large to show"),
                  {std::to_string(width), std::to_string(height)});
}

// The canvas row that the n-th stored row of an interlaced image fills:
// every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int> interlacedRows(int height) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    for (const auto& [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = first; y < height; y += step) rows.push_back(y);
    return rows;
}

// What reading one stored row found: whether giflib gave it, and the first
// colour index in it beyond the table (-1 for none).
struct RowRead {
    bool read;
    int badIndex;
};

// One stored row: decoded, every index checked against the table, and the
// row's visible part (if `row`) laid down in colours.
RowRead readRow(GifFileType* gif, std::vector<GifPixelType>& line, int colourCount,
                const std::array<Picture::Pixel, 256>& colours, Picture::Pixel* row,
                int visibleWidth) {
    if (DGifGetLine(gif, line.data(), static_cast<int>(line.size())) == GIF_ERROR)
        return {false, -1};
    for (const GifPixelType index : line)
        if (index >= colourCount) return {true, index};
    if (row)
        for (int x = 0; x < visibleWidth; ++x) row[x] = colours[line[static_cast<std::size_t>(x)]];
    return {true, -1};
}

// Called through a pointer that no optimiser sees through, so that reading a
// row stays a small function of its own. A browser compiles WebAssembly that
// runs hot again in the background: a row reader, run once a row, is soon
// compiled (about 7 ms on another core); with the row's work inlined into the
// whole decoder, which runs once, that decoder was compiled at length (20-30
// ms) just as the page drew its first frame, and for nothing.
RowRead (*volatile readRowThrough)(GifFileType*, std::vector<GifPixelType>&, int,
                                   const std::array<Picture::Pixel, 256>&, Picture::Pixel*,
                                   int) = readRow;

}  // namespace

GifPicture decodeFirstGifImage(const std::uint8_t* data, std::size_t size, long long maxBytes) {
    GifPicture out;
    Source source{data, size};
    int error = 0;
    const GifFile gif(DGifOpen(&source, readSource, &error));
    if (!gif) {
        out.problem = giflibReason(error, source);
        return out;
    }
    auto fail = [&](int code) {
        out.problem = giflibReason(code, source);
        return out;
    };

    // The last graphic control block before the image says which colour is
    // see-through.
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return fail(gif->Error);
        if (type == TERMINATE_RECORD_TYPE) {
            out.problem = trText("GifDecoder", "the file holds no image");
            return out;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) break;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) return fail(gif->Error);
        // A malformed block (not 4 bytes) leaves the earlier setting.
        if (code == GRAPHICS_EXT_FUNC_CODE && block)
            DGifExtensionToGCB(block[0], block + 1, &control);
        while (block)
            if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) return fail(gif->Error);
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return fail(gif->Error);

    const GifImageDesc& desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0) {
        out.problem = fillIn(trText("GifDecoder", "its first image is empty (%1 x %2 pixels)"),
                             {std::to_string(desc.Width), std::to_string(desc.Height)});
        return out;
    }
    // A screen side of 0 takes the image's extent instead.
    const int canvasWidth = gif->SWidth > 0 ? gif->SWidth : desc.Left + desc.Width;
    const int canvasHeight = gif->SHeight > 0 ? gif->SHeight : desc.Top + desc.Height;
    if (4ll * canvasWidth * canvasHeight > maxBytes) {
        out.problem = tooLarge(canvasWidth, canvasHeight);
        return out;
    }
    // Every pixel of the image is decoded, even those off the canvas.
    if (4ll * desc.Width * desc.Height > maxBytes) {
        out.problem = tooLarge(desc.Width, desc.Height);
        return out;
    }
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map) return fail(D_GIF_ERR_NO_COLOR_MAP);

    const int transparent = control.TransparentColor;
    std::array<Picture::Pixel, 256> colours{};
    const int colourCount = std::min(map->ColorCount, 256);
    for (int i = 0; i < colourCount; ++i) {
        const GifColorType& c = map->Colors[i];
        colours[static_cast<std::size_t>(i)] =
            i == transparent ? 0 : opaque(c.Red, c.Green, c.Blue);
    }

    // Where the image leaves the canvas bare: see-through when the image has
    // a see-through colour, else the screen's background colour, white when
    // that names no colour of the global table, and black with no table.
    Picture::Pixel paper = opaque(0, 0, 0);
    if (transparent >= 0) {
        paper = 0;
    } else if (const ColorMapObject* screen = gif->SColorMap) {
        const int bg = gif->SBackGroundColor;
        paper = bg < screen->ColorCount ? opaque(screen->Colors[bg].Red, screen->Colors[bg].Green,
                                                 screen->Colors[bg].Blue)
                                        : opaque(255, 255, 255);
    }
    std::vector<Picture::Pixel> pixels;
    try {
        pixels.assign(
            static_cast<std::size_t>(canvasWidth) * static_cast<std::size_t>(canvasHeight), paper);
    } catch (const std::bad_alloc&) {
        out.problem = fillIn(trText("GifDecoder", "there is not enough memory for %1 x %2 pixels"),
                             {std::to_string(canvasWidth), std::to_string(canvasHeight)});
        return out;
    }

    const std::vector<int> order =
        desc.Interlace ? interlacedRows(desc.Height) : std::vector<int>{};
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    source.readingPixels = true;
    const int visibleWidth = std::clamp(canvasWidth - desc.Left, 0, desc.Width);
    for (int stored = 0; stored < desc.Height; ++stored) {
        const int y =
            desc.Top + (desc.Interlace ? order[static_cast<std::size_t>(stored)] : stored);
        Picture::Pixel* row =
            y < canvasHeight && visibleWidth > 0
                ? pixels.data() + static_cast<std::size_t>(y) * canvasWidth + desc.Left
                : nullptr;
        const RowRead read =
            readRowThrough(gif.get(), line, colourCount, colours, row, visibleWidth);
        if (!read.read) return fail(gif->Error);
        if (read.badIndex >= 0) {
            out.problem =
                fillIn(trText("GifDecoder", "its first image uses colour %1 of a table of %2"),
                       {std::to_string(read.badIndex), std::to_string(colourCount)});
            return out;
        }
    }
    out.picture = Picture(canvasWidth, canvasHeight, std::move(pixels));
    return out;
}

}  // namespace platform
