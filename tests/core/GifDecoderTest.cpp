// How the first image of a GIF file lands on its canvas, for the layouts the
// conformance suite does not cover: files made here with giflib's writer.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QImage>
#include <optional>
#include <string>
#include <vector>

#include "platform/decoders/GifDecoder.h"
#include "platform/desktop/form/PictureImage.h"

namespace {

struct GifFile {
    int screenWidth = 4, screenHeight = 4, background = 0;
    std::vector<QRgb> global;          // none if empty
    std::vector<int> transparentSeen;  // one graphic control block each; -1 for none
    int left = 0, top = 0, width = 4, height = 4;
    bool interlaced = false;
    std::vector<QRgb> local;      // none if empty
    int rowsWritten = -1;         // fewer than `height` to leave the data short
    std::vector<int> rowIndexes;  // each stored row's one index, where given
    // Each stored row is filled with one index: the row's own number, unless
    // `rowIndexes` says otherwise.
    int pixel(int storedRow) const {
        const auto at = static_cast<std::size_t>(storedRow);
        return at < rowIndexes.size() ? rowIndexes[at] : storedRow % 4;
    }
};

const std::vector<QRgb> kFour = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                                 qRgb(255, 255, 0)};

int appendTo(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

ColorMapObject* mapOf(const std::vector<QRgb>& colours) {
    if (colours.empty()) return nullptr;
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), nullptr);
    for (std::size_t i = 0; i < colours.size(); ++i)
        map->Colors[i] = {static_cast<GifByteType>(qRed(colours[i])),
                          static_cast<GifByteType>(qGreen(colours[i])),
                          static_cast<GifByteType>(qBlue(colours[i]))};
    return map;
}

std::string write(const GifFile& f) {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendTo, &error);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = mapOf(f.global);
    ColorMapObject* local = mapOf(f.local);
    EXPECT_EQ(EGifPutScreenDesc(gif, f.screenWidth, f.screenHeight, 8, f.background, global),
              GIF_OK);
    for (int transparent : f.transparentSeen) {
        GraphicsControlBlock control{};
        control.TransparentColor = transparent;
        GifByteType block[4];
        EGifGCBToExtension(&control, block);
        EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block), GIF_OK);
    }
    EXPECT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local), GIF_OK);
    std::vector<GifPixelType> row(static_cast<std::size_t>(f.width));
    const int rows = f.rowsWritten < 0 ? f.height : f.rowsWritten;
    for (int y = 0; y < rows; ++y) {
        std::fill(row.begin(), row.end(), static_cast<GifPixelType>(f.pixel(y)));
        EXPECT_EQ(EGifPutLine(gif, row.data(), f.width), GIF_OK);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(global);
    GifFreeMapObject(local);
    return out;
}

platform::GifPicture decode(const std::string& bytes, long long maxBytes = 1 << 20) {
    return platform::decodeFirstGifImage(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                         bytes.size(), maxBytes);
}

