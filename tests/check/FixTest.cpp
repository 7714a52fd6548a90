// pirokko-check --fix: what it converts, what it leaves alone, and that each
// file it writes is replaced in one step.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <fstream>
#include <sstream>

#include "check/Fix.h"
#include "check/Games.h"

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct FileId {
    ino_t inode;
    mode_t mode;
    bool operator==(const FileId&) const = default;
};
FileId idOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return {st.st_ino, st.st_mode};
}

}  // namespace

TEST(Fix, ConvertsWhatALinuxEditorSavesAndLeavesTheRestAsItWas) {
    const std::string cp932Text = scriptBytes({"朝早く、ぴろっこは", "～①＼", "tugi", ""});
    const std::string utf8Lf = "朝早く、ぴろっこは\n～①＼\ntugi\n\n";
    struct Case {
        const char* name;
        std::string before;
        std::string after;  // empty: as before
        std::vector<std::string> found = {};
    };
    const Case cases[] = {
        {"UTF-8 with LF", utf8Lf, cp932Text},
        {"UTF-8 with CR LF and a byte order mark",
         "\xEF\xBB\xBF朝早く、ぴろっこは\r\n～①＼\r\ntugi\r\n\r\n", cp932Text},
        {"code page 932 with LF", cp932("朝\ntugi\n\n"), cp932("朝\r\ntugi\r\n\r\n")},
        {"line ends converted twice", cp932("朝\r\r\ntugi\r\r\n\r\r\n"),
         cp932("朝\r\ntugi\r\n\r\n")},
        {"UTF-8 with doubled line ends", "朝\r\r\ntugi\r\r\n", cp932("朝\r\ntugi\r\n")},
        // Columns count characters, as the checker's do.
        {"characters code page 932 lacks",
         "はじめ\nきつね🦊と、たぬき\n丸ごと🦊\n",
         "",
         {"txt/3.txt:2:4 error", "txt/3.txt:3:4 error"}},
        {"already right", cp932Text, ""},
        // A lone LF among CR LF ends is a row break the author meant.
        {"a lone LF inside a CR LF script", cp932("朝\n昼\r\ntugi\r\n"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CleanGame g;
        const std::string path = g.folder.path() + "/txt/3.txt";
        g.folder.rawScript("3", c.before);
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        const FileId before = idOf(path);
        const auto other = idOf(g.folder.path() + "/txt/2.txt");

        const check::Fixed fixed = check::fixFolder(g.folder.path());
        EXPECT_EQ(where(fixed.findings), c.found);
        const std::string expected = c.after.empty() ? c.before : c.after;
        EXPECT_EQ(bytesOf(path), expected);
        EXPECT_EQ(fixed.converted.size(), c.after.empty() ? 0u : 1u);
        if (c.after.empty()) {
            EXPECT_EQ(idOf(path), before) << "rewritten";
        } else {
            EXPECT_EQ(idOf(path).mode, before.mode);
            EXPECT_NE(idOf(path).inode, before.inode) << "written in place";
            EXPECT_TRUE(g.check().empty()) << check::formatText(g.check().front());
        }
        for (const auto& f : fixed.findings)
            EXPECT_NE(f.message.find("\xF0\x9F\xA6\x8A"), std::string::npos) << f.message;  // 🦊
        EXPECT_EQ(idOf(g.folder.path() + "/txt/2.txt"), other);

        // The second run finds nothing more to do.
        const check::Fixed again = check::fixFolder(g.folder.path());
        EXPECT_TRUE(again.converted.empty());
        EXPECT_EQ(bytesOf(path), expected);
    }
}

TEST(Fix, TheProgramSaysWhatItConvertedAndExitsAsTheCheckDoes) {
    CleanGame g;
    const auto run = [&g] {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) env.remove(name);
        env.insert("LANG", "C.UTF-8");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(g.folder.path()));
        p.start(QStringLiteral(PIROKKO_CHECK_PROGRAM), {"--fix"});
        EXPECT_TRUE(p.waitForFinished(30000));
        return std::make_pair(p.exitCode(), p.readAllStandardOutput().toStdString());
    };
    g.folder.rawScript("0", "あ\ntugi\n\n");
    g.folder.rawScript("4", "🦊\r\ntugi\r\n\r\n");
    auto [code, out] = run();
    EXPECT_EQ(code, 1);
    EXPECT_EQ(out,
              "txt/0.txt: converted: UTF-8 to code page 932, line ends LF to CR LF\n"
              "txt/4.txt:1:1: error: \"🦊\" (U+1F98A) is not in code page 932, so the script is "
              "left as it was; replace it, then run pirokko-check --fix again\n"
              "1 error, 0 warnings\n");
    g.folder.rawScript("4", "A\r\ntugi\r\n\r\n");
    std::tie(code, out) = run();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out, "nothing to convert: every script is code page 932 with CR LF line ends\n");
}
