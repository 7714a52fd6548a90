#include <gtest/gtest.h>

#include <fstream>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "support/GameFolder.h"

namespace {

struct ScriptFile {
    explicit ScriptFile(const std::string& bytes) {
        path = folder.path() + "/txt/s.txt";
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::vector<std::string> lines() {
        platform::FileTable files;
        files.OpenForInput(platform::fromUtf8(path), 1);
        std::vector<std::string> out;
        while (!files.Eof(1)) out.push_back(utf8(files.LineInput(1)));
        files.Close(1);
        return out;
    }
    GameFolder folder;
    std::string path;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST(LineInput, EndsLinesAtCrLfCrOrLfAndNeverMakesAnExtraLineAtTheEnd) {
    EXPECT_EQ(ScriptFile("a\r\nb\r\n").lines(), (Lines{"a", "b"}));
    EXPECT_EQ(ScriptFile("a\rb\r").lines(), (Lines{"a", "b"}));
    EXPECT_EQ(ScriptFile("a\nb").lines(), (Lines{"a", "b"}));
    EXPECT_EQ(ScriptFile("a\r\n\r\n\rb").lines(), (Lines{"a", "", "", "b"}));
    EXPECT_EQ(ScriptFile("last without end").lines(), (Lines{"last without end"}));
    EXPECT_EQ(ScriptFile("\r\n").lines(), (Lines{""}));
    EXPECT_EQ(ScriptFile("  \r\n").lines(), (Lines{"  "}));
}

TEST(LineInput, DecodesCodePage932AsWindowsDoes) {
    // 0x8160 is the wave dash of Windows (U+FF5E), 0x8740 a circled one, and
    // 0x5C stays a backslash.
    EXPECT_EQ(ScriptFile("\x81\x60\x87\x40\x5c\x7e\x82\xa0\xb1\r\n").lines(),
              (Lines{"\uFF5E\u2460\\~\u3042\uFF71"}));
}

TEST(LineInput, BytesThatDoNotDecodeBecomeReplacementCharacters) {
    // A lone lead byte before a space, an undefined lead byte, and a lead
    // byte cut off by the end of the file.
    EXPECT_EQ(ScriptFile("a\x81 b\xa0"
                         "c\x82")
                  .lines(),
              (Lines{"a\uFFFD b\uFFFDc\uFFFD"}));
    EXPECT_EQ(ScriptFile(std::string("n\0ul", 4)).lines(), (Lines{std::string("n\0ul", 4)}));
}

TEST(LineInput, ReadsALineLongerThanItsBuffer) {
    const std::string longLine(300000, 'x');
    EXPECT_EQ(ScriptFile(longLine + "\r\n" + "y").lines(), (Lines{longLine, "y"}));
}

TEST(FileNumbers, ReportMisuseAsRunTimeErrors) {
    ScriptFile empty("");
    platform::FileTable files;
    EXPECT_EQ(files.FreeFile(), 1);
    files.OpenForInput(platform::fromUtf8(empty.path), 1);
    EXPECT_EQ(files.FreeFile(), 2);
    EXPECT_TRUE(files.Eof(1));
    try {
        files.LineInput(1);
        ADD_FAILURE();
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kInputPastEnd);
        EXPECT_EQ(e.file(), empty.path);
    }
    EXPECT_THROW(files.OpenForInput(platform::fromUtf8(empty.path), 1), platform::RuntimeError);
    files.Close(1);
    EXPECT_THROW(files.Close(1), platform::RuntimeError);
    EXPECT_THROW(files.Eof(1), platform::RuntimeError);
    try {
        files.OpenForInput(platform::fromUtf8(empty.folder.path() + "/txt/none.txt"), 1);
        ADD_FAILURE();
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kFileNotFound);
    }
    // A folder is not a script, and opening one must not block or succeed.
    EXPECT_THROW(files.OpenForInput(platform::fromUtf8(empty.folder.path() + "/txt"), 1),
                 platform::RuntimeError);
}
