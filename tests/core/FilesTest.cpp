#include <gtest/gtest.h>

#include <fstream>

#include "platform/system/Files.h"
#include "support/GameFolder.h"

// Line ends of every convention, code page 932 as Windows decodes it, bytes
// that do not decode, and a line longer than the reader's buffer.
TEST(LineInput, ReadsScriptBytesAsTheirLines) {
    using Lines = std::vector<std::string>;
    const std::string longLine(300000, 'x');
    const std::pair<std::string, Lines> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        // A lone LF is part of its line, wherever it stands.
        {"a\nb", {"a\nb"}},
        {"\na\n\r\nb\n", {"\na\n", "b\n"}},
        {"a\r\n\r\n\rb", {"a", "", "", "b"}},
        {"a\n\rb", {"a\n", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"  \r\n", {"  "}},
        // 0x8160 is the wave dash of Windows (U+FF5E), 0x8740 a circled one,
        // and 0x5C stays a backslash.
        {"\x81\x60\x87\x40\x5c\x7e\x82\xa0\xb1\r\n", {"\uFF5E\u2460\\~\u3042\uFF71"}},
        // A lone lead byte before a space and before a line end, an undefined
        // lead byte, and a lead byte cut off by the end of the file.
        {"a\x81 b\xa0"
         "c\x81\r\nd\x82",
         {"a\uFFFD b\uFFFDc\uFFFD", "d\uFFFD"}},
        {std::string("n\0ul", 4), {std::string("n\0ul", 4)}},
        {longLine + "\r\ny", {longLine, "y"}},
    };
    for (const auto& [bytes, lines] : cases) {
        SCOPED_TRACE(bytes.substr(0, 20));
        GameFolder folder;
        const std::string path = folder.path() + "/txt/s.txt";
        std::ofstream(path, std::ios::binary) << bytes;
        platform::FileTable files;
        files.OpenForInput(platform::fromUtf8(path), 1);
        Lines got;
        while (!files.Eof(1)) got.push_back(utf8(files.LineInput(1)));
        EXPECT_EQ(got, lines);
    }
}
