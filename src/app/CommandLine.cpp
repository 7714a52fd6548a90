#include "app/CommandLine.h"

#include "app/GameFolder.h"
#include "app/Version.h"
#include "platform/system/CommandLine.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Files.h"
#include "platform/system/Language.h"

using platform::fillIn;
using platform::trText;

std::string launchUsage() {
    return trText("CommandLine",
                  "usage: pirokko [FOLDER]\n"
                  "       pirokko --preview SCENE[:LINE] [FOLDER]\n"
                  "       pirokko --export-web OUT [FOLDER]\n"
                  "Plays the game in FOLDER (its txt/, img/ and bgm.wav), by default the\n"
                  "program's own folder. --preview starts at scene SCENE (opn, or 0 to 7), at\n"
                  "the page that holds line LINE of its script, and follows the game's files\n"
                  "as they are saved. --export-web checks the game and writes it with the web\n"
                  "edition's engine into the folder OUT, for any static web server.\n");
}

namespace {

Launch usageError(const std::string& message) {
    Launch l;
    l.kind = Launch::Kind::kUsageError;
    l.text = "pirokko: " + message + "\n" + launchUsage();
    return l;
}

std::optional<platform::RuntimeError> folderFault(const std::string& folder) {
    const platform::PathKind kind = platform::pathKind(folder);
    std::string what;
    if (kind == platform::PathKind::kMissing)
        what = trText("CommandLine", "The game folder does not exist");
    else if (kind != platform::PathKind::kFolder)
        what = trText("CommandLine", "The game folder is not a folder");
    else if (!platform::canReadFolder(folder))
        what = trText("CommandLine", "The game folder cannot be read");
    if (what.empty()) return std::nullopt;
    return platform::RuntimeError(platform::kPathNotFound, what, folder);
}

// The lines of a script as the game reads them; -1 when it cannot be read
// (the game itself then says so, naming the file).
long long countLines(const std::string& path) {
    auto reader = platform::LineReader::open(path);
    if (!reader) return -1;
    long long n = 0;
    while (!reader->atEnd()) {
        reader->next();
        ++n;
    }
    return n;
}

// SCENE[:LINE] as written; an empty result is good.
std::string readPreview(const std::string& arg, PreviewRequest& out) {
    const std::size_t colon = arg.find(':');
    const std::string scene = arg.substr(0, colon);
    if (!game_folder::isSceneName(platform::fromUtf8(scene)))
        return fillIn(trText("CommandLine", "there is no scene %1: the scenes are opn and 0 to 7"),
                      {scene.empty() ? "\"\"" : scene});
    out.scene = platform::fromUtf8(scene);
    if (colon == std::string::npos) return {};
    const std::string line = arg.substr(colon + 1);
    const bool digits = !line.empty() && line.size() <= 18 &&
                        line.find_first_not_of("0123456789") == std::string::npos;
    out.line = digits ? std::stoll(line) : 0;
    if (out.line < 1)
        return fillIn(trText("CommandLine", "%1 is not a line number: lines count from 1"),
                      {line.empty() ? "\"\"" : line});
    return {};
}

// The line asked for must be in the script as it is now. A script that
// cannot be read is left to the game, which names it.
std::string lineInScript(const PreviewRequest& preview, const std::string& folder) {
    if (preview.line == 0) return {};
    const std::string script =
        folder + "/" + platform::toUtf8(game_folder::scriptFile(preview.scene));
    const long long lines = countLines(script);
    if (lines < 0 || preview.line <= lines) return {};
    return fillIn(trText("CommandLine", "%1 has %2 lines: there is no line %3"),
                  {script, std::to_string(lines), std::to_string(preview.line)});
}

}  // namespace

Launch readLaunch(int argc, const char* const* argv, const platform::Text& programFolder) {
    const platform::CommandLine line = platform::readCommandLine(
        argc, argv, {{{"help", "h"}}, {{"version"}}, {{"preview"}, true}, {{"export-web"}, true}});
    using Fault = platform::CommandLine::Fault;
    if (line.fault == Fault::kUnknownOption)
        return usageError(fillIn(trText("CommandLine", "unknown option %1"), {line.faultyOption}));
    if (line.fault == Fault::kMissingValue && line.faultyOption.starts_with("--export-web"))
        return usageError(
            fillIn(trText("CommandLine", "%1 needs a value: the folder to write, OUT"),
                   {line.faultyOption}));
    if (line.fault == Fault::kMissingValue)
        return usageError(
            fillIn(trText("CommandLine", "%1 needs a value: SCENE[:LINE]"), {line.faultyOption}));

    Launch l;
    if (line.isSet("help")) {
        l.kind = Launch::Kind::kPrint;
        l.text = launchUsage();
        return l;
    }
    if (line.isSet("version")) {
        l.kind = Launch::Kind::kPrint;
        l.text = versionLine("pirokko") + "\n";
        return l;
    }
    if (line.positional.size() > 1)
        return usageError(trText("CommandLine", "only one game folder can be played at a time"));

    if (line.isSet("export-web")) {
        if (line.isSet("preview"))
            return usageError(
                trText("CommandLine", "--export-web and --preview exclude each other"));
        if (line.value("export-web").empty())
            return usageError(
                fillIn(trText("CommandLine", "%1 needs a value: the folder to write, OUT"),
                       {"--export-web"}));
        l.kind = Launch::Kind::kExportWeb;
        l.options.exportTo = platform::fromUtf8(platform::absolutePath(line.value("export-web")));
    }
    if (line.isSet("preview")) {
        PreviewRequest preview;
        const std::string wrong = readPreview(line.value("preview"), preview);
        if (!wrong.empty()) return usageError(wrong);
        l.options.preview = preview;
    }
    const std::string folder = line.positional.empty()
                                   ? platform::toUtf8(programFolder)
                                   : platform::absolutePath(line.positional.front());
    l.options.gameFolder = platform::fromUtf8(folder);
    if (auto fault = folderFault(folder)) {
        l.kind = Launch::Kind::kFolderError;
        l.folderError = std::move(fault);
        return l;
    }
    if (l.options.preview) {
        const std::string wrong = lineInScript(*l.options.preview, folder);
        if (!wrong.empty()) return usageError(wrong);
    }
    return l;
}
