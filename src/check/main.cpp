// pirokko-check [--json] [FOLDER]: checks a game folder (by default the
// current one) for content that would stop or derail the game, and exits 1
// when it finds an error. With --fix it converts the scripts a Linux editor
// saved into what the game reads instead.

#include <stdlib.h>

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "app/Identity.h"
#include "app/Version.h"
#include "check/Check.h"
#include "check/Fix.h"
#include "platform/system/CommandLine.h"
#include "platform/system/Language.h"
#include "platform/system/Program.h"

namespace {

std::string usage() {
    return platform::trText(
        "Check",
        "usage: pirokko-check [--json] [FOLDER]\n"
        "       pirokko-check --fix [FOLDER]\n"
        "       pirokko-check --version\n"
        "Checks the game folder FOLDER (by default the current folder), the one that\n"
        "`pirokko FOLDER` plays: the scene scripts in txt/, the pictures in img/ and\n"
        "bgm.wav. Prints one line per finding,\n"
        "  FILE:LINE[:COLUMN]: error|warning: MESSAGE\n"
        "(FILE relative to FOLDER, LINE left out for a finding about a whole file), then a\n"
        "summary; with --json, a JSON array of {file, line (0 for a whole file), column\n"
        "(when known), severity, message} instead. Exits 1 when there is an error, 0 otherwise,\n"
        "2 when it cannot check.\n"
        "--fix converts each script saved as UTF-8, or with LF or doubled (CR CR LF) line\n"
        "ends, into code page 932 with CR LF, replacing the file in one step; a script\n"
        "holding a character that code page 932 lacks is left as it was and the character\n"
        "named. It prints what it converted and exits as the check does.\n");
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "pirokko-check: %s\n%s", message.c_str(), usage().c_str());
    return 2;
}

// The toolkit's own notices (a missing runtime folder, say) would mix with
// the findings.
void quietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fprintf(stderr, "pirokko-check: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing is ever shown: the game's window is only played, never drawn on
    // a screen, and no sound card is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    qInstallMessageHandler(quietToolkit);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    introduceGame();
    platform::useSessionLanguage();

    const platform::CommandLine line = platform::readCommandLine(
        argc, argv, {{{"json"}}, {{"fix"}}, {{"help", "h"}}, {{"version"}}});
    if (line.fault != platform::CommandLine::Fault::kNone)
        return usageError(
            platform::fillIn(platform::trText("Check", "unknown option %1"), {line.faultyOption}));
    if (line.isSet("help")) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    if (line.isSet("version")) {
        std::printf("%s\n", versionLine("pirokko-check").c_str());
        return 0;
    }
    if (line.positional.size() > 1)
        return usageError(platform::trText("Check", "only one folder can be checked at a time"));
    const bool json = line.isSet("json");
    if (json && line.isSet("fix"))
        return usageError(platform::trText("Check", "--fix and --json cannot be used together"));
    const std::string folder = line.positional.empty() ? "." : line.positional.front();
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        std::fprintf(
            stderr, "pirokko-check: %s\n",
            platform::fillIn(platform::trText("Check", "%1: not a folder"), {folder}).c_str());
        return 2;
    }

    try {
        if (line.isSet("fix")) {
            const check::Fixed fixed = check::fixFolder(folder);
            for (const std::string& converted : fixed.converted)
                std::printf("%s\n", converted.c_str());
            for (const check::Finding& f : fixed.findings)
                std::printf("%s\n", check::formatText(f).c_str());
            if (fixed.converted.empty() && fixed.findings.empty())
                std::printf("%s\n", platform::trText("Check",
                                                     "nothing to convert: every script is code "
                                                     "page 932 with CR LF line ends")
                                        .c_str());
            else
                std::printf("%s\n", check::summary(fixed.findings).c_str());
            return check::hasErrors(fixed.findings) ? 1 : 0;
        }
        const std::vector<check::Finding> findings = check::checkFolder(folder);
        if (json) {
            std::printf("%s\n", check::formatJson(findings).c_str());
        } else {
            for (const check::Finding& f : findings)
                std::printf("%s\n", check::formatText(f).c_str());
            std::printf("%s\n", check::summary(findings).c_str());
        }
        return check::hasErrors(findings) ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pirokko-check: %s\n", e.what());
        return 2;
    }
}