// The picture as rows of text: one letter a pixel, "." for see-through.
std::vector<std::string> rowsOf(const QImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            row += qAlpha(c) == 0             ? '.'
                   : c == qRgb(255, 0, 0)     ? 'R'
                   : c == qRgb(0, 255, 0)     ? 'G'
                   : c == qRgb(0, 0, 255)     ? 'B'
                   : c == qRgb(255, 255, 0)   ? 'Y'
                   : c == qRgb(0, 0, 0)       ? 'k'
                   : c == qRgb(255, 255, 255) ? 'w'
                   : c == qRgb(10, 20, 30)    ? 'L'
                                              : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(GifDecoder, LaysTheFirstImageOnItsCanvas) {
    struct Case {
        const char* name;
        GifFile file;
        std::vector<std::string> shown;
    };
    GifFile plain;
    plain.global = kFour;
    auto with = [&](auto change) {
        GifFile f = plain;
        change(f);
        return f;
    };
    const Case cases[] = {
        {"whole screen", plain, {"RRRR", "GGGG", "BBBB", "YYYY"}},
        // Stored rows fill every 8th row from 0, every 8th from 4, every 4th
        // from 2, then the odd rows.
        {"interlaced, 1 row",
         with([](GifFile& f) { f.interlaced = true, f.height = f.screenHeight = 1; }),
         {"RRRR"}},
        {"interlaced, 3 rows",
         with([](GifFile& f) { f.interlaced = true, f.height = f.screenHeight = 3; }),
         {"RRRR", "BBBB", "GGGG"}},
        {"interlaced, 4 rows",
         with([](GifFile& f) { f.interlaced = true; }),
         {"RRRR", "BBBB", "GGGG", "YYYY"}},
        {"interlaced, 9 rows",
         with([](GifFile& f) {
             f.interlaced = true, f.height = f.screenHeight = 9, f.width = f.screenWidth = 1;
         }),
         // stored 0..8 land on rows 0 8 4 2 6 1 3 5 7
         {"R", "G", "Y", "B", "B", "Y", "R", "R", "G"}},
        {"inside the screen, on its background colour",
         with([](GifFile& f) {
             f.left = 1, f.top = 2, f.width = 2, f.height = 1, f.background = 3;
         }),
         {"YYYY", "YYYY", "YRRY", "YYYY"}},
        {"background past the colour table shows white",
         with([](GifFile& f) { f.width = f.height = 2, f.background = 7; }),
         {"RRww", "GGww", "wwww", "wwww"}},
        {"no global table: black around the image",
         with([](GifFile& f) { f.global.clear(), f.local = kFour, f.width = f.height = 2; }),
         {"RRkk", "GGkk", "kkkk", "kkkk"}},
        {"a see-through colour leaves the rest see-through",
         with(
             [](GifFile& f) { f.transparentSeen = {1}, f.width = f.height = 2, f.background = 3; }),
         {"RR..", "....", "....", "...."}},
        {"the last control block counts",
         with([](GifFile& f) {
             f.transparentSeen = {0, -1};
         }),
         {"RRRR", "GGGG", "BBBB", "YYYY"}},
        {"a local table wins over the global one",
         with([](GifFile& f) {
             f.local = {qRgb(10, 20, 30), qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0)};
         }),
         {"LLLL", "kkkk", "wwww", "RRRR"}},
        {"past the screen's edges: cut off",
         with([](GifFile& f) {
             f.left = 2, f.top = 3, f.width = 5, f.height = 3, f.background = 3;
         }),
         {"YYYY", "YYYY", "YYYY", "YYRR"}},
        {"a screen of 0 x 0 takes the image's extent",
         with([](GifFile& f) {
             f.screenWidth = f.screenHeight = 0, f.left = 1, f.height = 2, f.background = 3;
         }),
         {"YRRRR", "YGGGG"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const platform::GifPicture out = decode(write(c.file));
        ASSERT_EQ(out.problem, "");
        EXPECT_EQ(platform::imageCopy(out.picture).format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(rowsOf(platform::imageCopy(out.picture)), c.shown);
    }
}

TEST(GifDecoder, RefusesWhatItCannotShowWithAReason) {
    GifFile plain;
    plain.global = kFour;
    const std::string whole = write(plain);
    // giflib will not write an image without colours: take out the global
    // table (4 entries of 3 bytes after the 13-byte header) and its flag.
    std::string noTable = whole.substr(0, 13) + whole.substr(13 + 12);
    noTable[10] = static_cast<char>(noTable[10] & 0x7F);
    GifFile wideScreen = plain;
    wideScreen.screenWidth = wideScreen.screenHeight = 65535;
    GifFile wideImage = plain;
    wideImage.width = 60000, wideImage.height = 1000, wideImage.rowsWritten = 1;
    // Indexes past the four colours that apply: written against a local
    // table of eight, which is then taken out (its flag and its 24 bytes
    // after the image descriptor), so that the image data keeps its 3-bit
    // codes and the global table of four is the one that counts.
    auto beyondTheTable = [&](int top, std::vector<int> rowIndexes) {
        GifFile f = plain;
        f.top = top;
        f.local = {kFour[0], kFour[1], kFour[2], kFour[3], 0, 0, 0, 0};
        f.rowIndexes = std::move(rowIndexes);
        std::string bytes = write(f);
        const std::size_t descriptor = 13 + 12;
        bytes[descriptor + 9] = static_cast<char>(bytes[descriptor + 9] & 0x78);
        return bytes.erase(descriptor + 10, 24);
    };

    struct Case {
        const char* name;
        std::string bytes;
        std::optional<std::string> problem;  // none: it shows
    };
    const Case cases[] = {
        {"no colour table", noTable, "Neither global nor local color map"},
        {"screen too large", write(wideScreen), "65535 x 65535 pixels is too large to show"},
        // Refused before a single row of its 60 million pixels is decoded.
        {"image too large", write(wideImage), "60000 x 1000 pixels is too large to show"},
        {"not a GIF", "\x89PNG\r\n\x1a\n rest", "Data is not in GIF format"},
        {"empty file", "", "the file ends too soon"},
        {"cut inside the image data", whole.substr(0, whole.size() - 4), "the file ends too soon"},
        {"a colour beyond the table: the first such is named", beyondTheTable(0, {0, 7, 5, 1}),
         "its first image uses colour 7 of a table of 4"},
        // Rows below the screen are decoded and checked all the same.
        {"a colour beyond the table in a row off the screen", beyondTheTable(2, {0, 1, 2, 6}),
         "its first image uses colour 6 of a table of 4"},
        {"no trailer", whole.substr(0, whole.size() - 1), std::nullopt},
        {"no block terminator and no trailer", whole.substr(0, whole.size() - 2), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const platform::GifPicture out = decode(c.bytes, 64 << 20);
        if (!c.problem) {
            EXPECT_EQ(out.problem, "");
            EXPECT_EQ(rowsOf(platform::imageCopy(out.picture)),
                      (std::vector<std::string>{"RRRR", "GGGG", "BBBB", "YYYY"}));
            continue;
        }
        EXPECT_NE(out.problem.find(*c.problem), std::string::npos) << out.problem;
        EXPECT_TRUE(out.picture.isEmpty());
    }
}
