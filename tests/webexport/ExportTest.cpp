// `pirokko --export-web OUT [FOLDER]`, run as an author runs it: what it
// writes, what it refuses, and that a refusal leaves every file as it was.
// A stand-in engine keeps these tests off the web build.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "check/Games.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// Every file and folder under `root` with its kind, size and time of last
// change to the nanosecond: equal listings mean nothing was touched.
std::map<std::string, std::string> listing(const fs::path& root) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        std::ostringstream s;
        s << (e.is_directory() ? "folder " : "file ") << (e.is_regular_file() ? e.file_size() : 0)
          << " " << e.last_write_time().time_since_epoch().count();
        out[e.path().lexically_relative(root).string()] = s.str();
    }
    return out;
}

// The files under `root`, relative, marker included.
std::vector<std::string> files(const fs::path& root) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) out.push_back(e.path().lexically_relative(root).string());
    std::sort(out.begin(), out.end());
    return out;
}

class Export : public ::testing::Test {
  protected:
    Export() : place(scratch.path().toStdString()), engine(place / "engine") {
        fs::create_directory(engine);
        for (const char* name : {"index.html", "pirokko.js", "pirokko.wasm"})
            write(engine / name, std::string("engine ") + name);
    }

    Outcome exportWeb(const QStringList& arguments, const std::string& language = "C.UTF-8") {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) env.remove(name);
        env.insert("LANG", QString::fromStdString(language));
        env.insert("PIROKKO_WEB_ENGINE", QString::fromStdString(engine.string()));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(place.string()));
        p.start(QStringLiteral(PIROKKO_PROGRAM), arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        return {p.exitCode(), p.readAllStandardOutput().toStdString(),
                p.readAllStandardError().toStdString()};
    }
    Outcome exportGame(const fs::path& out) {
        return exportWeb({"--export-web", QString::fromStdString(out.string()),
                          QString::fromStdString(game.folder.path())});
    }

    // The export holds the engine and the game's files byte for byte, and
    // nothing else but its marker.
    void expectExportOf(const fs::path& out) {
        std::vector<std::string> expected{".pirokko-export", "bgm.wav"};
        for (const char* name : {"index.html", "pirokko.js", "pirokko.wasm"}) {
            expected.push_back(name);
            EXPECT_EQ(read(out / name), read(engine / name)) << name;
        }
        for (const char* folder : {"txt", "img"})
            for (const auto& e : fs::directory_iterator(fs::path(game.folder.path()) / folder)) {
                const std::string rel = std::string(folder) + "/" + e.path().filename().string();
                expected.push_back(rel);
                EXPECT_EQ(read(out / rel), read(e.path())) << rel;
            }
        EXPECT_EQ(read(out / "bgm.wav"), read(fs::path(game.folder.path()) / "bgm.wav"));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(files(out), expected);
    }

    QTemporaryDir scratch;
    fs::path place;  // the working folder, with the engine and the outputs
    fs::path engine;
    CleanGame game;
};

}  // namespace

TEST_F(Export, WritesAMissingOrEmptyFolderAndLeavesNothingBesideIt) {
    Outcome r = exportGame(place / "site");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("to " + (place / "site").string() + " (22 files)"), std::string::npos)
        << r.out;
    expectExportOf(place / "site");

    // An empty folder is filled, not replaced: a shell or server in it stays.
    fs::create_directory(place / "empty");
    struct stat before, after;
    ASSERT_EQ(::stat((place / "empty").c_str(), &before), 0);
    r = exportWeb({"--export-web", "empty", QString::fromStdString(game.folder.path())});
    EXPECT_EQ(r.status, 0) << r.err;
    expectExportOf(place / "empty");
    ASSERT_EQ(::stat((place / "empty").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    // No folder it wrote in is left beside them.
    std::vector<std::string> here;
    for (const auto& e : fs::directory_iterator(place)) here.push_back(e.path().filename());
    std::sort(here.begin(), here.end());
    EXPECT_EQ(here, (std::vector<std::string>{"empty", "engine", "site"}));
}

TEST_F(Export, AgainReplacesTheEarlierExportWholeLeavingNoStaleFile) {
    game.write("img/spare.gif", read(fs::path(game.folder.path()) / "img/opn.gif"));
    ASSERT_EQ(exportGame(place / "site").status, 0);
    ASSERT_TRUE(fs::exists(place / "site/img/spare.gif"));

    game.folder.remove("img/spare.gif");
    game.folder.script("3", {"B", "tugi", ""});
    const Outcome r = exportGame(place / "site");
    EXPECT_EQ(r.status, 0) << r.err;
    expectExportOf(place / "site");  // spare.gif gone, the new 3.txt there
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(place)) ++entries;
    EXPECT_EQ(entries, 2u);  // engine and site: the earlier export is gone whole

    // The site's own files, edited there, export again from the site itself.
    write(place / "site/txt/5.txt", scriptBytes({"C", "tugi", ""}));
    const Outcome self = exportWeb({"--export-web", "site", "site"});
    EXPECT_EQ(self.status, 0) << self.err;
    EXPECT_EQ(read(place / "site/txt/5.txt"), scriptBytes({"C", "tugi", ""}));
}

