#include "webexport/ExportCommand.h"

#include <stdlib.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

#include "app/CommandLine.h"
#include "check/Check.h"
#include "platform/system/Language.h"
#include "platform/system/Program.h"
#include "webexport/Export.h"

namespace webexport {

namespace {

using platform::fillIn;
using platform::trText;

void say(std::FILE* to, const std::string& line) {
    std::fprintf(to, "pirokko: %s\n", line.c_str());
}

// The toolkit's own notices (a missing runtime folder, say) would mix with
// the checker's findings.
void quietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fprintf(stderr, "pirokko: %s\n", message.toLocal8Bit().constData());
}

// The engine lies where the package puts it, relative to the program as its
// game does; a build's program finds the web build through a link beside it.
// PIROKKO_WEB_ENGINE names another, for tests.
fs::path engineFolder() {
    if (const char* given = std::getenv("PIROKKO_WEB_ENGINE"); given && *given) return given;
    const fs::path program = platform::toUtf8(platform::ProgramFolder());
    const fs::path installed = (program / PIROKKO_PROGRAM_TO_WEB_ENGINE).lexically_normal();
    std::error_code ec;
    if (fs::exists(installed / engineFiles().front(), ec)) return installed;
    // In a build the link is there even before the web build it points to.
    if (fs::is_symlink(program / "web-engine", ec)) return program / "web-engine";
    return installed;
}

bool inside(const fs::path& path, const fs::path& folder) {
    const std::string rel = path.lexically_relative(folder).generic_string();
    return !rel.empty() && rel != ".." && !rel.starts_with("../");
}

std::string listed(const fs::path& out, const std::vector<std::string>& names) {
    std::string text;
    const std::size_t shown = std::min<std::size_t>(names.size(), 5);
    for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + (out / names[i]).string();
    if (names.size() > shown)
        text += fillIn(trText("WebExport", " and %1 more"), {std::to_string(names.size() - shown)});
    return text;
}

// Refuses a target the export may not write, before anything is read or
// written: 2, or 0 when it may go on.
int refuseTarget(const Target& target, const fs::path& game) {
    const fs::path& out = target.path;
    std::error_code ec;
    for (const char* content : {"txt", "img"}) {
        const fs::path folder = fs::weakly_canonical(game / content, ec);
        if (out == folder || inside(out, folder)) {
            say(stderr, fillIn(trText("WebExport",
                                      "%1 lies inside the game's folder %2, which the export "
                                      "copies; choose a folder outside it"),
                               {out.string(), folder.string()}));
            return 2;
        }
    }
    switch (target.kind) {
        case Target::Kind::kNotAFolder:
            say(stderr, fillIn(trText("WebExport", "%1 is not a folder; nothing was exported"),
                               {out.string()}));
            return 2;
        case Target::Kind::kForeign:
            say(stderr,
                fillIn(trText("WebExport",
                              "%1 is neither empty nor an earlier export: it holds %2. Nothing "
                              "was touched: export into a new or empty folder, or into one an "
                              "earlier export wrote"),
                       {out.string(), listed(out, target.foreign)}));
            return 2;
        default:
            return 0;
    }
}

}  // namespace

int runExport(int argc, char** argv, const LaunchOptions& options) {
    // The checker plays the game's window without showing it.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    qInstallMessageHandler(quietToolkit);
    QApplication app(argc, argv);
    platform::useSessionLanguage();

    const fs::path game = platform::toUtf8(options.gameFolder);
    const fs::path engine = engineFolder();
    try {
        const Target target = inspectTarget(platform::toUtf8(options.exportTo));
        if (const int refused = refuseTarget(target, game)) return refused;
        for (const std::string& name : engineFiles()) {
            std::error_code ec;
            if (!fs::is_regular_file(engine / name, ec)) {
                say(stderr, fillIn(trText("WebExport",
                                          "the web engine is missing: there is no %1; nothing "
                                          "was exported"),
                                   {(engine / name).string()}));
                return 1;
            }
        }

        // Every finding, named from the game folder so that it can be found
        // from wherever the command ran.
        const std::vector<check::Finding> findings = check::checkFolder(game.string());
        for (check::Finding f : findings) {
            f.file = (game / f.file).string();
            std::fprintf(stderr, "%s\n", check::formatText(f).c_str());
        }
        if (check::hasErrors(findings)) {
            say(stderr,
                fillIn(trText("WebExport", "the game in %1 has errors (%2); nothing was exported"),
                       {game.string(), check::summary(findings)}));
            return 1;
        }

        const fs::path fresh = makeSiblingFolder(target.path);
        std::vector<Written> written;
        try {
            written = writeExport(engine, game, fresh);
            if (const auto lost = filesItWouldLose(target, fresh); !lost.empty()) {
                fs::remove_all(fresh);
                say(stderr,
                    fillIn(trText("WebExport",
                                  "%1 changed since it was exported, and exporting again would "
                                  "replace it. Nothing was touched: copy it into the game "
                                  "folder %2 or move it out of %3 first"),
                           {listed(target.path, lost), game.string(), target.path.string()}));
                return 2;
            }
        } catch (...) {
            std::error_code ec;
            fs::remove_all(fresh, ec);
            throw;
        }
        const Swapped swapped = putInPlace(target, fresh);
        if (!swapped.left.empty())
            say(stderr, fillIn(trText("WebExport",
                                      "%1 was added to the earlier export after it was written; "
                                      "it was kept, in %2"),
                               {listed(swapped.leftIn, swapped.left), swapped.leftIn.string()}));
        std::size_t files = 0;
        for (const Written& w : written) files += !w.folder;
        std::printf("%s\n",
                    fillIn(trText("WebExport",
                                  "Exported the game in %1 to %2 (%3 files). Any static web "
                                  "server can serve that folder as it is; a file replaced in its "
                                  "txt/, img/ or bgm.wav changes the game."),
                           {game.string(), target.path.string(), std::to_string(files)})
                        .c_str());
        return 0;
    } catch (const fs::filesystem_error& e) {
        say(stderr,
            fillIn(trText("WebExport", "cannot export to %1: %2 (%3); nothing was exported"),
                   {platform::toUtf8(options.exportTo), e.path1().string(), e.code().message()}));
        return 1;
    } catch (const std::exception& e) {
        say(stderr, e.what());
        return 1;
    }
}

}  // namespace webexport
