// The program itself: its output forms, its exit codes and its default
// folder.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include "check/Games.h"

namespace {

struct Outcome {
    int exitCode;
    std::string out;
};

// The environment of a session in `variables` ("NAME=value"), whatever
// language the one running the tests speaks.
QProcessEnvironment session(const QStringList& variables) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) env.remove(name);
    for (const QString& v : variables) env.insert(v.section('=', 0, 0), v.section('=', 1));
    return env;
}

Outcome runCheck(const QStringList& arguments, const std::string& workingFolder = ".") {
    QProcess p;
    p.setProcessEnvironment(session({"LANG=C.UTF-8"}));
    p.setWorkingDirectory(QString::fromStdString(workingFolder));
    p.start(QStringLiteral(PIROKKO_CHECK_PROGRAM), arguments);
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return {p.exitCode(), p.readAllStandardOutput().toStdString()};
}

}  // namespace

// With no folder named it checks the one it runs in.
TEST(Program, ExitsZeroWithWarningsAloneOneWithAnyErrorAndTwoWhenItCannotCheck) {
    CleanGame g;
    Outcome r = runCheck({}, g.folder.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "0 errors, 0 warnings\n");

    g.folder.remove("bgm.wav");
    r = runCheck({QString::fromStdString(g.folder.path())});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "bgm.wav: warning: missing; the game plays without music\n0 errors, 1 warning\n");

    g.folder.rawScript("3", "A\r\ntugi\r\nB\xFF\r\n");
    r = runCheck({QString::fromStdString(g.folder.path())});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.find("txt/3.txt:3: error: the game reads this line after \"tugi\""), 0u)
        << r.out;
    EXPECT_NE(r.out.find("\ntxt/3.txt:3:2: warning: a byte here"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n1 error, 2 warnings\n"), std::string::npos) << r.out;

    // What it cannot check.
    for (const QStringList& arguments :
         {QStringList{"/nonexistent-folder"}, QStringList{"--frobnicate"}, QStringList{".", "."}})
        EXPECT_EQ(runCheck(arguments).exitCode, 2) << arguments.join(' ').toStdString();
}

TEST(Program, JsonListsTheSameFindingsForTools) {
    CleanGame g;
    g.folder.remove("img/4.gif");
    g.folder.rawScript("5", "A\r\n--\"x\\\xFF\r\n");
    const Outcome r = runCheck({"--json", QString::fromStdString(g.folder.path())});
    EXPECT_EQ(r.exitCode, 1);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out;
    const QJsonArray findings = doc.array();
    ASSERT_EQ(findings.size(), 3) << r.out;

    const QJsonObject picture = findings[0].toObject();
    EXPECT_EQ(picture["file"].toString(), "img/4.gif");
    EXPECT_EQ(picture["line"].toInt(-1), 0);
    EXPECT_FALSE(picture.contains("column"));
    EXPECT_EQ(picture["severity"].toString(), "error");
    EXPECT_TRUE(picture["message"].toString().startsWith("missing"));

    // Quotation marks, backslashes and the replacement character survive.
    const QJsonObject count = findings[1].toObject();
    EXPECT_EQ(count["file"].toString(), "txt/5.txt");
    EXPECT_EQ(count["line"].toInt(), 2);
    EXPECT_TRUE(count["message"].toString().contains(QString::fromUtf8("\"\"x\\\uFFFD\"")))
        << r.out;
    const QJsonObject bytes = findings[2].toObject();
    EXPECT_EQ(bytes["column"].toInt(), 6);
    EXPECT_EQ(bytes["severity"].toString(), "warning");
}

// Findings and summary in the session's language; the "file: severity:"
// prefix and the JSON keys stay as tools parse them.
TEST(Program, SpeaksTheSessionsLanguage) {
    CleanGame g;
    g.folder.remove("bgm.wav");
    const QString path = QString::fromStdString(g.folder.path());
    struct Language {
        std::string message, summary;
    };
    const Language english{"missing; the game plays without music", "0 errors, 1 warning"};
    const Language japanese{"ありません。ゲームは音楽なしで進みます", "エラー 0 件、警告 1 件"};
    const std::pair<QStringList, Language> cases[] = {
        {{"LANG=ja_JP.UTF-8"}, japanese},
        {{"LANG=C.UTF-8"}, english},
        {{"LANGUAGE=ja", "LANG=C.UTF-8"}, japanese},
        {{"LC_MESSAGES=ja_JP.UTF-8", "LANG=C.UTF-8"}, japanese},
        {{"LC_ALL=ja_JP.UTF-8", "LANG=C.UTF-8"}, japanese},
    };
    for (const auto& [variables, expected] : cases) {
        SCOPED_TRACE(variables.join(' ').toStdString());
        QProcess p;
        p.setProcessEnvironment(session(variables));
        p.start(QStringLiteral(PIROKKO_CHECK_PROGRAM), {path});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.readAllStandardOutput().toStdString(),
                  "bgm.wav: warning: " + expected.message + "\n" + expected.summary + "\n");

        p.start(QStringLiteral(PIROKKO_CHECK_PROGRAM), {"--json", path});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QJsonObject finding =
            QJsonDocument::fromJson(p.readAllStandardOutput()).array()[0].toObject();
        EXPECT_EQ(finding.keys(), (QStringList{"file", "line", "message", "severity"}));
        EXPECT_EQ(finding["severity"].toString(), "warning");
        EXPECT_EQ(finding["message"].toString().toStdString(), expected.message);
    }
}