// Whatever the export did not write is never lost: nothing is touched,
// neither in OUT nor beside it, and the refusal names what is in the way.
TEST_F(Export, RefusesWithStatusTwoAFolderItDidNotWriteTouchingNothing) {
    fs::create_directories(place / "home/notes");
    write(place / "home/notes/diary.txt", "mine");
    write(place / "home/todo.txt", "mine too");
    write(place / "file", "not a folder");
    ASSERT_EQ(exportGame(place / "earlier").status, 0);
    ASSERT_EQ(exportGame(place / "edited").status, 0);
    write(place / "edited/txt/2.txt", scriptBytes({"changed", "tugi", ""}));
    ASSERT_EQ(exportGame(place / "added").status, 0);
    write(place / "added/img/mine.gif", "x");
    fs::create_directory(place / "added/later");

    struct Case {
        fs::path out;
        std::string named;
    };
    for (const Case& c : {Case{place / "home", (place / "home/notes").string()},
                          Case{place / "file", (place / "file").string()},
                          Case{place / "edited", (place / "edited/txt/2.txt").string()},
                          Case{place / "added", (place / "added/img/mine.gif").string()},
                          Case{place / "added", (place / "added/later").string()},
                          Case{fs::path(game.folder.path()) / "img/site", "img"}}) {
        const auto before = listing(place);
        const auto gameBefore = listing(game.folder.path());
        const Outcome r = exportGame(c.out);
        EXPECT_EQ(r.status, 2) << c.out;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_EQ(listing(place), before) << c.out;
        EXPECT_EQ(listing(game.folder.path()), gameBefore) << c.out;
    }

    // The same refusal in Japanese.
    const Outcome ja = exportWeb(
        {"--export-web", "home", QString::fromStdString(game.folder.path())}, "ja_JP.UTF-8");
    EXPECT_EQ(ja.status, 2);
    EXPECT_NE(ja.err.find("何も変えていません"), std::string::npos) << ja.err;
}

TEST_F(Export, RefusesAGameWithErrorsWritingNothingAndGoesOnPastWarnings) {
    game.folder.remove("img/4.gif");
    const auto before = listing(place);
    Outcome r = exportGame(place / "site");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(game.folder.path() + "/img/4.gif: error: missing"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("nothing was exported"), std::string::npos) << r.err;
    EXPECT_EQ(listing(place), before);

    game.folder.picture("4");
    game.folder.remove("bgm.wav");
    r = exportGame(place / "site");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find(game.folder.path() + "/bgm.wav: warning: missing"), std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::exists(place / "site/txt/opn.txt"));
    EXPECT_FALSE(fs::exists(place / "site/bgm.wav"));
}

TEST_F(Export, MisusesAreUsageErrorsAndAMissingFolderOrEngineIsNamed) {
    const QString folder = QString::fromStdString(game.folder.path());
    for (const QStringList& arguments :
         {QStringList{"--export-web"}, QStringList{"--export-web", ""},
          QStringList{"--export-web", "site", "--preview", "1", folder},
          QStringList{"--export-web", "site", folder, folder}}) {
        const Outcome r = exportWeb(arguments);
        EXPECT_EQ(r.status, 2) << arguments.join(' ').toStdString();
        EXPECT_NE(r.err.find("usage: pirokko"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(place / "site"));

    Outcome r = exportWeb({"--export-web", "site", "no-such-game"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((place / "no-such-game").string()), std::string::npos) << r.err;

    fs::remove(engine / "pirokko.wasm");
    r = exportGame(place / "site");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((engine / "pirokko.wasm").string()), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(place / "site"));
}
