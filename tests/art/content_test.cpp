// Checks on the game as shipped: the scene scripts and pictures in game/
// and the window icon, which the program reads as they are committed.

#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImageReader>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <map>
#include <vector>

#include "gif.h"
#include "scenes.h"

namespace {

const QString kRoot = QStringLiteral(PIROKKO_SOURCE_DIR);

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

struct Script {
    QByteArray bytes;
    QStringList lines;  // decoded, without their CR LF
    bool decodedCleanly = false;
};

Script loadScript(const QString& scene) {
    Script script;
    script.bytes = readFile(kRoot + "/game/txt/" + scene + ".txt");
    QStringDecoder decoder("windows-31j");
    const QString text = decoder.decode(script.bytes);
    script.decodedCleanly =
        decoder.isValid() && !decoder.hasError() && !text.contains(QChar::ReplacementCharacter);
    script.lines = text.split("\r\n");
    if (!script.lines.isEmpty() && script.lines.back().isEmpty()) script.lines.pop_back();
    return script;
}

bool isRepeat(const QString& line) {
    return line.startsWith("--");
}

// A line that, coming next, ends the page of the line just shown.
bool endsPageBefore(const QString& next) {
    return next.isEmpty() || next.startsWith("-") || next.startsWith(">game") ||
           next.startsWith(">ive") || next.startsWith(">end") || next.startsWith("tugi");
}

// The pages a player sees, in the order of the file: repeat runs only
// act on the lines that follow them, so the file order is the show order.
std::vector<QStringList> pagesOf(const QStringList& lines) {
    std::vector<QStringList> pages;
    bool freshPage = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith("tugi") || line.startsWith(">end")) break;
        if (line.isEmpty() || isRepeat(line)) continue;
        if (freshPage) pages.emplace_back();
        pages.back() << line;
        freshPage = endsPageBefore(i + 1 < lines.size() ? lines[i + 1] : QStringLiteral("tugi"));
    }
    return pages;
}

// Width in half-width columns, the unit in which the label's 24 full-width
// characters are counted.
int columns(const QString& line) {
    int width = 0;
    for (QChar c : line) width += c.unicode() < 0x80 || (c >= u'\uFF61' && c <= u'\uFF9F') ? 1 : 2;
    return width;
}

class ShippedScripts : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const QString& scene : makeart::sceneNames()) scripts_[scene] = loadScript(scene);
    }
    std::map<QString, Script> scripts_;
};

TEST_F(ShippedScripts, AreCodePage932WithCrLfLineEnds) {
    for (const auto& [scene, script] : scripts_) {
        SCOPED_TRACE(scene.toStdString());
        EXPECT_TRUE(script.decodedCleanly);
        EXPECT_TRUE(script.bytes.endsWith("\r\n"));
        EXPECT_EQ(script.bytes.count('\r'), script.bytes.count('\n'));
        EXPECT_EQ(script.bytes.count('\r'), script.bytes.count("\r\n"));
    }
}

TEST_F(ShippedScripts, EndWhereThePlayerExpects) {
    for (const auto& [scene, script] : scripts_) {
        SCOPED_TRACE(scene.toStdString());
        const QStringList& lines = script.lines;
        ASSERT_GE(lines.size(), 2);
        if (scene == "7") {
            // The last scene goes back to the title and never opens the chooser.
            EXPECT_EQ(lines.back(), ">end");
            EXPECT_TRUE(lines.filter(QRegularExpression("^tugi")).isEmpty());
        } else {
            // The chooser line comes last but for the empty line that holds the
            // auto-advance timer once the script is closed.
            EXPECT_EQ(lines[lines.size() - 2], "tugi");
            EXPECT_EQ(lines.back(), "");
            EXPECT_EQ(lines.filter(QRegularExpression("^(tugi|>end)")).size(), 1);
        }
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!isRepeat(lines[i])) continue;
            bool isNumber = false;
            const int count = lines[i].mid(2).toInt(&isNumber);
            ASSERT_TRUE(isNumber) << lines[i].toStdString();
            // Each step shows one plain line; a directive inside the run would
            // change how many lines it takes or run past the chooser line.
            for (int k = 1; k <= count; ++k) {
                ASSERT_LT(i + k, lines.size());
                const QString& shown = lines[i + k];
                EXPECT_FALSE(shown.isEmpty() || shown.startsWith("-") || shown.startsWith("tugi") ||
                             shown.startsWith(">end"))
                    << "step " << k << " after " << lines[i].toStdString();
            }
        }
    }
}

