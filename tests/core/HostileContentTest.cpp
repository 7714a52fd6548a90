// Broken scripts and pictures of every kind that a careless author or a
// damaged download can produce. Each file either plays, or stops the game with
// a run-time error that names it; nothing may crash, hang, or go on in a state
// that the content did not ask for. (Broken music files are the media tests'.)

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QImage>
#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/form/PictureImage.h"
#include "platform/system/Errors.h"
#include "scene/ScriptLine.h"
#include "support/GameFolder.h"

using Bytes = std::string;

namespace {

const std::string kEnd = "\u25BC";  // ▼

Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct PictureOutcome {
    std::optional<platform::RuntimeError> error;
    QImage shown;  // the picture as loaded, before stretching
};

// Shows `bytes` (no file at all if none) as the opening's picture.
PictureOutcome showGif(const std::optional<Bytes>& bytes) {
    GameFolder folder;
    folder.script("opn", {"Text", "tugi", ""});
    if (bytes) std::ofstream(folder.path() + "/img/opn.gif", std::ios::binary) << *bytes;
    TestGame g(folder);
    PictureOutcome out;
    try {
        g.start();
        out.shown = platform::imageCopy(g.fom->E.picture());
        EXPECT_EQ(g.label(), "/Text" + kEnd);
    } catch (const platform::RuntimeError& e) {
        out.error = e;
        // The picture comes before the script: no text may show.
        EXPECT_EQ(utf8(g.fom->Lbl.Caption()), "");
        EXPECT_FALSE(g.fom->Files.isOpen(g.fom->FileNo));
        EXPECT_EQ(e.file(), folder.path() + "/img/opn.gif") << e.what();
    }
    return out;
}

// ---------------------------------------------------------------------------
// Playing a script through: ticks while the timer would advance, clicks
// otherwise, until the chooser opens, an error stops the game, or too many
// steps have passed. Every page that ends with "▼" is recorded, its rows
// joined by "/".

struct PlayOutcome {
    std::vector<std::string> pages;
    bool chooserOpen = false;
    std::optional<platform::RuntimeError> error;
};

void expectSound(TestGame& g) {
    Fom& f = *g.fom;
    EXPECT_LE(f.LineCount, 15);
    const platform::Text& caption = f.Lbl.Caption();
    const auto marks = std::count_if(caption.begin(), caption.end(),
                                     [](char16_t c) { return c == u'\u25BC' || c == u'\u25BD'; });
    EXPECT_LE(marks, 1);
    if (marks == 1) {
        EXPECT_TRUE(caption.back() == u'\u25BC' || caption.back() == u'\u25BD');
    }
    if (f.PicCom.Visible()) {
        EXPECT_FALSE(f.Files.isOpen(f.FileNo));
    }
}

PlayOutcome playThrough(const GameFolder& folder, int maxSteps = 200) {
    TestGame g(folder);
    Fom& f = *g.fom;
    PlayOutcome out;
    auto record = [&] {
        expectSound(g);
        if (f.Mark == u"\u25BC" && (out.pages.empty() || out.pages.back() != g.label()))
            out.pages.push_back(g.label());
        out.chooserOpen = f.PicCom.Visible() != 0;
    };
    try {
        g.start();
        record();
        for (int step = 0; step < maxSteps && !out.chooserOpen; ++step) {
            if (f.TimSay.Enabled() && !scene::holdsTimer(f.CurLine))
                g.tick(f.TimSay);
            else
                g.click();
            record();
        }
    } catch (const platform::RuntimeError& e) {
        out.error = e;
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Pictures

// The conformance suite below covers bad codes, absurd sizes, images off the
// screen and animations; what it lacks is a file that is no GIF at all, or one
// cut short, as a broken download leaves it.
TEST(HostileContent, APictureThatIsMissingOrNoGifOrCutShortIsRefusedNamingTheFile) {
    const Bytes whole = readAll(testDataPath("green-40x30.gif"));
    ASSERT_GT(whole.size(), 40u);
    struct Case {
        std::string name;
        std::optional<Bytes> file;
        const char* inMessage;
    };
    std::vector<Case> cases = {
        {"missing", std::nullopt, "File not found"},
        {"text named .gif", readAll(testDataPath("text.gif")), "Invalid picture"},
        {"PNG named .gif", readAll(testDataPath("red-8x8.png")), "Data is not in GIF format"},
        {"absurd size", readAll(testDataPath("huge-60000.gif")), "too large"},
    };
    // The last two bytes end the data blocks and the file; without them the
    // image is whole and still shows.
    for (std::size_t cut = 0; cut + 2 < whole.size(); cut += 3)
        cases.push_back(
            {"cut at " + std::to_string(cut), whole.substr(0, cut), "the file ends too soon"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PictureOutcome out = showGif(c.file);
        ASSERT_TRUE(out.error);
        EXPECT_NE(std::string(out.error->what()).find(c.inMessage), std::string::npos)
            << out.error->what();
    }
    const PictureOutcome out = showGif(whole.substr(0, whole.size() - 2));
    ASSERT_FALSE(out.error) << out.error->what();
    EXPECT_EQ(out.shown.size(), QSize(40, 30));
}

// ---------------------------------------------------------------------------
// The public GIF decoder conformance suite, file by file.

#ifndef PIROKKO_GIF_SUITE
#define PIROKKO_GIF_SUITE ""
#endif

namespace {

// One .conf file: "[section]" headers and "key = value" lines.
std::map<std::string, std::string> readConf(const std::string& path) {
    std::map<std::string, std::string> out;
    std::ifstream in(path);
    std::string section;
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find(" = ");
        if (line.starts_with('['))
            section = line.substr(1, line.find(']') - 1);
        else if (!line.starts_with('#') && eq != std::string::npos)
            out[section + "/" + line.substr(0, eq)] = line.substr(eq + 3);
    }
    return out;
}

QColor rgba(const std::string& pixels, std::size_t i) {
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(pixels[4 * i + k]); };
    return QColor(at(0), at(1), at(2), at(3));
}

}  // namespace

// Of the suite's 84 files, 71 show and 13 are refused, each with the reason
// given (giflib's own words where giflib refuses):
// - with no image to show: zero-width, zero-height, zero-size, no-data and
//   max-size (a screen and no image);
// - as damaged: image-zero-width, image-zero-height and image-zero-size (an
//   empty image with no data), invalid-code (a code that names no entry),
//   invalid-colors (a colour beyond the table), and max-codes,
//   overflow-codes and overflow-codes-max (an LZW code size above 8, which
//   giflib does not decode).
// plain-text has no frame to compare (the suite only asks that it does not
// crash); it shows its one image. Where a shown picture may differ from the
// suite's first frame:
// - the canvas outside the first image shows the background colour, where
//   the suite leaves it transparent;
// - only a file's first image shows, where the suite composes every image up
//   to the first delay into one frame (images-combine, images-overlap,
//   high-color, dispose-restore-previous): these are checked against their
//   first image alone. high-color has no global colour table for the
//   canvas, which then shows black.
TEST(HostileContent, EveryFileOfTheGifTestSuiteShowsItsFirstImageOrIsRefused) {
    const std::string suite = PIROKKO_GIF_SUITE;
    if (suite.empty() || !QFile::exists(QString::fromStdString(suite + "/TESTS")))
        GTEST_SKIP() << "no GIF test suite at " << suite;

    const std::string kNoImage = "the file holds no image";
    const std::string kCutShort = "Failed to read from given file (the file ends too soon)";
    const std::string kBadData = "Failed to read from given file (its image data is damaged)";
    const std::vector<std::pair<std::string, std::string>> kRefused = {
        {"no-data", kNoImage},
        {"zero-width", kNoImage},
        {"zero-height", kNoImage},
        {"zero-size", kNoImage},
        {"image-zero-width", kBadData},
        {"image-zero-height", kCutShort},
        {"image-zero-size", kCutShort},
        {"invalid-code", "Image is defective, decoding aborted"},
        {"invalid-colors", "its first image uses colour 2 of a table of 2"},
        {"max-size", kNoImage},
        {"max-codes", kBadData},
        {"overflow-codes", kBadData},
        {"overflow-codes-max", kBadData}};
    // The first image where the first frame is made of several: each turns
    // the suite's frame (RGBA bytes) into that image.
    const QColor kClear(0, 0, 0, 0);
    const std::map<std::string, std::function<QColor(int, int, QColor)>> kFirstImageOnly = {
        {"images-combine",
         [&](int x, int y, QColor) { return x + y == 0 ? QColor(Qt::red) : kClear; }},
        {"images-overlap", [](int, int, QColor) { return QColor(Qt::red); }},
        {"high-color",
         [](int x, int y, QColor c) { return x < 16 && y < 16 ? c : QColor(Qt::black); }},
        {"dispose-restore-previous", [](int, int, QColor) { return QColor(Qt::black); }},
    };

    std::vector<std::pair<std::string, std::string>> refused;
    std::ifstream list(suite + "/TESTS");
    int files = 0;
    for (std::string name; std::getline(list, name);) {
        if (name.empty()) continue;
        ++files;
        SCOPED_TRACE(name);
        const auto conf = readConf(suite + "/" + name + ".conf");
        const PictureOutcome out = showGif(readAll(suite + "/" + conf.at("config/input")));
        if (out.error) {
            const std::string prefix = "Invalid picture: ";
            const std::string& said = out.error->description();
            EXPECT_TRUE(said.starts_with(prefix)) << said;
            refused.push_back({name, said.substr(std::min(prefix.size(), said.size()))});
            continue;
        }
        const int width = std::stoi(conf.at("config/width"));
        const int height = std::stoi(conf.at("config/height"));
        ASSERT_EQ(out.shown.size(), QSize(width, height));

        const auto frame = conf.find("frame0/pixels");
        if (frame == conf.end()) continue;  // nothing to compare
        const std::string want = readAll(suite + "/" + frame->second);
        ASSERT_EQ(want.size(), 4u * width * height);
        const auto background = conf.find("config/background");
        const QColor paper =
            background == conf.end() ? kClear : QColor(QString::fromStdString(background->second));
        const auto firstImage = kFirstImageOnly.find(name);
        const QImage shown = out.shown.convertToFormat(QImage::Format_RGBA8888);
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                QColor expected = rgba(want, static_cast<std::size_t>(y) * width + x);
                if (firstImage != kFirstImageOnly.end())
                    expected = firstImage->second(x, y, expected);
                const QColor got = shown.pixelColor(x, y);
                const bool ok =
                    expected.alpha() == 0 ? got.alpha() == 0 || got == paper : got == expected;
                if (!ok && wrong++ == 0)
                    ADD_FAILURE() << "at " << x << ", " << y << ": "
                                  << got.name(QColor::HexArgb).toStdString() << " instead of "
                                  << expected.name(QColor::HexArgb).toStdString();
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_EQ(files, 84);
    EXPECT_EQ(refused, kRefused);
}

// ---------------------------------------------------------------------------
// Scripts

TEST(HostileContent, BrokenScriptsPlayAsWrittenOrStopNamingTheFile) {
    const std::string end = kEnd;
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);

    struct Case {
        const char* name;
        std::function<void(GameFolder&)> write;  // writes txt/opn.txt
        std::vector<std::string> pages;          // each page as it ends, rows joined by "/"
        const char* error = nullptr;             // the run stops with this instead
    };
    auto bytes = [](std::string b) { return [b](GameFolder& f) { f.rawScript("opn", b); }; };
    const Case cases[] = {
        {"binary: every byte value", bytes(everyByte), {"*"}},
        {"NUL before a directive makes it text",
         bytes(std::string("\0tugi\r\nB", 8)),
         {std::string("/\0tugi/B", 8) + end}},
        {"UTF-16 with a byte order mark",
         bytes(std::string("\xFF\xFEt\0u\0g\0i\0\r\0\n\0", 14)),
         {"*"}},
        // A run stops counting once its script is closed; the second would
        // otherwise never end.
        {"repeat count of 10^9 before the chooser line",
         bytes("--1000000000\r\nA\r\nB\r\ntugi\r\nC\r\n"),
         {"/A/B" + end}},
        {"repeat count of 1e308 before the end", bytes("--1e308\r\nA\r\n"), {"/A" + end}},
        {"repeat count of 1e400", bytes("A\r\n--1e400\r\nB\r\n"), {"/A" + end}, "too large"},
        {"repeat count that is no number", bytes("A\r\n--x\r\nB\r\n"), {"/A" + end}, "opn.txt:2"},
        {"title line before any text", bytes("--1\r\n>end\r\n"), {}, "restart forever"},
        // Back in the opening scene the run meets its repeat line again and
        // starts a fresh inner run round the title, for ever.
        {"repeat run round the title",
         bytes("A\r\n--1e9\r\nB\r\n>end\r\n"),
         {"/A" + end},
         "never end"},
        {"missing", [](GameFolder&) {}, {}, "File not found"},
        {"empty", bytes(""), {}, "the file is empty"},
        {"a folder",
         [](GameFolder& f) { mkdir((f.path() + "/txt/opn.txt").c_str(), 0700); },
         {},
         "cannot be read"},
        {"a pipe with no writer",
         [](GameFolder& f) { mkfifo((f.path() + "/txt/opn.txt").c_str(), 0600); },
         {},
         "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.picture("opn");
        c.write(folder);
        const PlayOutcome out = playThrough(folder);
        if (c.error) {
            ASSERT_TRUE(out.error) << "no run-time error";
            EXPECT_NE(std::string(out.error->what()).find(c.error), std::string::npos)
                << out.error->what();
            EXPECT_EQ(out.error->file().substr(0, folder.path().size() + 12),
                      folder.path() + "/txt/opn.txt");
        } else {
            ASSERT_FALSE(out.error) << out.error->what();
            EXPECT_TRUE(out.chooserOpen);
        }
        if (c.pages == std::vector<std::string>{"*"})
            EXPECT_FALSE(out.pages.empty());
        else
            EXPECT_EQ(out.pages, c.pages);
    }
}
