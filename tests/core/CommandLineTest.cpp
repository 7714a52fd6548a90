// The command line as the game reads it: which folder it plays, and the
// words and exit statuses of everything it refuses.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>

#include "app/CommandLine.h"
#include "support/GameFolder.h"

namespace {

Launch launch(std::vector<std::string> args) {
    std::vector<const char*> argv{"pirokko"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    return readLaunch(static_cast<int>(argv.size()), argv.data(), u"/usr/lib/pirokko");
}

// Runs the test from `folder` and comes back to where it was.
struct WorkingFolder {
    explicit WorkingFolder(const std::string& folder) : before(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(before); }
    std::filesystem::path before;
};

}  // namespace

TEST(CommandLine, AFolderTakesThePlaceOfTheProgramsFolderForEveryFileTheGameReads) {
    GameFolder folder;  // .../game; played here as "遊び 場" from its parent
    folder.script("opn", {"夜の森", "tugi"});
    folder.picture("opn");
    const std::string parent = std::filesystem::path(folder.path()).parent_path();
    const std::string named = parent + "/遊び 場";
    std::filesystem::rename(folder.path(), named);
    WorkingFolder here(parent);
    for (const std::string given : {"遊び 場", "遊び 場/", "./遊び 場/../遊び 場"}) {
        const Launch l = launch({given});
        ASSERT_EQ(l.kind, Launch::Kind::kPlay) << given << ": " << l.text;
        EXPECT_EQ(utf8(l.options.gameFolder), named) << given;
        EXPECT_FALSE(l.options.preview);
    }
    EXPECT_EQ(utf8(launch({}).options.gameFolder), "/usr/lib/pirokko");

    TestGame g(launch({"遊び 場"}).options.gameFolder);
    g.start();
    EXPECT_EQ(utf8(g.fom->BasePath), named + "/");
    EXPECT_EQ(utf8(g.fom->ImgPath), named + "/img/");
    EXPECT_EQ(utf8(g.fom->TxtPath), named + "/txt/");
    ASSERT_GE(g.media.commands.size(), 2u);
    EXPECT_EQ(g.media.commands[1], "open \"" + named + "/bgm.wav\" alias MIDI");
    EXPECT_EQ(g.label(), "/夜の森\u25BC");  // the named folder's own opening
}

TEST(CommandLine, RefusesWhatItCannotPlayNamingTheFolderOrTheScript) {
    GameFolder folder;
    folder.script("3", {"一", "二", "三"});
    const std::string file = folder.path() + "/txt/3.txt";

    Launch l = launch({folder.path() + "/nothing here"});
    ASSERT_EQ(l.kind, Launch::Kind::kFolderError);
    EXPECT_EQ(l.folderError->file(), folder.path() + "/nothing here");
    EXPECT_EQ(l.folderError->description(), "The game folder does not exist");
    l = launch({file});
    ASSERT_EQ(l.kind, Launch::Kind::kFolderError);
    EXPECT_EQ(l.folderError->description(), "The game folder is not a folder");

    // A folder without txt/ is a game with a missing script: the game says
    // which file when it starts.
    folder.picture("opn");
    QDir(QString::fromStdString(folder.path() + "/txt")).removeRecursively();
    EXPECT_EQ(launch({folder.path()}).kind, Launch::Kind::kPlay);
    TestGame g(folder);
    try {
        g.start();
        ADD_FAILURE() << "started without a script";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.file(), folder.path() + "/txt/opn.txt");
    }
}

TEST(CommandLine, UsageErrorsSayWhatIsWrongThenShowTheUsage) {
    GameFolder folder;
    folder.script("3", {"一", "二", "三"});
    const std::string f = folder.path();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"-x", f}, "unknown option -x"},
        {{f, f}, "only one game folder can be played at a time"},
        {{"--preview"}, "--preview needs a value: SCENE[:LINE]"},
        {{"--preview", "8", f}, "there is no scene 8: the scenes are opn and 0 to 7"},
        {{"--preview", "../opn", f}, "there is no scene ../opn: the scenes are opn and 0 to 7"},
        {{"--preview", "3:0", f}, "0 is not a line number: lines count from 1"},
        {{"--preview", "3:-3", f}, "-3 is not a line number: lines count from 1"},
        {{"--preview=3:x", f}, "x is not a line number: lines count from 1"},
        {{"--preview", "3:", f}, "\"\" is not a line number: lines count from 1"},
        {{"--preview", "3:4", f}, f + "/txt/3.txt has 3 lines: there is no line 4"},
    };
    for (const auto& [args, message] : cases) {
        const Launch l = launch(args);
        ASSERT_EQ(l.kind, Launch::Kind::kUsageError) << message;
        EXPECT_EQ(l.text, "pirokko: " + message + "\n" + launchUsage());
    }
    // A scene error is the command line's fault, whatever the folder.
    EXPECT_EQ(launch({"--preview", "8", f + "/none"}).kind, Launch::Kind::kUsageError);

    const Launch ok = launch({"--preview", "3:3", f});
    ASSERT_EQ(ok.kind, Launch::Kind::kPlay) << ok.text;
    EXPECT_EQ(utf8(ok.options.preview->scene), "3");
    EXPECT_EQ(ok.options.preview->line, 3);
    // Without a line, a missing script is left to the game to report.
    EXPECT_EQ(launch({"--preview", "opn", f}).options.preview->line, 0);
    EXPECT_EQ(launch({"--preview", "5:2", f}).kind, Launch::Kind::kPlay);
}

// The real program: what it prints where, and its exit statuses.
TEST(CommandLine, TheProgramFollowsTheUsualConventions) {
    struct Run {
        int status;
        std::string out, err;
    };
    auto run = [](const QStringList& args, const QString& language = "C.UTF-8") {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) env.remove(name);
        env.insert("LANG", language);
        env.insert("QT_QPA_PLATFORM", "offscreen");  // no display: no box either
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PIROKKO_PROGRAM), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return Run{p.exitCode(), p.readAllStandardOutput().toStdString(),
                   p.readAllStandardError().toStdString()};
    };
    Run r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out.find("usage: pirokko [FOLDER]\n       pirokko --preview SCENE[:LINE] [FOLDER]\n"), 0u)
        << r.out;
    EXPECT_EQ(r.err, "");
    r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("pirokko ", 0), 0u);
    r = run({"--nonsense"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: pirokko [FOLDER]"), std::string::npos);

    QTemporaryDir dir;
    const std::string missing = dir.path().toStdString() + "/夜 の 森";
    r = run({QString::fromStdString(missing)});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;

    r = run({"--nonsense"}, "ja_JP.UTF-8");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("というオプションはありません"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("使い方"), std::string::npos) << r.err;
}