TEST_F(ShippedScripts, PagesFitTheLabel) {
    // The label is 433 pixels wide and 257 high with IPAPGothic at 16
    // pixels; its leftmost 16 pixels lie off the window and lines are
    // centred, so a line must stay within 433 - 2 * 16 pixels, page-end mark
    // included, and a page of 12 lines below its blank first row still fits.
    const bool haveFont = QFontDatabase::families().contains("IPAPGothic");
    QFont font("IPAPGothic");
    font.setPixelSize(16);
    const QFontMetrics metrics(font);
    for (const auto& [scene, script] : scripts_) {
        SCOPED_TRACE(scene.toStdString());
        const auto pages = pagesOf(script.lines);
        EXPECT_GE(pages.size(), 3u);
        for (const QStringList& page : pages) {
            EXPECT_LE(page.size(), 12) << page.front().toStdString();
            for (const QString& line : page) {
                EXPECT_LE(columns(line), 48) << line.toStdString();
                if (haveFont) {
                    EXPECT_LE(metrics.horizontalAdvance(line + QChar(0x25BC)), 433 - 2 * 16)
                        << line.toStdString();
                }
            }
        }
        if (haveFont) {
            EXPECT_LE(13 * metrics.lineSpacing(), 257);
        }
    }
}

TEST_F(ShippedScripts, TogetherUseEveryLineKind) {
    std::map<QString, int> kinds;
    for (const auto& [scene, script] : scripts_)
        for (const QString& line : script.lines) {
            if (isRepeat(line))
                ++kinds["repeat"];
            else if (line.startsWith("-"))
                ++kinds["new page"];
            else if (line.isEmpty())
                ++kinds["empty"];
            else if (line.startsWith(">ive"))
                ++kinds[">ive"];
            else if (line.startsWith(">game"))
                ++kinds[">game"];
        }
    for (const char* kind : {"repeat", "new page", "empty", ">ive", ">game"})
        EXPECT_GT(kinds[kind], 0) << kind;
    // The opening is the first thing anyone sees of the script format.
    const QStringList& opening = scripts_["opn"].lines;
    EXPECT_TRUE(opening.contains(""));
    EXPECT_FALSE(opening.filter(QRegularExpression("^-[^-]")).isEmpty());
}

QImage readGif(const QString& path) {
    QImageReader reader(path, "gif");
    const QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << path.toStdString() << ": "
                                 << reader.errorString().toStdString();
    return image;
}

TEST(ShippedPictures, EverySceneHasASmallGifOfThePictureArea) {
    for (const QString& scene : makeart::sceneNames()) {
        SCOPED_TRACE(scene.toStdString());
        const QString path = kRoot + "/game/img/" + scene + ".gif";
        EXPECT_TRUE(readFile(path).startsWith("GIF89a"));
        EXPECT_EQ(readGif(path).size(), QSize(makeart::kSceneWidth, makeart::kSceneHeight));
        EXPECT_LT(QFile(path).size(), 64 * 1024);
    }
    const QImage icon = readGif(kRoot + "/src/app/icon.gif");
    EXPECT_EQ(icon.size(), QSize(makeart::kIconSize, makeart::kIconSize));
}

TEST(ShippedPictures, AreRedrawnTheSameEveryTime) {
    // The pictures are committed output; drawing that depended on
    // uninitialised memory would churn them on every run.
    for (const QString& scene : makeart::sceneNames()) {
        SCOPED_TRACE(scene.toStdString());
        EXPECT_TRUE(makeart::drawScene(scene) == makeart::drawScene(scene));
    }
    EXPECT_TRUE(makeart::drawIcon() == makeart::drawIcon());
    EXPECT_THROW(makeart::drawScene("8"), std::invalid_argument);
}

}  // namespace
